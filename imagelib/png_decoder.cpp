#include "imagelib/png_decoder.h"

#include "imagelib/text_exception.h"
#include "imagelib/trace.h"

namespace tesselor {

void CPNGDecoder::DecodeImage(CBmp&, ColourTable&, int&, CDataSource&) {
  RaiseError(kErrUnsupported, "PNG files cannot be read by this version of Tesselor.");
}

}  // namespace tesselor
