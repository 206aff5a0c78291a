#include "imagelib/bmp_file_header.h"

#include "imagelib/text_exception.h"

namespace tesselor {

namespace {

constexpr uint16_t kSignature = 0x4D42;  // "BM"

// Info header sizes: OS/2 1.x, the short and the full OS/2 2.x header, the
// Windows header and its extensions with masks (V2, V3), colour spaces (V4)
// and profiles (V5). Each starts with the fields of the ones before it.
constexpr uint32_t kOs2CoreHeader = 12;
constexpr uint32_t kOs2ShortHeader = 16;
constexpr uint32_t kWindowsHeader = 40;
constexpr uint32_t kMaskHeader = 52;
constexpr uint32_t kAlphaMaskHeader = 56;
constexpr uint32_t kOs2Header = 64;
constexpr uint32_t kV4Header = 108;
constexpr uint32_t kV5Header = 124;

// OS/2 2.x uses these numbers for its own schemes.
constexpr uint32_t kOs2Huffman = 3;
constexpr uint32_t kOs2Rle24 = 4;

bool IsKnownHeaderSize(uint32_t size) {
  switch (size) {
    case kOs2CoreHeader:
    case kOs2ShortHeader:
    case kWindowsHeader:
    case kMaskHeader:
    case kAlphaMaskHeader:
    case kOs2Header:
    case kV4Header:
    case kV5Header:
      return true;
    default:
      return false;
  }
}

void ReadMasks(CDataSource& source, bool withAlpha, BmpChannelMasks& masks) {
  masks.red = source.ReadDWordLE();
  masks.green = source.ReadDWordLE();
  masks.blue = source.ReadDWordLE();
  if (withAlpha) masks.alpha = source.ReadDWordLE();
}

}  // namespace

BmpLayout ReadBmpHeaders(CDataSource& source) {
  const int64_t start = source.BytesRead();
  if (source.ReadWordLE() != kSignature)
    RaiseError(kErrWrongSignature, "Bitmap decoder: This isn't a bitmap.");
  source.ReadDWordLE();  // file size
  source.ReadDWordLE();  // two reserved words
  BmpLayout layout;
  layout.pixelOffset = start + source.ReadDWordLE();

  // The size comes first, so a header of another kind is refused for what
  // it is rather than as a file cut short.
  const int64_t headerStart = source.BytesRead();
  const uint32_t size = source.ReadDWordLE();
  if (!IsKnownHeaderSize(size))
    RaiseError(kErrBadHeader, "Bitmap decoder: BITMAPINFOHEADER has wrong size.");
  if (size == kOs2CoreHeader) {
    layout.width = source.ReadWordLE();
    layout.height = static_cast<int16_t>(source.ReadWordLE());
    source.ReadWordLE();  // planes
    layout.bitCount = source.ReadWordLE();
    layout.tableEntryBytes = 3;
  } else {
    layout.width = static_cast<int32_t>(source.ReadDWordLE());
    layout.height = static_cast<int32_t>(source.ReadDWordLE());
    source.ReadWordLE();  // planes
    layout.bitCount = source.ReadWordLE();
  }
  if (size >= kWindowsHeader) {
    layout.compression = source.ReadDWordLE();
    source.ReadBytes(12);  // image size, resolution
    layout.coloursUsed = source.ReadDWordLE();
    source.ReadDWordLE();  // colours important
  }
  if (size == kOs2Header && (layout.compression == kOs2Huffman || layout.compression == kOs2Rle24))
    RaiseError(kErrUnsupported, "Bitmap decoder: OS/2 Huffman and RLE24 data are not supported.");
  if (layout.compression == kBmpJpeg || layout.compression == kBmpPng)
    RaiseError(kErrUnsupported, "Bitmap decoder: embedded JPEG and PNG data are not supported.");

  const bool bitFields = size != kOs2Header && (layout.compression == kBmpBitFields ||
                                                layout.compression == kBmpAlphaBitFields);
  if (size >= kMaskHeader && size != kOs2Header) {
    // The masks are part of the longer headers, meaningful or not.
    BmpChannelMasks masks;
    ReadMasks(source, size >= kAlphaMaskHeader, masks);
    if (bitFields) layout.masks = masks;
  } else if (bitFields) {
    // Behind the 40-byte header, the masks follow it.
    ReadMasks(source, layout.compression == kBmpAlphaBitFields, layout.masks);
  }
  layout.hasMasks = bitFields;
  // The rest of a longer header (colour space, profile location) is not used:
  // colours are shown as stored, and the pixel offset steps over a profile.
  const int64_t headerEnd = headerStart + size;
  if (source.BytesRead() < headerEnd) source.ReadBytes(headerEnd - source.BytesRead());
  return layout;
}

}  // namespace tesselor
