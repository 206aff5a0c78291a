// Picture files the tests write byte by byte, so what the decoders are
// checked against does not depend on the program's own writers.
#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

#include "tests/support/byte_writing.h"

namespace tesselor::testing {

// A bitmap file with a header of headerSize bytes (12 for the OS/2 1.x
// layout; longer ones are the 40-byte fields, then masks, then zeros);
// everything behind the header is taken as given.
struct BmpFile {
  int32_t width = 3;
  int32_t height = 2;
  uint16_t bitCount = 24;
  uint32_t compression = 0;
  uint32_t coloursUsed = 0;
  uint32_t headerSize = 40;
  std::vector<uint8_t> masks;  // red, green, blue (and alpha) masks inside a longer header
  std::vector<uint8_t> table;  // the colour table, or masks behind a 40-byte header
  std::vector<uint8_t> gap;    // bytes between the table and the pixel data
  std::vector<uint8_t> pixels;

  std::vector<uint8_t> Build() const {
    std::vector<uint8_t> out{'B', 'M'};
    const uint32_t offset = uint32_t(14 + headerSize + table.size() + gap.size());
    PutLittleEndian32(out, uint32_t(offset + pixels.size()));
    PutLittleEndian32(out, 0);
    PutLittleEndian32(out, offset);
    PutLittleEndian32(out, headerSize);
    if (headerSize == 12) {
      PutLittleEndian16(out, uint32_t(width));
      PutLittleEndian16(out, uint32_t(height));
    } else {
      PutLittleEndian32(out, uint32_t(width));
      PutLittleEndian32(out, uint32_t(height));
    }
    PutLittleEndian16(out, 1);
    PutLittleEndian16(out, bitCount);
    if (headerSize >= 40) {
      PutLittleEndian32(out, compression);
      for (int i = 0; i < 5; ++i) PutLittleEndian32(out, i == 3 ? coloursUsed : 0);
      out.insert(out.end(), masks.begin(), masks.end());
    }
    out.resize(14 + headerSize, 0);
    out.insert(out.end(), table.begin(), table.end());
    out.insert(out.end(), gap.begin(), gap.end());
    out.insert(out.end(), pixels.begin(), pixels.end());
    return out;
  }
};

// A PCX file written the plain way: header, then each row's planes
// run-length coded, then the optional 256-colour palette.
struct PcxFile {
  int width = 4;
  int height = 2;
  int bits = 8;
  int planes = 1;
  int bytesPerLine = 4;
  std::vector<uint8_t> pixels;  // planes * bytesPerLine bytes per row, unencoded
  std::vector<uint8_t> map16;   // 48 bytes for the header's colour map
  std::vector<uint8_t> map256;  // 768 bytes, written after a 12 when present

  std::vector<uint8_t> Bytes() const {
    std::vector<uint8_t> out(128, 0);
    out[0] = 10;
    out[1] = 5;
    out[2] = 1;
    out[3] = uint8_t(bits);
    SetLittleEndian16(out, 8, uint32_t(width - 1));
    SetLittleEndian16(out, 10, uint32_t(height - 1));
    std::copy(map16.begin(), map16.end(), out.begin() + 16);
    out[65] = uint8_t(planes);
    SetLittleEndian16(out, 66, uint32_t(bytesPerLine));
    for (size_t i = 0; i < pixels.size();) {
      size_t run = 1;
      while (i + run < pixels.size() && run < 63 && pixels[i + run] == pixels[i]) ++run;
      if (run > 1 || pixels[i] >= 0xC0) out.push_back(uint8_t(0xC0 | run));
      out.push_back(pixels[i]);
      i += run;
    }
    if (!map256.empty()) {
      out.push_back(12);
      out.insert(out.end(), map256.begin(), map256.end());
    }
    return out;
  }
};

// The 18-byte header of a TGA file.
inline std::vector<uint8_t> TgaHeader(uint8_t type, uint16_t width, uint16_t height, uint8_t depth,
                                      uint8_t descriptor = 0) {
  std::vector<uint8_t> h(18, 0);
  h[2] = type;
  SetLittleEndian16(h, 12, width);
  SetLittleEndian16(h, 14, height);
  h[16] = depth;
  h[17] = descriptor;
  return h;
}

// A little-endian TIFF of one uncompressed strip holding `pixels`; a fourth
// sample is marked as straight alpha.
inline std::vector<uint8_t> TinyTiff(uint32_t width, uint32_t height, uint16_t bits,
                                     uint16_t samples, uint16_t photometric,
                                     const std::vector<uint8_t>& pixels) {
  std::vector<uint8_t> out = {'I', 'I', 42, 0, 8, 0, 0, 0};
  const uint16_t entries = samples == 4 ? 10 : 9;
  const uint32_t dataAt = 8 + 2 + entries * 12 + 4;
  const uint32_t tags[10][3] = {
      {256, 4, width},   {257, 4, height},      {258, 3, bits},
      {259, 3, 1},       {262, 3, photometric}, {273, 4, dataAt},
      {277, 3, samples}, {278, 4, height},      {279, 4, uint32_t(pixels.size())},
      {338, 3, 2},
  };
  PutLittleEndian16(out, entries);
  for (int i = 0; i < entries; ++i) {
    const uint32_t* tag = tags[i];
    PutLittleEndian16(out, tag[0]);
    PutLittleEndian16(out, tag[1]);
    PutLittleEndian32(out, 1);
    if (tag[1] == 3) {
      PutLittleEndian16(out, tag[2]);
      PutLittleEndian16(out, 0);
    } else {
      PutLittleEndian32(out, tag[2]);
    }
  }
  PutLittleEndian32(out, 0);
  out.insert(out.end(), pixels.begin(), pixels.end());
  return out;
}

}  // namespace tesselor::testing
