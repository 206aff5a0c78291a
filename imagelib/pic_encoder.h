// The common shape of the encoders: a file through a sink.
#pragma once

#include <string>

#include "imagelib/bmp.h"
#include "imagelib/data_sink.h"

namespace tesselor {

class CPicEncoder {
 public:
  virtual ~CPicEncoder() = default;

  // Writes bmp (32 bits per pixel) to path; the file appears only when the
  // whole image was written. Throws CTextException.
  virtual void EncodeFile(const std::string& path, const CBmp& bmp) = 0;
  virtual void EncodeToSink(const CBmp& bmp, CDataSink& sink) { EncodeImage(bmp, sink); }
  virtual void EncodeImage(const CBmp& bmp, CDataSink& sink) = 0;
};

}  // namespace tesselor
