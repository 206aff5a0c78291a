#include "imagelib/heif_boxes.h"

#include <algorithm>
#include <set>

#include "imagelib/byte_order.h"

namespace tesselor {

uint64_t ByteReader::Number(size_t bytes) {
  if (bytes > 8 || bytes > left_) return Fail();
  const uint64_t value = BigEndian(at_, static_cast<int>(bytes));
  Skip(bytes);
  return value;
}

uint64_t ByteReader::Leb128() {
  uint64_t value = 0;
  for (int i = 0; i < 8; ++i) {
    const uint64_t byte = Number(1);
    value |= (byte & 0x7F) << (7 * i);
    if (!(byte & 0x80)) return value;
  }
  return Fail();
}

void ByteReader::Skip(uint64_t bytes) {
  if (bytes > left_) {
    Fail();
    return;
  }
  at_ += bytes;
  left_ -= bytes;
}

uint64_t ByteReader::Fail() {
  ok_ = false;
  at_ += left_;
  left_ = 0;
  return 0;
}

uint32_t BitReader::Bits(int count) {
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

uint64_t BitReader::ExpGolomb() {
  int zeros = 0;
  while (ok_ && Bits(1) == 0) ++zeros;
  // Past 32 leading zeros the number has no value bits and means "largest".
  if (zeros >= 32) return uint64_t{0xFFFFFFFF};
  return (uint64_t{1} << zeros) - 1 + Bits(zeros);
}

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
    if (!reader.Ok() || boxSize < headerBytes) break;
    // libheif reads a box that claims more than is left up to the end, so
    // it is kept here too, as the last one.
    const uint64_t bodyBytes = std::min<uint64_t>(boxSize - headerBytes, reader.Left());
    boxes.push_back({type, start + headerBytes, static_cast<size_t>(bodyBytes)});
    reader.Skip(bodyBytes);
  }
  return boxes;
}

const Box* FindBox(const std::vector<Box>& boxes, uint32_t type) {
  for (const Box& box : boxes)
    if (box.type == type) return &box;
  return nullptr;
}

namespace {

// The children of a "full" box, whose body starts with a version and flags.
std::vector<Box> FullBoxChildren(const Box& box, size_t fieldBytes) {
  const size_t skip = 4 + fieldBytes;
  return box.size < skip ? std::vector<Box>{} : Boxes(box.body + skip, box.size - skip);
}

// The ids of the items of the given type, or of every item for type 0.
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
    const uint64_t itemType = reader.Number(4);
    if ((type == 0 || itemType == type) && reader.Ok()) ids.insert(id);
  }
  return ids;
}

}  // namespace

std::vector<std::vector<Box>> MetaBoxContents(const uint8_t* file, size_t size) {
  std::vector<std::vector<Box>> contents;
  for (const Box& box : Boxes(file, size))
    if (box.type == FourCC("meta")) contents.push_back(FullBoxChildren(box, 0));
  return contents;
}

std::vector<Box> PropertiesOfType(const std::vector<Box>& metaBoxes, uint32_t type) {
  std::vector<Box> found;
  const Box* properties = FindBox(metaBoxes, FourCC("iprp"));
  if (!properties) return found;
  const std::vector<Box> propertyBoxes = Boxes(properties->body, properties->size);
  if (const Box* container = FindBox(propertyBoxes, FourCC("ipco")))
    for (const Box& property : Boxes(container->body, container->size))
      if (property.type == type) found.push_back(property);
  return found;
}

