#include "imagelib/tga_decoder.h"

#include "imagelib/text_exception.h"
#include "imagelib/trace.h"

namespace tesselor {

void CTGADecoder::DecodeImage(CBmp&, ColourTable&, int&, CDataSource&) {
  RaiseError(kErrUnsupported, "TGA files cannot be read by this version of Tesselor.");
}

}  // namespace tesselor
