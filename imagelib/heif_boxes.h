// Reads the box structure of a HEIF or AVIF file far enough to find its
// items and their properties, without any codec library: the size checks
// that must run before the library sets anything up are built on it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

namespace tesselor {

constexpr uint32_t FourCC(const char (&text)[5]) {
  return uint32_t{static_cast<uint8_t>(text[0])} << 24 |
         uint32_t{static_cast<uint8_t>(text[1])} << 16 |
         uint32_t{static_cast<uint8_t>(text[2])} << 8 | static_cast<uint8_t>(text[3]);
}

// Bytes read from the front, every read checked against the end: a read
// past it yields 0 and marks the reader as spent.
class ByteReader {
 public:
  ByteReader(const uint8_t* data, size_t size) : at_(data), left_(size) {}

  uint64_t Number(size_t bytes);
  // Unsigned LEB128, as AV1 stores its unit sizes.
  uint64_t Leb128();
  void Skip(uint64_t bytes);

  const uint8_t* At() const { return at_; }
  size_t Left() const { return left_; }
  bool Ok() const { return ok_; }

 private:
  uint64_t Fail();

  const uint8_t* at_;
  size_t left_;
  bool ok_ = true;
};

// Bits read from the most significant end, with the same end checks.
class BitReader {
 public:
  BitReader(const uint8_t* data, size_t size) : data_(data), bits_(size * 8) {}

  uint32_t Bits(int count);
  // An Exp-Golomb number, as AV1 (uvlc) and HEVC (ue(v)) both store them.
  uint64_t ExpGolomb();
  bool Ok() const { return ok_; }

 private:
  const uint8_t* data_;
  size_t bits_;
  size_t at_ = 0;
  bool ok_ = true;
};

struct Box {
  uint32_t type;
  const uint8_t* body;
  size_t size;
};

// The boxes laid one after another in the given bytes; one whose size runs
// past the end ends the list, holding what is left.
std::vector<Box> Boxes(const uint8_t* data, size_t size);
const Box* FindBox(const std::vector<Box>& boxes, uint32_t type);

// The children of every top-level meta box. A file may hold more than one,
// and which of them the library reads is its own affair, so all are checked.
std::vector<std::vector<Box>> MetaBoxContents(const uint8_t* file, size_t size);

// The properties of the given type in a meta box's property container.
std::vector<Box> PropertiesOfType(const std::vector<Box>& metaBoxes, uint32_t type);

// Hands over the first extent of each item of the given type, which lies in
// the file itself or in the meta box's own data box.
void ForEachItemOfType(const uint8_t* file, size_t fileSize, const std::vector<Box>& metaBoxes,
                       uint32_t type,
                       const std::function<void(const uint8_t* data, size_t size)>& readItem);

// The items that derived pictures (grids, overlays, identities) in these
// meta boxes are made from but that the file does not hold. The codec
// library assumes they exist and aborts the program otherwise.
std::vector<uint64_t> DerivedFromItemsNotHeld(const std::vector<Box>& metaBoxes);

}  // namespace tesselor