namespace {

// Where an item's first extent lies: in the file (method 0) or in the meta
// box's data box (method 1).
struct ItemExtent {
  uint64_t id;
  uint64_t method;
  uint64_t offset;
  uint64_t length;
};

// The bytes a location field of the size given takes. The format allows 0,
// 4 and 8; libheif reads a field of any other size as absent, and so does
// this, so that the checks read the extents the library will.
size_t LocationFieldBytes(uint64_t size) {
  return size == 4 || size == 8 ? static_cast<size_t>(size) : 0;
}

// The first extent of each item in a location box. Versions 1 and 2 may give
// each extent an index; readIndex false reads them as if they gave none.
std::vector<ItemExtent> FirstExtents(const Box& locations, bool readIndex) {
  std::vector<ItemExtent> extents;
  ByteReader reader(locations.body, locations.size);
  const uint64_t version = reader.Number(1);
  reader.Skip(3);
  const uint64_t fieldSizes = reader.Number(1);
  const uint64_t moreSizes = reader.Number(1);
  const size_t offsetBytes = LocationFieldBytes(fieldSizes >> 4);
  const size_t lengthBytes = LocationFieldBytes(fieldSizes & 0x0F);
  const size_t baseBytes = LocationFieldBytes(moreSizes >> 4);
  const size_t indexBytes = readIndex && version >= 1 ? LocationFieldBytes(moreSizes & 0x0F) : 0;
  const size_t idBytes = version < 2 ? 2 : 4;
  const uint64_t items = reader.Number(idBytes);
  for (uint64_t i = 0; i < items && reader.Ok(); ++i) {
    const uint64_t id = reader.Number(idBytes);
    const uint64_t method = version >= 1 ? reader.Number(2) & 0x0F : 0;
    reader.Skip(2);  // data reference
    const uint64_t base = reader.Number(baseBytes);
    const uint64_t count = reader.Number(2);
    if (count == 0) continue;
    reader.Skip(indexBytes);
    const uint64_t offset = base + reader.Number(offsetBytes);
    const uint64_t length = reader.Number(lengthBytes);
    reader.Skip((count - 1) * (indexBytes + offsetBytes + lengthBytes));
    if (reader.Ok()) extents.push_back({id, method, offset, length});
  }
  return extents;
}

// Whether the location box gives its extents an index, so that reading it
// without one differs.
bool HasExtentIndex(const Box& locations) {
  return locations.size >= 6 && locations.body[0] >= 1 &&
         LocationFieldBytes(locations.body[5] & 0x0F) != 0;
}

}  // namespace

void ForEachItemOfType(const uint8_t* file, size_t fileSize, const std::vector<Box>& metaBoxes,
                       uint32_t type,
                       const std::function<void(const uint8_t* data, size_t size)>& readItem) {
  const Box* itemInfo = FindBox(metaBoxes, FourCC("iinf"));
  const Box* locations = FindBox(metaBoxes, FourCC("iloc"));
  if (!itemInfo || !locations) return;
  const std::set<uint64_t> wanted = ItemIdsOfType(*itemInfo, type);
  const Box* itemData = FindBox(metaBoxes, FourCC("idat"));

  // libheif 1.15 reads no extent index even where the box gives the index a
  // size, so such locations are read both ways: a check that misses what
  // the library will read is worse than one that looks at too much.
  for (const bool readIndex : {true, false}) {
    if (!readIndex && !HasExtentIndex(*locations)) break;
    for (ItemExtent extent : FirstExtents(*locations, readIndex)) {
      if (!wanted.count(extent.id)) continue;
      const uint8_t* start = extent.method == 0               ? file
                             : extent.method == 1 && itemData ? itemData->body
                                                              : nullptr;
      // libheif reads an extent that runs past the data box's end on into
      // the bytes after it, so those count here too.
      const size_t available = start ? static_cast<size_t>(file + fileSize - start) : 0;
      if (!start || extent.offset >= available) continue;
      if (extent.length == 0 || extent.length > available - extent.offset)
        extent.length = available - extent.offset;
      readItem(start + extent.offset, static_cast<size_t>(extent.length));
    }
  }
}

std::vector<uint64_t> DerivedFromItemsNotHeld(const std::vector<Box>& metaBoxes) {
  std::vector<uint64_t> missing;
  const Box* itemInfo = FindBox(metaBoxes, FourCC("iinf"));
  const Box* references = FindBox(metaBoxes, FourCC("iref"));
  if (!itemInfo || !references || references->size < 4) return missing;
  const std::set<uint64_t> held = ItemIdsOfType(*itemInfo, 0);
  const size_t idBytes = references->body[0] == 0 ? 2 : 4;
  for (const Box& reference : FullBoxChildren(*references, 0)) {
    if (reference.type != FourCC("dimg")) continue;
    ByteReader reader(reference.body, reference.size);
    reader.Skip(idBytes);  // the derived picture itself
    const uint64_t count = reader.Number(2);
    for (uint64_t i = 0; i < count && reader.Ok(); ++i) {
      const uint64_t id = reader.Number(idBytes);
      if (reader.Ok() && !held.count(id)) missing.push_back(id);
    }
  }
  return missing;
}

}  // namespace tesselor
