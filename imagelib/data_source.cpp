#include "imagelib/data_source.h"

#include "imagelib/byte_order.h"
#include "imagelib/text_exception.h"

namespace tesselor {

void CDataSource::Open(const std::string& name, int64_t size) {
  name_ = name;
  size_ = size;
  bytesRead_ = 0;
}

void CDataSource::Close() {
  if (progressNotifier_) progressNotifier_->OnProgress(1.0);
  name_.clear();
}

void CDataSource::Account(int64_t count) {
  if (count < 0 || count > size_ - bytesRead_)
    throw CTextException(kErrEndOfData, "End of file reached while decoding.\n");
  const int64_t old = bytesRead_;
  bytesRead_ = old + count;
  if (progressNotifier_ && bytesRead_ / 1024 > old / 1024)
    progressNotifier_->OnProgress(static_cast<double>(bytesRead_) / static_cast<double>(size_));
}

const uint8_t* CDataSource::ReadBytes(int64_t count) {
  const uint8_t* start = CurrentPointer();
  Account(count);
  return start;
}

uint16_t CDataSource::ReadWordLE() {
  return LittleEndian16(ReadBytes(2));
}

uint32_t CDataSource::ReadDWordLE() {
  return LittleEndian32(ReadBytes(4));
}

CMemorySource::CMemorySource(const uint8_t* data, int64_t size, const std::string& name)
    : data_(data) {
  Open(name, size);
}

}  // namespace tesselor
