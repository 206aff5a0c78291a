#include "imagelib/pict_decoder.h"

#include "imagelib/text_exception.h"
#include "imagelib/trace.h"

namespace tesselor {

void CPictDecoder::DecodeImage(CBmp&, ColourTable&, int&, CDataSource&) {
  RaiseError(kErrUnsupported, "Macintosh PICT files cannot be read by this version of Tesselor.");
}

}  // namespace tesselor
