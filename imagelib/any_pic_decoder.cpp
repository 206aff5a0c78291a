#include "imagelib/any_pic_decoder.h"

#include "imagelib/text_exception.h"

namespace tesselor {

CAnyPicDecoder::CAnyPicDecoder() : decoders_(ImageFormats().size()) {}

CAnyPicDecoder::~CAnyPicDecoder() = default;

const ImageFormat* CAnyPicDecoder::Recognize(const CDataSource& source) {
  return RecognizeFormat(FileHead(source));
}

void CAnyPicDecoder::LimitToTopLeft(int width, int height) {
  limitWidth_ = width;
  limitHeight_ = height;
  for (const std::unique_ptr<CPicDecoder>& decoder : decoders_)
    if (decoder) decoder->LimitToTopLeft(width, height);
}

void CAnyPicDecoder::DecodeSource(CDataSource& source, CBmp& bmp, int bitsPerPixel) {
  const ImageFormat* format = Recognize(source);
  if (!format) RaiseError(kErrUnknownFileType, "Unknown file type.");
  std::unique_ptr<CPicDecoder>& decoder = decoders_[format - ImageFormats().data()];
  if (!decoder) {
    decoder = format->makeDecoder();
    decoder->LimitToTopLeft(limitWidth_, limitHeight_);
  }
  decoder->DecodeSource(source, bmp, bitsPerPixel);
}

}  // namespace tesselor
