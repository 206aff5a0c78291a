// A sink that becomes a file on Close. The file appears whole or not at all:
// a sink abandoned by an error leaves any existing file of that name as it was.
#pragma once

#include <memory>

#include "imagelib/data_sink.h"
#include "platform/atomic_file.h"

namespace tesselor {

class CFileSink : public CDataSink {
 public:
  ~CFileSink() override = default;

  // 0, or -1 (errno saying why) when the file or its buffer cannot be had.
  int OpenFile(const std::string& path, int64_t capacity);
  // Writes the buffer and puts the file in place; throws CTextException
  // (code -1) when the disk refuses, leaving the old file untouched.
  void Close() override;

 private:
  AtomicFile file_;
  std::unique_ptr<uint8_t[]> ownedBuffer_;
};

}  // namespace tesselor
