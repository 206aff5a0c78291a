#include "imagelib/exif_orientation.h"

#include <cstring>

#include "imagelib/byte_order.h"

namespace tesselor {

namespace {

constexpr int kUpright = 1;
constexpr uint16_t kOrientationTag = 0x0112;
constexpr uint16_t kShortType = 3;
constexpr int kIfdEntryBytes = 12;

// Reads multi-byte values in the block's own byte order; every read is
// checked against the block's end, since the offsets come from the file.
class ExifBlock {
 public:
  ExifBlock(const uint8_t* data, int64_t size, bool bigEndian)
      : data_(data), size_(size), bigEndian_(bigEndian) {}

  bool Has(int64_t offset, int64_t count) const {
    return offset >= 0 && count >= 0 && offset <= size_ && count <= size_ - offset;
  }
  uint32_t Value(int64_t offset, int bytes) const {
    uint32_t value = 0;
    for (int i = 0; i < bytes; ++i) {
      const uint32_t byte = data_[offset + (bigEndian_ ? i : bytes - 1 - i)];
      value = value << 8 | byte;
    }
    return value;
  }

 private:
  const uint8_t* data_;
  int64_t size_;
  bool bigEndian_;
};

bool StartsWith(const uint8_t* data, int64_t size, const char* text, int64_t length) {
  return size >= length && std::memcmp(data, text, static_cast<size_t>(length)) == 0;
}

// Some writers put the JPEG segment's "Exif\0\0" in front of the block in
// other containers as well.
constexpr char kExifPrefix[] = "Exif\0\0";
constexpr int64_t kExifPrefixBytes = 6;

}  // namespace

int OrientationInExif(const uint8_t* exif, int64_t size) {
  if (StartsWith(exif, size, kExifPrefix, kExifPrefixBytes)) {
    exif += kExifPrefixBytes;
    size -= kExifPrefixBytes;
  }
  bool bigEndian;
  if (StartsWith(exif, size, "MM", 2))
    bigEndian = true;
  else if (StartsWith(exif, size, "II", 2))
    bigEndian = false;
  else
    return kUpright;
  const ExifBlock block(exif, size, bigEndian);
  if (!block.Has(0, 8) || block.Value(2, 2) != 42) return kUpright;
  const int64_t ifd = block.Value(4, 4);
  if (!block.Has(ifd, 2)) return kUpright;
  const int64_t entries = block.Value(ifd, 2);
  for (int64_t i = 0; i < entries; ++i) {
    const int64_t entry = ifd + 2 + i * kIfdEntryBytes;
    if (!block.Has(entry, kIfdEntryBytes)) break;
    if (block.Value(entry, 2) != kOrientationTag) continue;
    if (block.Value(entry + 2, 2) != kShortType || block.Value(entry + 4, 4) != 1) break;
    const uint32_t value = block.Value(entry + 8, 2);
    return value >= 1 && value <= 8 ? static_cast<int>(value) : kUpright;
  }
  return kUpright;
}

int OrientationInJpeg(const uint8_t* data, int64_t size) {
  constexpr uint8_t kApp1 = 0xE1, kStartOfScan = 0xDA, kEndOfImage = 0xD9;
  if (size < 4 || data[0] != 0xFF || data[1] != 0xD8) return kUpright;
  // Metadata segments come before the first scan; the walk stops there.
  int64_t at = 2;
  while (at + 4 <= size) {
    if (data[at] != 0xFF) return kUpright;
    const uint8_t marker = data[at + 1];
    if (marker == 0xFF) {  // fill byte before a marker
      ++at;
      continue;
    }
    if (marker == kStartOfScan || marker == kEndOfImage) return kUpright;
    if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) {  // no length follows
      at += 2;
      continue;
    }
    const int64_t length = BigEndian(data + at + 2, 2);
    if (length < 2 || length > size - at - 2) return kUpright;
    const uint8_t* contents = data + at + 4;
    if (marker == kApp1 && StartsWith(contents, length - 2, kExifPrefix, kExifPrefixBytes))
      return OrientationInExif(contents, length - 2);
    at += 2 + length;
  }
  return kUpright;
}

int OrientationInWebp(const uint8_t* data, int64_t size) {
  constexpr int64_t kRiffHeaderBytes = 12, kChunkHeaderBytes = 8;
  if (!StartsWith(data, size, "RIFF", 4) || size < kRiffHeaderBytes ||
      std::memcmp(data + 8, "WEBP", 4) != 0)
    return kUpright;
  for (int64_t at = kRiffHeaderBytes; at + kChunkHeaderBytes <= size;) {
    const int64_t length = LittleEndian32(data + at + 4);
    const uint8_t* contents = data + at + kChunkHeaderBytes;
    if (length > size - at - kChunkHeaderBytes) return kUpright;
    if (std::memcmp(data + at, "EXIF", 4) == 0) return OrientationInExif(contents, length);
    at += kChunkHeaderBytes + length + length % 2;  // chunks are padded to even sizes
  }
  return kUpright;
}

}  // namespace tesselor
