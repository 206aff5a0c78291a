#include "imagelib/pict_pixmap.h"

#include <algorithm>

#include "imagelib/byte_order.h"
#include "imagelib/text_exception.h"

namespace tesselor {

namespace {

constexpr int kTableEntries = 256;
constexpr int kPixMapFlag = 0x8000;
constexpr int kRowBytesMask = 0x3FFF;
constexpr int kDeviceTableFlag = 0x8000;
constexpr int kPackedRowsFrom = 8;    // narrower rows are never packed
constexpr int kWordCountAbove = 250;  // wider rows give their length in a word

void SetEntry(ColourTable& table, int index, int red, int green, int blue) {
  uint8_t* entry = &table[4 * index];
  entry[0] = static_cast<uint8_t>(blue);
  entry[1] = static_cast<uint8_t>(green);
  entry[2] = static_cast<uint8_t>(red);
  entry[3] = 255;
}

// Reads a colour table; entries whose value no 8-bit index can reach are
// dropped.
void ReadColourTable(CDataSource& source, PictPixMap& map) {
  ReadDWordBE(source);  // seed
  const int flags = ReadWordBE(source);
  const int entries = ReadWordBE(source) + 1;
  for (int i = 0; i < entries; ++i) {
    const int value = ReadWordBE(source);
    const uint8_t* rgb = source.ReadBytes(6);
    const int index = (flags & kDeviceTableFlag) ? i : value;
    if (index < kTableEntries) {
      SetEntry(map.table, index, rgb[0], rgb[2], rgb[4]);
      map.tableEntries = std::max(map.tableEntries, index + 1);
    }
  }
}

// Undoes PackBits: a count byte n below 128 is followed by n + 1 literal
// units, one above 128 by a unit repeated 257 - n times; 128 is nothing.
// Output past `out`'s end is dropped, and input is never read past `size`.
void UnpackBits(const uint8_t* in, size_t size, int unit, std::vector<uint8_t>& out) {
  size_t at = 0;
  size_t written = 0;
  auto put = [&](const uint8_t* from) {
    for (int b = 0; b < unit && written < out.size(); ++b) out[written++] = from[b];
  };
  while (at < size && written < out.size()) {
    const int count = in[at++];
    if (count < 128) {
      for (int i = 0; i <= count && at + unit <= size; ++i, at += unit) put(in + at);
    } else if (count > 128) {
      if (at + unit > size) break;
      for (int i = 0; i < 257 - count; ++i) put(in + at);
      at += unit;
    }
  }
}

int PackedIndex(const uint8_t* row, int x, int bits) {
  const int64_t bit = int64_t{x} * bits;
  const int shift = 8 - bits - static_cast<int>(bit % 8);
  return (row[bit / 8] >> shift) & ((1 << bits) - 1);
}

}  // namespace

uint16_t ReadWordBE(CDataSource& source) {
  return BigEndian16(source.ReadBytes(2));
}

uint32_t ReadDWordBE(CDataSource& source) {
  return BigEndian32(source.ReadBytes(4));
}

void SkipPictRegion(CDataSource& source) {
  const int size = ReadWordBE(source);
  if (size < 2) RaiseError(kErrBadHeader, "Region or polygon size too small.");
  source.ReadBytes(size - 2);
}

PictRect ReadPictRect(CDataSource& source) {
  PictRect r{};
  r.top = static_cast<int16_t>(ReadWordBE(source));
  r.left = static_cast<int16_t>(ReadWordBE(source));
  r.bottom = static_cast<int16_t>(ReadWordBE(source));
  r.right = static_cast<int16_t>(ReadWordBE(source));
  return r;
}

PictPixMap ReadPictPixMap(CDataSource& source, bool direct) {
  PictPixMap map;
  map.table.assign(4 * kTableEntries, 0);
  const int rowBytesWord = ReadWordBE(source);
  map.rowBytes = rowBytesWord & kRowBytesMask;
  map.bounds = ReadPictRect(source);
  if (!(rowBytesWord & kPixMapFlag)) {
    // An old bitmap: one bit per pixel, set bits black.
    SetEntry(map.table, 0, 255, 255, 255);
    SetEntry(map.table, 1, 0, 0, 0);
    map.tableEntries = 2;
    return map;
  }
  ReadWordBE(source);  // version
  map.packType = ReadWordBE(source);
  source.ReadBytes(4 + 4 + 4 + 2);  // pack size, resolutions, pixel type
  map.pixelSize = ReadWordBE(source);
  map.cmpCount = ReadWordBE(source);
  source.ReadBytes(2 + 4 + 4 + 4);  // component size, plane bytes, table handle, reserved
  if (!direct) ReadColourTable(source, map);
  return map;
}

void ReadPictRow(CDataSource& source, const PictPixMap& map, bool packed, int unit,
                 size_t unpackedBytes, std::vector<uint8_t>& row) {
  row.assign(std::max(unpackedBytes, static_cast<size_t>(map.rowBytes)), 0);
  if (!packed) {
    const uint8_t* data = source.ReadBytes(map.rowBytes);
    std::copy_n(data, map.rowBytes, row.begin());
    return;
  }
  const int count = map.rowBytes > kWordCountAbove ? ReadWordBE(source) : source.ReadByte();
  UnpackBits(source.ReadBytes(count), static_cast<size_t>(count), unit, row);
}

void SkipPictPixPattern(CDataSource& source) {
  const int type = ReadWordBE(source);
  source.ReadBytes(8);  // the old-style pattern kept for black-and-white screens
  if (type == 2) {
    source.ReadBytes(6);  // one RGB colour
    return;
  }
  if (type != 1) RaiseError(kErrBadHeader, "Unknown pattern type in pixPat.");
  const PictPixMap map = ReadPictPixMap(source, false);
  std::vector<uint8_t> row;
  for (int y = 0; y < map.bounds.Height(); ++y)
    ReadPictRow(source, map, map.rowBytes >= kPackedRowsFrom, 1, 0, row);
}

void DecodePictIndexedRows(CDataSource& source, const PictPixMap& map, bool packed, bool eightBit,
                           CBmp& bmp) {
  const int bits = map.pixelSize;
  if (bits != 1 && bits != 2 && bits != 4 && bits != 8)
    RaiseError(kErrBadHeader,
               eightBit ? "Bad bits per pixel in expandBuf8." : "Bad bits per pixel in expandBuf.");
  const size_t needed = (static_cast<size_t>(bmp.width) * bits + 7) / 8;
  const bool rowsPacked = packed && map.rowBytes >= kPackedRowsFrom;
  std::vector<uint8_t> row;
  for (int y = 0; y < bmp.height; ++y) {
    ReadPictRow(source, map, rowsPacked, 1, needed, row);
    uint8_t* line = bmp.lineArray[y];
    for (int x = 0; x < bmp.width; ++x) {
      const int index = PackedIndex(row.data(), x, bits);
      if (index >= map.tableEntries)
        RaiseError(kErrBadHeader, "pixel value greater than colour table size.");
      if (eightBit)
        line[x] = static_cast<uint8_t>(index);
      else
        std::copy_n(&map.table[4 * index], 4, line + 4 * x);
    }
  }
}

void DecodePictDirectRows(CDataSource& source, const PictPixMap& map, CBmp& bmp) {
  const int width = bmp.width;
  const bool unpacked = map.rowBytes < kPackedRowsFrom || map.packType == 1;
  std::vector<uint8_t> row;
  for (int y = 0; y < bmp.height; ++y) {
    uint8_t* line = bmp.lineArray[y];
    if (map.pixelSize == 16) {
      // Five bits each of red, green and blue, widened to the full 8-bit range.
      ReadPictRow(source, map, !unpacked, 2, size_t{2} * width, row);
      for (int x = 0; x < width; ++x) {
        const int v = row[2 * x] << 8 | row[2 * x + 1];
        const int r = (v >> 10) & 31, g = (v >> 5) & 31, b = v & 31;
        const uint8_t rgb[4] = {uint8_t(b << 3 | b >> 2), uint8_t(g << 3 | g >> 2),
                                uint8_t(r << 3 | r >> 2), 255};
        std::copy_n(rgb, 4, line + 4 * x);
      }
    } else if (map.packType == 2) {
      // Red, green, blue with the pad byte left out and no further packing.
      const uint8_t* triples = source.ReadBytes(int64_t{3} * width);
      for (int x = 0; x < width; ++x) {
        const uint8_t* p = triples + 3 * x;
        const uint8_t rgb[4] = {p[2], p[1], p[0], 255};
        std::copy_n(rgb, 4, line + 4 * x);
      }
    } else if (unpacked) {
      ReadPictRow(source, map, false, 1, size_t{4} * width, row);
      for (int x = 0; x < width; ++x) {
        const uint8_t* p = &row[4 * x];  // pad or alpha, red, green, blue
        const uint8_t rgb[4] = {p[3], p[2], p[1], map.cmpCount == 4 ? p[0] : uint8_t{255}};
        std::copy_n(rgb, 4, line + 4 * x);
      }
    } else {
      // Packed rows hold one plane per component: alpha (when there are
      // four), red, green, blue.
      const int planes = map.cmpCount == 4 ? 4 : 3;
      ReadPictRow(source, map, true, 1, static_cast<size_t>(planes) * width, row);
      const uint8_t* red = &row[size_t(planes - 3) * width];
      for (int x = 0; x < width; ++x) {
        line[4 * x] = red[2 * width + x];
        line[4 * x + 1] = red[width + x];
        line[4 * x + 2] = red[x];
        line[4 * x + 3] = planes == 4 ? row[x] : 255;
      }
    }
  }
}

}  // namespace tesselor
