// Whole numbers stored in either byte order, read at a pointer whose bytes
// the caller has already checked are there. Windows formats store them
// little-endian; Mac formats, JPEG segments and ISO media boxes big-endian.
#pragma once

#include <cstdint>

namespace tesselor {

inline uint16_t LittleEndian16(const uint8_t* p) {
  return static_cast<uint16_t>(p[0] | p[1] << 8);
}

inline uint32_t LittleEndian32(const uint8_t* p) {
  return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
}

inline uint64_t LittleEndian64(const uint8_t* p) {
  return uint64_t{LittleEndian32(p)} | uint64_t{LittleEndian32(p + 4)} << 32;
}

// The first `bytes` bytes (at most 8) as one big-endian number.
inline uint64_t BigEndian(const uint8_t* p, int bytes) {
  uint64_t value = 0;
  for (int i = 0; i < bytes; ++i) value = value << 8 | p[i];
  return value;
}

inline uint16_t BigEndian16(const uint8_t* p) {
  return static_cast<uint16_t>(BigEndian(p, 2));
}

inline uint32_t BigEndian32(const uint8_t* p) {
  return static_cast<uint32_t>(BigEndian(p, 4));
}

}  // namespace tesselor
