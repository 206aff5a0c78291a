// Where the encoder writes: one buffer of fixed capacity, so the output is
// written to disk in a single write when the sink is closed.
#pragma once

#include <cstdint>
#include <string>

namespace tesselor {

class CDataSink {
 public:
  virtual ~CDataSink() = default;
  CDataSink() = default;
  CDataSink(const CDataSink&) = delete;
  CDataSink& operator=(const CDataSink&) = delete;

  void Open(const std::string& name, uint8_t* buffer, int64_t capacity);
  // Appends count bytes and returns count; throws code 11 without writing
  // anything when they would not fit.
  int64_t WriteBytes(int64_t count, const uint8_t* data);
  virtual void Close();

  int64_t BytesWritten() const { return bytesWritten_; }
  const std::string& Name() const { return name_; }

 protected:
  uint8_t* Buffer() const { return buffer_; }

 private:
  uint8_t* buffer_ = nullptr;
  int64_t bytesWritten_ = 0;
  std::string name_;
  int64_t capacity_ = 0;
};

}  // namespace tesselor
