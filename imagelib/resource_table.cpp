#include "imagelib/resource_table.h"

#include <strings.h>

namespace tesselor {

namespace {
std::span<const ResourceEntry> installedTable;
}

void InstallResourceTable(std::span<const ResourceEntry> entries) { installedTable = entries; }

const ResourceEntry* FindResourceData(int id, const std::string& type) {
  for (const ResourceEntry& entry : installedTable)
    if (entry.id == id && strcasecmp(entry.type, type.c_str()) == 0) return &entry;
  return nullptr;
}

}  // namespace tesselor
