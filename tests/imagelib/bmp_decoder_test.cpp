#include "imagelib/bmp_decoder.h"

#include <gtest/gtest.h>

#include <random>

#include "imagelib/any_pic_decoder.h"
#include "imagelib/draw_dib_bmp.h"
#include "imagelib/text_exception.h"
#include "tests/imagelib/tool_images.h"

namespace tesselor {
namespace {

using Bytes = std::vector<uint8_t>;
using testing::Rgb;

void Put16(Bytes& out, uint32_t v) {
  out.push_back(uint8_t(v));
  out.push_back(uint8_t(v >> 8));
}
void Put32(Bytes& out, uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

// A bitmap file with a 40-byte header; pixel data and table are taken as given.
struct BmpFile {
  int32_t width = 3;
  int32_t height = 2;
  uint16_t bitCount = 24;
  uint32_t compression = 0;
  uint32_t coloursUsed = 0;
  uint32_t headerSize = 40;
  Bytes table;  // 4 bytes an entry
  Bytes gap;    // bytes between the table and the pixel data
  Bytes pixels;

  Bytes Build() const {
    Bytes out{'B', 'M'};
    const uint32_t offset = uint32_t(54 + table.size() + gap.size());
    Put32(out, uint32_t(offset + pixels.size()));
    Put32(out, 0);
    Put32(out, offset);
    Put32(out, headerSize);
    Put32(out, uint32_t(width));
    Put32(out, uint32_t(height));
    Put16(out, 1);
    Put16(out, bitCount);
    Put32(out, compression);
    for (int i = 0; i < 5; ++i) Put32(out, i == 3 ? coloursUsed : 0);
    out.insert(out.end(), table.begin(), table.end());
    out.insert(out.end(), gap.begin(), gap.end());
    out.insert(out.end(), pixels.begin(), pixels.end());
    return out;
  }
};

// A colour table whose entry i is (red i, green 100, blue 255 - i).
Bytes RampTable(int entries) {
  Bytes table;
  for (int i = 0; i < entries; ++i)
    table.insert(table.end(), {uint8_t(255 - i), 100, uint8_t(i), 0});
  return table;
}
Rgb RampColour(int i) {
  return {uint8_t(i), 100, uint8_t(255 - i)};
}

// Decodes file into bmp and returns the depth the decoder chose.
int Decode(const Bytes& file, CBmp& bmp, int bitsPerPixel = 32) {
  CMemorySource source(file.data(), int64_t(file.size()), "memory.bmp");
  ColourTable palette;
  CBmpDecoder().DecodeImage(bmp, palette, bitsPerPixel, source);
  return bitsPerPixel;
}

// The error a file raises, as code and text.
std::pair<int, std::string> ErrorOf(const Bytes& file) {
  CDrawDibBmp bmp;
  try {
    Decode(file, bmp);
  } catch (const CTextException& e) {
    return {e.GetCode(), e.GetText()};
  }
  return {0, ""};
}

TEST(BmpDecoder, TwentyFourBitRowsBecomeOpaqueInTheirStoredOrder) {
  BmpFile f;  // 3 x 2, rows of 9 bytes plus 3 padding
  f.pixels = {1, 2, 3, 4, 5, 6, 7, 8, 9, 0, 0, 0, 11, 12, 13, 14, 15, 16, 17, 18, 19, 0, 0, 0};
  const Bytes first{1, 2, 3, 255, 4, 5, 6, 255, 7, 8, 9, 255};
  const Bytes second{11, 12, 13, 255, 14, 15, 16, 255, 17, 18, 19, 255};
  CDrawDibBmp bmp;
  Decode(f.Build(), bmp);
  ASSERT_EQ(bmp.bitsPerPixel, 32);
  EXPECT_EQ(Bytes(bmp.lineArray[1], bmp.lineArray[1] + 12), first);  // the bottom line
  EXPECT_EQ(Bytes(bmp.lineArray[0], bmp.lineArray[0] + 12), second);

  f.height = -2;  // rows stored from the top
  Decode(f.Build(), bmp);
  ASSERT_EQ(bmp.height, 2);
  EXPECT_EQ(Bytes(bmp.lineArray[0], bmp.lineArray[0] + 12), first);
  EXPECT_EQ(Bytes(bmp.lineArray[1], bmp.lineArray[1] + 12), second);
}

TEST(BmpDecoder, ThirtyTwoBitRowsAreCopiedWithTheirFourthByte) {
  BmpFile f;
  f.width = 2;
  f.height = 1;
  f.bitCount = 32;
  f.pixels = {1, 2, 3, 4, 5, 6, 7, 8};
  CDrawDibBmp bmp;
  Decode(f.Build(), bmp);
  EXPECT_EQ(Bytes(bmp.lineArray[0], bmp.lineArray[0] + 8), f.pixels);
}

TEST(BmpDecoder, OneBitFileUsesItsColourTable) {
  // Blue for clear bits, yellow for set ones; 10 pixels take two bytes.
  BmpFile f;
  f.width = 10;
  f.height = 1;
  f.bitCount = 1;
  f.table = {255, 0, 0, 0, 0, 255, 255, 0};
  f.pixels = {0b10110000, 0b01000000, 0, 0};
  CDrawDibBmp bmp;
  Decode(f.Build(), bmp);
  const Rgb blue{0, 0, 255}, yellow{255, 255, 0};
  const std::vector<Rgb> expected{yellow, blue, yellow, yellow, blue,
                                  blue,   blue, blue,   blue,   yellow};
  for (int x = 0; x < 10; ++x) EXPECT_EQ(testing::PixelAt(bmp, x, 0), expected[x]) << x;
  EXPECT_EQ(bmp.lineArray[0][3], 255);
}

TEST(BmpDecoder, IndexedFilesAtTheirOwnDepthKeepIndicesAndTable) {
  BmpFile f;
  f.width = 5;
  f.height = 1;
  f.bitCount = 4;
  f.table = RampTable(16);
  f.pixels = {0x12, 0x34, 0x5F, 0};  // odd width: the last byte's low nibble is unused
  CDrawDibBmp bmp;
  EXPECT_EQ(Decode(f.Build(), bmp, 0), 8);
  ASSERT_EQ(bmp.bitsPerPixel, 8);
  EXPECT_EQ(Bytes(bmp.lineArray[0], bmp.lineArray[0] + 5), (Bytes{1, 2, 3, 4, 5}));
  EXPECT_EQ(Bytes(bmp.palette + 4 * 3, bmp.palette + 4 * 4), (Bytes{252, 100, 3, 255}));
  // Entries the file does not have are black.
  EXPECT_EQ(Bytes(bmp.palette + 4 * 16, bmp.palette + 4 * 17), (Bytes{0, 0, 0, 255}));

  CDrawDibBmp colour;
  Decode(f.Build(), colour);
  for (int x = 0; x < 5; ++x) EXPECT_EQ(testing::PixelAt(colour, x, 0), RampColour(x + 1));
}

TEST(BmpDecoder, FindsThePixelsPastLongColourTablesAndGaps) {
  BmpFile f;
  f.width = 2;
  f.height = 1;
  f.bitCount = 8;
  f.coloursUsed = 300;  // more than any index reaches: read over
  f.table = RampTable(300);
  f.gap.assign(12, 0xEE);  // stepped over by the pixel offset
  f.pixels = {7, 255, 0, 0};
  CDrawDibBmp bmp;
  Decode(f.Build(), bmp);
  EXPECT_EQ(testing::PixelAt(bmp, 0, 0), RampColour(7));
  EXPECT_EQ(testing::PixelAt(bmp, 1, 0), RampColour(255));
}

TEST(BmpDecoder, RunLength8FillsRowsFromTheBottom) {
  BmpFile f;
  f.bitCount = 8;
  f.compression = 1;
  f.table = RampTable(256);
  f.pixels = {3, 5, 0, 0, 0, 3, 1, 2, 3, 0, 0, 1};
  CDrawDibBmp bmp;
  Decode(f.Build(), bmp);
  for (int x = 0; x < 3; ++x) {
    EXPECT_EQ(testing::PixelAt(bmp, x, 1), RampColour(5));
    EXPECT_EQ(testing::PixelAt(bmp, x, 0), RampColour(x + 1));
  }
}

TEST(BmpDecoder, RunLength4AlternatesNibblesAndPadsAbsoluteRuns) {
  BmpFile f;
  f.width = 5;
  f.height = 2;
  f.bitCount = 4;
  f.compression = 2;
  f.table = RampTable(16);
  // Bottom: a run of 5 alternating 1 and 2. Top: an absolute run of 3
  // (two bytes, which need no padding), then a run of 2 of index 9.
  f.pixels = {5, 0x12, 0, 0, 0, 3, 0x34, 0x50, 2, 0x99, 0, 1};
  CDrawDibBmp bmp;
  Decode(f.Build(), bmp, 0);
  EXPECT_EQ(Bytes(bmp.lineArray[1], bmp.lineArray[1] + 5), (Bytes{1, 2, 1, 2, 1}));
  EXPECT_EQ(Bytes(bmp.lineArray[0], bmp.lineArray[0] + 5), (Bytes{3, 4, 5, 9, 9}));
}

TEST(BmpDecoder, RunsPastTheRowOrImageAreCut) {
  BmpFile f;
  f.bitCount = 8;
  f.compression = 1;
  f.table = RampTable(256);
  // A run of 200 and an absolute run of 5 on 3-pixel rows, then more end
  // of lines than the image has rows, and data after them.
  f.pixels = {200, 7, 0, 0, 0, 5, 1, 2, 3, 4, 5, 0, 0, 0, 0, 0, 0, 0, 9, 9};
  CDrawDibBmp bmp;
  Decode(f.Build(), bmp, 0);
  EXPECT_EQ(Bytes(bmp.lineArray[1], bmp.lineArray[1] + 3), (Bytes{7, 7, 7}));
  EXPECT_EQ(Bytes(bmp.lineArray[0], bmp.lineArray[0] + 3), (Bytes{1, 2, 3}));
  EXPECT_EQ(bmp.lineArray[0][3], 0);  // the padding of the top line
}

TEST(BmpDecoder, HeaderFaultsRaiseTheirCodes) {
  BmpFile delta;
  delta.bitCount = 8;
  delta.compression = 1;
  delta.table = RampTable(256);
  delta.pixels = {0, 2, 1, 1, 0, 1};
  EXPECT_EQ(ErrorOf(delta.Build()),
            std::make_pair(6, std::string("Decoder error: Encountered delta escape.\n")));

  Bytes notBitmap = BmpFile().Build();
  notBitmap[1] = 'A';
  EXPECT_EQ(
      ErrorOf(notBitmap),
      std::make_pair(1, std::string("Decoder error: Bitmap decoder: This isn't a bitmap.\n")));

  BmpFile os2;
  os2.headerSize = 12;
  EXPECT_EQ(ErrorOf(os2.Build()).first, 2);

  BmpFile sixteen;
  sixteen.bitCount = 16;
  sixteen.pixels.assign(16, 0);
  EXPECT_EQ(ErrorOf(sixteen.Build()),
            std::make_pair(2, std::string("Decoder error: Decoding bmp: Illegal bpp value.\n")));
}

TEST(BmpDecoder, AbsurdSizesAreRefusedBeforeAllocating) {
  for (auto [width, height] : {std::pair{70000, 1}, {1, -70000}, {0, 5}, {60000, 60000}}) {
    BmpFile f;
    f.width = width;
    f.height = height;
    EXPECT_EQ(ErrorOf(f.Build()).first, 2) << width << " x " << height;
  }
}

TEST(BmpDecoder, TruncatedAndRandomFilesRaiseCleanly) {
  BmpFile rle;
  rle.width = 9;
  rle.height = 4;
  rle.bitCount = 8;
  rle.compression = 1;
  rle.table = RampTable(256);
  rle.pixels = {9, 1, 0, 0, 0, 9, 1, 2, 3, 4, 5, 6, 7, 8, 9, 0, 0, 0, 4, 3, 0, 0, 5, 5, 0, 1};
  BmpFile plain;
  plain.width = 7;
  plain.height = 3;
  plain.pixels.assign(24 * 3, 0x44);
  for (const Bytes& whole : {rle.Build(), plain.Build()}) {
    for (size_t length = 0; length < whole.size(); ++length) {
      const auto [code, text] = ErrorOf(Bytes(whole.begin(), whole.begin() + length));
      EXPECT_NE(code, 0) << "cut at " << length;
    }
  }
  std::mt19937 random(1234);
  for (int round = 0; round < 300; ++round) {
    Bytes bytes = plain.Build();
    for (size_t i = 2 + random() % 60; i < bytes.size(); i += 1 + random() % 8)
      bytes[i] = uint8_t(random());
    ErrorOf(bytes);  // any outcome but a crash
  }
}

}  // namespace
}  // namespace tesselor
