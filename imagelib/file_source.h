// A data source over a read-only memory mapping of a whole file.
#pragma once

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

}  // namespace tesselor
