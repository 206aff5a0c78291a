// The files under resources/ compiled into the program, found by id and type
// (the wizard's pictures are resources of type "Jpeg").
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace tesselor {

struct ResourceEntry {
  int id;
  const char* type;
  const uint8_t* data;
  size_t size;
};

// Makes entries the resources FindResourceData searches; the program calls it
// once at start-up with the table the build generated.
void InstallResourceTable(std::span<const ResourceEntry> entries);

// The entry of that id and type (compared ignoring case), or null.
const ResourceEntry* FindResourceData(int id, const std::string& type);

}  // namespace tesselor
