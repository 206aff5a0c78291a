#include "imagelib/heif_frame_sizes.h"

#include <optional>
#include <set>

#include "imagelib/byte_order.h"

namespace tesselor {

namespace {

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

  uint64_t Number(size_t bytes) {
    if (bytes > 8 || bytes > left_) return Fail();
    const uint64_t value = BigEndian(at_, static_cast<int>(bytes));
    Skip(bytes);
    return value;
  }

  // Unsigned LEB128, as AV1 stores its unit sizes.
  uint64_t Leb128() {
    uint64_t value = 0;
    for (int i = 0; i < 8; ++i) {
      const uint64_t byte = Number(1);
      value |= (byte & 0x7F) << (7 * i);
      if (!(byte & 0x80)) return value;
    }
    return Fail();
  }

  void Skip(uint64_t bytes) {
    if (bytes > left_) {
      Fail();
      return;
    }
    at_ += bytes;
    left_ -= bytes;
  }

  const uint8_t* At() const { return at_; }
  size_t Left() const { return left_; }
  bool Ok() const { return ok_; }

 private:
  uint64_t Fail() {
    ok_ = false;
    at_ += left_;
    left_ = 0;
    return 0;
  }

  const uint8_t* at_;
  size_t left_;
  bool ok_ = true;
};

class BitReader {
 public:
  BitReader(const uint8_t* data, size_t size) : data_(data), bits_(size * 8) {}

  uint32_t Bits(int count) {
    uint32_t value = 0;
    for (int i = 0; i < count; ++i) {
      if (at_ >= bits_) {
        ok_ = false;
        return 0;
      }
      value = value << 1 | ((data_[at_ / 8] >> (7 - at_ % 8)) & 1);
      ++at_;
    }
    return value;
  }

  // Exp-Golomb-like variable length number; only skipped here.
  void SkipUvlc() {
    int zeros = 0;
    while (ok_ && Bits(1) == 0)
      if (++zeros >= 32) return;
    Bits(zeros);
  }

  bool Ok() const { return ok_; }

