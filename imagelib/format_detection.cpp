#include "imagelib/format_detection.h"

#include "platform/directory_listing.h"

namespace tesselor {

namespace {

// Bounds-checked view of the peeked bytes.
class Header {
 public:
  Header(const uint8_t* data, int64_t available) : data_(data), available_(available) {}

  bool Has(int64_t count) const { return count <= available_; }
  int At(int64_t i) const { return i < available_ ? data_[i] : -1; }
  bool Equals(int64_t offset, std::initializer_list<int> bytes) const {
    int64_t i = offset;
    for (int b : bytes)
      if (At(i++) != b) return false;
    return true;
  }
  uint32_t DWordLE(int64_t offset) const {
    if (!Has(offset + 4)) return 0;
    return uint32_t{data_[offset]} | uint32_t{data_[offset + 1]} << 8 |
           uint32_t{data_[offset + 2]} << 16 | uint32_t{data_[offset + 3]} << 24;
  }

 private:
  const uint8_t* data_;
  int64_t available_;
};

bool OneOf(int value, std::initializer_list<int> choices) {
  for (int choice : choices)
    if (value == choice) return true;
  return false;
}

bool LooksLikeTga(const Header& h) {
  return h.At(1) >= 0 && h.At(1) <= 1 && OneOf(h.At(2), {0, 1, 2, 3, 9, 10, 11}) &&
         OneOf(h.At(7), {0, 8, 15, 16, 24, 32}) && OneOf(h.At(16), {8, 15, 16, 24, 32});
}

bool LooksLikePict(const Header& h, int64_t size) {
  return size > 540 && (h.Equals(522, {0x00, 0x11, 0x02, 0xFF}) || h.Equals(522, {0x00, 0x11, 0x01}) ||
                        h.Equals(522, {0x11, 0x01, 0x01, 0x00}));
}

bool LooksLikeEps(const Header& h) {
  return (h.Equals(0, {0xC5, 0xD0, 0xD3, 0xC6}) || h.Equals(0, {0xC6, 0xD3, 0xD0, 0xC5})) &&
         h.DWordLE(20) != 0 && h.DWordLE(24) != 0;
}

}  // namespace

FileType RecognizeContent(const uint8_t* data, int64_t available, int64_t size) {
  const Header h(data, available < size ? available : size);
  if (h.Equals(0, {0x42, 0x4D})) return FileType::kWindowsBitmap;
  if (LooksLikeTga(h)) return FileType::kTga;
  if (h.Equals(0, {0x49, 0x49, 0x2A, 0x00}) || h.Equals(0, {0x4D, 0x4D, 0x00, 0x2A}))
    return FileType::kTiff;
  if (LooksLikePict(h, size)) return FileType::kMacPict;
  if (h.Equals(0, {0xFF, 0xD8, 0xFF})) return FileType::kJpeg;
  if (h.Equals(0, {0x89, 'P', 'N', 'G'})) return FileType::kPng;
  if (LooksLikeEps(h)) return FileType::kEpsTiffPreview;
  if (h.At(0) == 0x0A && h.At(2) == 1) return FileType::kPcx;
  return FileType::kUnknown;
}

FileType RecognizeMetafileName(const std::string& name) {
  const std::string upper = ToUpperAscii(name);
  if (upper.find(".WMF") != std::string::npos) return FileType::kWindowsMetafile;
  if (upper.find(".EMF") != std::string::npos) return FileType::kEnhancedMetafile;
  return FileType::kUnknown;
}

const char* FileTypeName(FileType type) {
  switch (type) {
    case FileType::kWindowsBitmap:
      return "Windows bitmap";
    case FileType::kMacPict:
      return "Macintosh PICT";
    case FileType::kTga:
      return "TGA";
    case FileType::kTiff:
      return "TIFF";
    case FileType::kJpeg:
      return "JPEG";
    case FileType::kPng:
      return "PNG";
    case FileType::kEpsTiffPreview:
      return "EPS with TIFF preview";
    case FileType::kWindowsMetafile:
      return "Windows metafile";
    case FileType::kEnhancedMetafile:
      return "Enhanced metafile";
    case FileType::kPcx:
      return "PCX";
    case FileType::kUnknown:
      break;
  }
  return "unknown";
}

}  // namespace tesselor
