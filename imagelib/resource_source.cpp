#include "imagelib/resource_source.h"

#include "imagelib/resource_table.h"

namespace tesselor {

int CResourceSource::OpenResource(int id, const char* type) {
  const int lowId = id & 0xFFFF;
  const ResourceEntry* entry = FindResourceData(lowId, type ? type : kRcDataType);
  if (!entry) return 4;
  data_ = entry->data;
  Open("Resource: " + std::to_string(id), static_cast<int64_t>(entry->size));
  return 0;
}

}  // namespace tesselor
