#include "imagelib/data_sink.h"

#include <cstring>

#include "imagelib/text_exception.h"

namespace tesselor {

void CDataSink::Open(const std::string& name, uint8_t* buffer, int64_t capacity) {
  name_ = name;
  buffer_ = buffer;
  capacity_ = capacity;
  bytesWritten_ = 0;
}

int64_t CDataSink::WriteBytes(int64_t count, const uint8_t* data) {
  if (count < 0 || count > capacity_ - bytesWritten_)
    throw CTextException(kErrEndOfData, "Buffer overflow while encoding.\n");
  std::memcpy(buffer_ + bytesWritten_, data, static_cast<size_t>(count));
  bytesWritten_ += count;
  return count;
}

void CDataSink::Close() {
  name_.clear();
  buffer_ = nullptr;
}

}  // namespace tesselor
