#include "imagelib/jpeg_decoder.h"

#include "imagelib/text_exception.h"
#include "imagelib/trace.h"

namespace tesselor {

struct CJPEGDecoder::Impl {};

CJPEGDecoder::CJPEGDecoder() = default;
CJPEGDecoder::~CJPEGDecoder() = default;

void CJPEGDecoder::DecodeImage(CBmp&, ColourTable&, int&, CDataSource&) {
  RaiseError(kErrUnsupported, "JPEG decoding is not built yet.");
}

}  // namespace tesselor
