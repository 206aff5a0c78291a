// Data sources over a whole file: a read-only memory mapping, for
// photographs of any size, or a copy read into a buffer the caller keeps,
// for the thousands of small tile files a build reads.
#pragma once

#include <vector>

#include "imagelib/data_source.h"

namespace tesselor {

class CFileSource : public CDataSource {
 public:
  using CDataSource::CDataSource;
  ~CFileSource() override;

  // 0 on success; 3 when the folder does not exist, 4 when the file does not
  // or cannot be opened, 5 when access is denied or it cannot be mapped
  // (an empty file cannot).
  int OpenFile(const std::string& path);
  void Close() override;

  const uint8_t* CurrentPointer() const override { return viewBase_ + BytesRead(); }

 private:
  void Unmap();

  int fileHandle_ = -1;
  const uint8_t* viewBase_ = nullptr;
  size_t mappedSize_ = 0;
};

// Mapping and unmapping a file of a few kilobytes costs more than copying it,
// and every unmapping makes the other cores flush their address caches; a
// tile is read with one open and one read into a buffer reused file after
// file.
class CBufferedFileSource : public CDataSource {
 public:
  // buffer outlives the source and is resized to each file.
  explicit CBufferedFileSource(std::vector<uint8_t>& buffer) : buffer_(buffer) {}

  // 0 on success, else the codes of CFileSource::OpenFile (5 also when the
  // file cannot be read). An empty file opens as an empty source.
  int OpenFile(const std::string& path);
  // The same for a regular file of size bytes that the caller has opened as
  // fd (and closes), read from its start: 0, or 5 when it cannot be read.
  int ReadOpenedFile(int fd, size_t size, const std::string& path);

  const uint8_t* CurrentPointer() const override { return buffer_.data() + BytesRead(); }

 private:
  std::vector<uint8_t>& buffer_;
};

}  // namespace tesselor
