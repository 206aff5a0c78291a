// The decoder the program uses for every file: it recognises the format by
// the rules of the format table and hands the source to that format's decoder.
#pragma once

#include <memory>
#include <vector>

#include "imagelib/image_formats.h"

namespace tesselor {

class CAnyPicDecoder : public CPicDecoder {
 public:
  CAnyPicDecoder();
  ~CAnyPicDecoder() override;

  void DecodeSource(CDataSource& source, CBmp& bmp, int bitsPerPixel) override;
  // Passed on to every format's decoder, those made later too.
  void LimitToTopLeft(int width, int height) override;

  // The format DecodeSource would route source to, without consuming
  // anything; null when none is recognised.
  static const ImageFormat* Recognize(const CDataSource& source);

 private:
  // One per entry of the format table, made when a file of that format first
  // comes and reused after, since tiles are decoded by the thousand.
  std::vector<std::unique_ptr<CPicDecoder>> decoders_;
  int limitWidth_ = 0, limitHeight_ = 0;
};

}  // namespace tesselor
