// Decodes photographs as they are meant to be seen: any format the program
// reads, turned the way the camera was held when the file records it.
#pragma once

#include "imagelib/any_pic_decoder.h"

namespace tesselor {

class CPhotographDecoder : public CAnyPicDecoder {
 public:
  // Decodes as CAnyPicDecoder does, then turns the picture upright. A
  // failure to find memory for the turned copy raises code 10.
  void DecodeSource(CDataSource& source, CBmp& bmp, int bitsPerPixel) override;

  // The EXIF orientation source records (1 to 8), 1 when it records none;
  // nothing is consumed.
  static int RecordedOrientation(const CDataSource& source);
};

}  // namespace tesselor
