#include "imagelib/bmp_decoder.h"

#include "imagelib/text_exception.h"
#include "imagelib/trace.h"

namespace tesselor {

void CBmpDecoder::DecodeImage(CBmp&, ColourTable&, int&, CDataSource&) {
  RaiseError(kErrUnsupported, "Windows bitmap files cannot be read by this version of Tesselor.");
}

}  // namespace tesselor