 private:
  const uint8_t* data_;
  size_t bits_;
  size_t at_ = 0;
  bool ok_ = true;
};

// Reads a sequence header up to the largest frame size it allows.
std::optional<FrameSize> ReadSequenceHeader(const uint8_t* data, size_t size) {
  BitReader bits(data, size);
  bits.Bits(3);  // profile
  bits.Bits(1);  // still picture
  if (bits.Bits(1)) {
    bits.Bits(5);  // the one level of a reduced still-picture header
  } else {
    bool decoderModel = false;
    int bufferDelayBits = 0;
    if (bits.Bits(1)) {  // timing info
      bits.Bits(32);
      bits.Bits(32);
      if (bits.Bits(1)) bits.SkipUvlc();
      decoderModel = bits.Bits(1) != 0;
      if (decoderModel) {
        bufferDelayBits = static_cast<int>(bits.Bits(5)) + 1;
        bits.Bits(32);
        bits.Bits(10);  // removal and presentation time lengths
      }
    }
    const bool initialDisplayDelay = bits.Bits(1) != 0;
    const int operatingPoints = static_cast<int>(bits.Bits(5)) + 1;
    for (int i = 0; i < operatingPoints && bits.Ok(); ++i) {
      bits.Bits(12);
      if (bits.Bits(5) > 7) bits.Bits(1);  // tier, present from level 4.0
      if (decoderModel && bits.Bits(1)) {
        bits.Bits(bufferDelayBits);
        bits.Bits(bufferDelayBits);
        bits.Bits(1);
      }
      if (initialDisplayDelay && bits.Bits(1)) bits.Bits(4);
    }
  }
  const int widthBits = static_cast<int>(bits.Bits(4)) + 1;
  const int heightBits = static_cast<int>(bits.Bits(4)) + 1;
  const int64_t width = int64_t{bits.Bits(widthBits)} + 1;
  const int64_t height = int64_t{bits.Bits(heightBits)} + 1;
  if (!bits.Ok()) return std::nullopt;
  return FrameSize{width, height};
}

// Walks a run of AV1 units and keeps the frame size of each sequence header.
void CollectFrameSizes(const uint8_t* data, size_t size, std::vector<FrameSize>& sizes) {
  constexpr uint32_t kSequenceHeader = 1;
  ByteReader units(data, size);
  while (units.Left() > 0) {
    const uint64_t header = units.Number(1);
    if (header & 0x04) units.Skip(1);  // extension byte
    const uint64_t unitSize = (header & 0x02) ? units.Leb128() : units.Left();
    if (!units.Ok() || unitSize > units.Left()) return;
    if ((header >> 3 & 0x0F) == kSequenceHeader)
      if (const auto frame = ReadSequenceHeader(units.At(), unitSize)) sizes.push_back(*frame);
    units.Skip(unitSize);
  }
}

struct Box {
  uint32_t type;
  const uint8_t* body;
  size_t size;
};

// The boxes laid one after another in the given bytes; one whose size runs
// past the end ends the list.
std::vector<Box> Boxes(const uint8_t* data, size_t size) {
  std::vector<Box> boxes;
  ByteReader reader(data, size);
  while (reader.Left() >= 8) {
    const uint8_t* start = reader.At();
    uint64_t boxSize = reader.Number(4);
    const auto type = static_cast<uint32_t>(reader.Number(4));
    uint64_t headerBytes = 8;
    if (boxSize == 1) {
      boxSize = reader.Number(8);
      headerBytes = 16;
    } else if (boxSize == 0) {
      boxSize = reader.Left() + headerBytes;
    }
    if (!reader.Ok() || boxSize < headerBytes || boxSize - headerBytes > reader.Left()) break;
    boxes.push_back({type, start + headerBytes, static_cast<size_t>(boxSize - headerBytes)});
    reader.Skip(boxSize - headerBytes);
  }
  return boxes;
}

const Box* FindBox(const std::vector<Box>& boxes, uint32_t type) {
  for (const Box& box : boxes)
    if (box.type == type) return &box;
  return nullptr;
}

// The children of a "full" box, whose body starts with a version and flags.
std::vector<Box> FullBoxChildren(const Box& box, size_t fieldBytes) {
  const size_t skip = 4 + fieldBytes;
  return box.size < skip ? std::vector<Box>{} : Boxes(box.body + skip, box.size - skip);
}

std::set<uint64_t> ItemIdsOfType(const Box& itemInfo, uint32_t type) {
  std::set<uint64_t> ids;
  const size_t countBytes = itemInfo.size > 0 && itemInfo.body[0] == 0 ? 2 : 4;
  for (const Box& entry : FullBoxChildren(itemInfo, countBytes)) {
    if (entry.type != FourCC("infe")) continue;
    ByteReader reader(entry.body, entry.size);
    const uint64_t version = reader.Number(1);
    if (version < 2) continue;
    reader.Skip(3);
    const uint64_t id = reader.Number(version == 2 ? 2 : 4);
    reader.Skip(2);  // protection index
    if (reader.Number(4) == type && reader.Ok()) ids.insert(id);
  }
  return ids;
}

// The children of every top-level meta box. A file may hold more than one,
// and which of them the library reads is its own affair, so all are checked.
std::vector<std::vector<Box>> MetaBoxContents(const uint8_t* file, size_t size) {
  std::vector<std::vector<Box>> contents;
  for (const Box& box : Boxes(file, size))
    if (box.type == FourCC("meta")) contents.push_back(FullBoxChildren(box, 0));
  return contents;
}

// Hands over the first extent of each item of the given type, which lies in
// the file itself or in the meta box's own data box.
template <typename ReadItem>
void ForEachItemOfType(const uint8_t* file, size_t fileSize, const std::vector<Box>& metaBoxes,
                       uint32_t type, ReadItem readItem) {
  const Box* itemInfo = FindBox(metaBoxes, FourCC("iinf"));
  const Box* locations = FindBox(metaBoxes, FourCC("iloc"));
  if (!itemInfo || !locations) return;
  const std::set<uint64_t> wanted = ItemIdsOfType(*itemInfo, type);
  const Box* itemData = FindBox(metaBoxes, FourCC("idat"));

  ByteReader reader(locations->body, locations->size);
  const uint64_t version = reader.Number(1);
  reader.Skip(3);
  const uint64_t fieldSizes = reader.Number(1);
  const uint64_t moreSizes = reader.Number(1);
  const size_t offsetBytes = fieldSizes >> 4, lengthBytes = fieldSizes & 0x0F;
  const size_t baseBytes = moreSizes >> 4, indexBytes = version >= 1 ? moreSizes & 0x0F : 0;
  const size_t idBytes = version < 2 ? 2 : 4;
  const uint64_t items = reader.Number(idBytes);
  for (uint64_t i = 0; i < items && reader.Ok(); ++i) {
    const uint64_t id = reader.Number(idBytes);
    const uint64_t method = version >= 1 ? reader.Number(2) & 0x0F : 0;
    reader.Skip(2);  // data reference
    const uint64_t base = reader.Number(baseBytes);
    const uint64_t extents = reader.Number(2);
    if (extents == 0) continue;
    reader.Skip(indexBytes);
    const uint64_t offset = base + reader.Number(offsetBytes);
    uint64_t length = reader.Number(lengthBytes);
    reader.Skip((extents - 1) * (indexBytes + offsetBytes + lengthBytes));
    if (!reader.Ok() || !wanted.count(id)) continue;
    const uint8_t* start = method == 0 ? file : method == 1 && itemData ? itemData->body : nullptr;
    const size_t available = method == 0 ? fileSize : start ? itemData->size : 0;
    if (!start || offset >= available) continue;
    if (length == 0 || length > available - offset) length = available - offset;
    readItem(start + offset, static_cast<size_t>(length));
  }
}

}  // namespace

