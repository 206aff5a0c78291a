// Whole numbers written into the files tests make by hand, in the byte order
// of the format: appended at the end, or stored over bytes already there.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tesselor::testing {

inline void PutLittleEndian16(std::vector<uint8_t>& out, uint32_t v) {
  out.insert(out.end(), {uint8_t(v), uint8_t(v >> 8)});
}

inline void PutLittleEndian32(std::vector<uint8_t>& out, uint32_t v) {
  out.insert(out.end(), {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)});
}

inline void PutBigEndian16(std::vector<uint8_t>& out, uint32_t v) {
  out.insert(out.end(), {uint8_t(v >> 8), uint8_t(v)});
}

inline void PutBigEndian32(std::vector<uint8_t>& out, uint32_t v) {
  out.insert(out.end(), {uint8_t(v >> 24), uint8_t(v >> 16), uint8_t(v >> 8), uint8_t(v)});
}

inline void SetLittleEndian16(std::vector<uint8_t>& bytes, size_t at, uint32_t v) {
  bytes.at(at) = uint8_t(v);
  bytes.at(at + 1) = uint8_t(v >> 8);
}

inline void SetLittleEndian32(std::vector<uint8_t>& bytes, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) bytes.at(at + i) = uint8_t(v >> (8 * i));
}

}  // namespace tesselor::testing
