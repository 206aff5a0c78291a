#include "imagelib/photograph_decoder.h"

#include <new>

#include "imagelib/orientation.h"
#include "imagelib/text_exception.h"

namespace tesselor {

int CPhotographDecoder::RecordedOrientation(const CDataSource& source) {
  const ImageFormat* format = Recognize(source);
  if (!format || !format->recordedOrientation) return 1;
  return format->recordedOrientation(source.Peek(), source.BytesLeft());
}

void CPhotographDecoder::DecodeSource(CDataSource& source, CBmp& bmp, int bitsPerPixel) {
  // Read before decoding: the decoders consume the source.
  const int orientation = RecordedOrientation(source);
  CAnyPicDecoder::DecodeSource(source, bmp, bitsPerPixel);
  try {
    Reorient(bmp, orientation);
  } catch (const std::bad_alloc&) {
    RaiseError(kErrOutOfMemory, "Not enough memory to turn the picture upright.");
  }
}

}  // namespace tesselor