std::vector<FrameSize> Av1FrameSizes(const uint8_t* file, size_t size) {
  std::vector<FrameSize> sizes;
  for (const std::vector<Box>& metaBoxes : MetaBoxContents(file, size)) {
    // The codec is handed the configuration box's units ahead of the item's.
    if (const Box* properties = FindBox(metaBoxes, FourCC("iprp"))) {
      const std::vector<Box> propertyBoxes = Boxes(properties->body, properties->size);
      if (const Box* container = FindBox(propertyBoxes, FourCC("ipco")))
        for (const Box& property : Boxes(container->body, container->size))
          if (property.type == FourCC("av1C") && property.size > 4)
            CollectFrameSizes(property.body + 4, property.size - 4, sizes);
    }
    ForEachItemOfType(file, size, metaBoxes, FourCC("av01"),
                      [&](const uint8_t* data, size_t length) {
                        CollectFrameSizes(data, length, sizes);
                      });
  }
  return sizes;
}

std::vector<FrameSize> GridOutputSizes(const uint8_t* file, size_t size) {
  std::vector<FrameSize> sizes;
  for (const std::vector<Box>& metaBoxes : MetaBoxContents(file, size))
    ForEachItemOfType(file, size, metaBoxes, FourCC("grid"),
                      [&](const uint8_t* data, size_t length) {
                        // Version, flags (bit 0: 32-bit sizes), rows and
                        // columns less one, then the output width and height.
                        ByteReader reader(data, length);
                        reader.Skip(1);
                        const size_t sizeBytes = reader.Number(1) & 1 ? 4 : 2;
                        reader.Skip(2);
                        const auto width = static_cast<int64_t>(reader.Number(sizeBytes));
                        const auto height = static_cast<int64_t>(reader.Number(sizeBytes));
                        if (reader.Ok()) sizes.push_back({width, height});
                      });
  return sizes;
}

}  // namespace tesselor
