#include "imagelib/tiff_decoder.h"

#include "imagelib/text_exception.h"
#include "imagelib/trace.h"

namespace tesselor {

void CTIFFDecoder::DecodeImage(CBmp&, ColourTable&, int&, CDataSource&) {
  RaiseError(kErrUnsupported, "TIFF files cannot be read by this version of Tesselor.");
}

}  // namespace tesselor
