#include "imagelib/jpeg_encoder.h"

#include "imagelib/text_exception.h"
#include "imagelib/trace.h"

namespace tesselor {

struct CJPEGEncoder::Impl {};

CJPEGEncoder::CJPEGEncoder() = default;
CJPEGEncoder::~CJPEGEncoder() = default;

int64_t CJPEGEncoder::SinkCapacity(const CBmp& bmp) {
  const int64_t used = bmp.MemoryUsed();
  return used < 20000 ? used + 4096 : static_cast<int64_t>(static_cast<double>(used) * 1.2);
}

void CJPEGEncoder::EncodeFile(const std::string&, const CBmp&) {
  RaiseError(kErrUnsupported, "JPEG encoding is not built yet.");
}

void CJPEGEncoder::EncodeImage(const CBmp&, CDataSink&) {
  RaiseError(kErrUnsupported, "JPEG encoding is not built yet.");
}

}  // namespace tesselor
