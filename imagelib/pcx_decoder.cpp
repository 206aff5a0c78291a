#include "imagelib/pcx_decoder.h"

#include "imagelib/text_exception.h"
#include "imagelib/trace.h"

namespace tesselor {

void CPCXDecoder::DecodeImage(CBmp&, ColourTable&, int&, CDataSource&) {
  RaiseError(kErrUnsupported, "PCX files cannot be read by this version of Tesselor.");
}

}  // namespace tesselor
