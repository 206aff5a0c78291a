// A data source over a resource compiled into the program.
#pragma once

#include "imagelib/data_source.h"

namespace tesselor {

// The type a null resource type stands for.
inline constexpr const char* kRcDataType = "RCDATA";

class CResourceSource : public CDataSource {
 public:
  using CDataSource::CDataSource;

  // 0 on success, 4 when nothing of that id and type is compiled in.
  int OpenResource(int id, const char* type);

  const uint8_t* CurrentPointer() const override { return data_ + BytesRead(); }

 private:
  const uint8_t* data_ = nullptr;
};

}  // namespace tesselor
