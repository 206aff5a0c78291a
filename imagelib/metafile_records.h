// Bounded little-endian access to one metafile record's bytes.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tesselor {

struct MetafileRecord {
  const uint8_t* data = nullptr;
  size_t size = 0;

  bool Has(size_t bytes) const { return bytes <= size; }
  // Callers check Has() first; the readers themselves never look past size.
  uint16_t U16(size_t at) const {
    return at + 2 <= size ? static_cast<uint16_t>(data[at] | data[at + 1] << 8) : 0;
  }
  int16_t S16(size_t at) const { return static_cast<int16_t>(U16(at)); }
  uint32_t U32(size_t at) const { return uint32_t{U16(at)} | uint32_t{U16(at + 2)} << 16; }
  int32_t S32(size_t at) const { return static_cast<int32_t>(U32(at)); }
};

// A palette entry as metafiles store it (red, green, blue, flags) into a
// colour-table entry (blue, green, red, 255).
inline void StorePaletteEntry(const uint8_t* entry, uint8_t* tableEntry) {
  tableEntry[0] = entry[2];
  tableEntry[1] = entry[1];
  tableEntry[2] = entry[0];
  tableEntry[3] = 255;
}

}  // namespace tesselor
