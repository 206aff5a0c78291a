#include "imagelib/bmp_decoder.h"

#include <gtest/gtest.h>

#include <random>

#include "imagelib/any_pic_decoder.h"
#include "imagelib/draw_dib_bmp.h"
#include "imagelib/text_exception.h"
#include "tests/imagelib/tool_images.h"
#include "tests/support/byte_writing.h"
#include "tests/support/hand_made_pictures.h"

namespace tesselor {
namespace {

using Bytes = std::vector<uint8_t>;
using testing::BmpFile;
using testing::PutLittleEndian16;
using testing::PutLittleEndian32;
using testing::Rgb;

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
  BmpFile jpeg;  // a JPEG inside a bitmap header, which printers use
  jpeg.compression = 4;
  jpeg.pixels.assign(24, 0);
  EXPECT_EQ(ErrorOf(jpeg.Build()).first, 6);

  Bytes notBitmap = BmpFile().Build();
  notBitmap[1] = 'A';
  EXPECT_EQ(
      ErrorOf(notBitmap),
      std::make_pair(1, std::string("Decoder error: Bitmap decoder: This isn't a bitmap.\n")));

  BmpFile unknownHeader;
  unknownHeader.headerSize = 20;
  EXPECT_EQ(ErrorOf(unknownHeader.Build()).first, 2);

  BmpFile seven;
  seven.bitCount = 7;
  seven.pixels.assign(16, 0);
  EXPECT_EQ(ErrorOf(seven.Build()),
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
  // Uncompressed files cut short fail; run-length ones keep what they had
  // once their headers and colour table are whole.
  const size_t rleData = 14 + 40 + 1024;
  for (const Bytes& whole : {rle.Build(), plain.Build()}) {
    for (size_t length = 0; length < whole.size(); ++length) {
      const auto [code, text] = ErrorOf(Bytes(whole.begin(), whole.begin() + length));
      if (whole.size() == rle.Build().size() && length >= rleData)
        EXPECT_EQ(code, 0) << "cut at " << length << ": " << text;
      else
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

// Colour tables whose first entry is black: other readers show the pixels
// a run-length file leaves out in colour 0, we show them black.
Bytes BlackFirstTable(int entries, int entryBytes = 4) {
  Bytes table;
  for (int i = 0; i < entries; ++i) {
    const Bytes entry{uint8_t(i ? 255 - i : 0), uint8_t(i ? 100 : 0), uint8_t(i), 0};
    table.insert(table.end(), entry.begin(), entry.begin() + entryBytes);
  }
  return table;
}

Bytes Masks(std::initializer_list<uint32_t> masks) {
  Bytes out;
  for (uint32_t mask : masks) PutLittleEndian32(out, mask);
  return out;
}

// The test pattern's pixels as rows of 16-bit 5-5-5 (or 5-6-5) values.
Bytes SixteenBitRows(int width, int height, bool sixFiveFive) {
  const testing::RgbImage image = testing::TestPattern(width, height);
  Bytes rows;
  for (int y = height - 1; y >= 0; --y) {
    for (int x = 0; x < width; ++x) {
      const uint8_t* p = image.At(x, y);
      PutLittleEndian16(rows, sixFiveFive ? (p[0] >> 3) << 11 | (p[1] >> 2) << 5 | p[2] >> 3
                                          : (p[0] >> 3) << 10 | (p[1] >> 3) << 5 | p[2] >> 3);
    }
    rows.resize((rows.size() + 3) / 4 * 4, 0);
  }
  return rows;
}

enum class Reference { kPillow, kMagick };

void ExpectAsOthersShowIt(const std::string& path, const std::string& what,
                          Reference reference = Reference::kPillow) {
  CDrawDibBmp bmp;
  CAnyPicDecoder().DecodeFile(path, bmp, 32);
  const testing::RgbImage other = reference == Reference::kMagick
                                      ? testing::MagickRgb(path, bmp.width, bmp.height)
                                      : testing::PillowRgb(path);
  ASSERT_EQ(bmp.width, other.width) << what;
  ASSERT_EQ(bmp.height, other.height) << what;
  EXPECT_EQ(testing::MaxDifference(testing::FromBitmap(bmp), other), 0) << what;
}

TEST(BmpDecoder, FilesImageMagickWritesShowAsPillowShowsThem) {
  REQUIRE_PILLOW();
  if (!testing::HaveProgram("convert")) GTEST_SKIP() << "ImageMagick is not installed";
  testing::TempDir dir;
  testing::WritePpm(dir.File("in.ppm"), testing::TestPattern(37, 23));
  // Headers of 124 bytes unless BMP2: (OS/2, 12 bytes) is asked for.
  for (const char* options :
       {"", "-type Palette", "-type Palette -compress RLE", "-alpha set",
        "-define bmp:subtype=RGB565", "-define bmp:subtype=RGB555", "-define bmp:format=bmp4",
        "-colors 12 -type Palette", "-monochrome", "-alpha off BMP2:"}) {
    const std::string path = dir.File("out.bmp");
    const std::string option = options;
    const size_t prefix = option.find("BMP2:");
    ASSERT_EQ(
        testing::RunCommand("convert '" + dir.File("in.ppm") + "' " + option.substr(0, prefix) +
                            " " + (prefix == std::string::npos ? "" : "BMP2:") + "'" + path + "'"),
        0);
    ExpectAsOthersShowIt(path, options);
  }
}

// Pillow takes no short OS/2 2.x headers, and its version in Debian 12
// misreads delta codes; ImageMagick is the reference for those.
TEST(BmpDecoder, HandMadeVariantsShowAsOthersShowThem) {
  REQUIRE_PILLOW();
  if (!testing::HaveProgram("convert")) GTEST_SKIP() << "ImageMagick is not installed";
  struct Variant {
    std::string what;
    BmpFile file;
    Reference reference = Reference::kPillow;
  };
  std::vector<Variant> files;
  BmpFile rgba;  // 32 bits, red in the low byte: ABGR in memory order
  rgba.width = 2;
  rgba.height = 1;
  rgba.bitCount = 32;
  rgba.compression = 3;
  rgba.headerSize = 108;
  rgba.masks = Masks({0xFF, 0xFF00, 0xFF0000, 0xFF000000});
  rgba.pixels = {200, 20, 2, 255, 10, 110, 210, 255};
  files.push_back({"V4 masks", rgba});

  for (bool sixFiveFive : {false, true}) {
    BmpFile sixteen;
    sixteen.width = 37;
    sixteen.height = 23;
    sixteen.bitCount = 16;
    if (sixFiveFive) {
      sixteen.compression = 3;
      sixteen.table = Masks({0xF800, 0x7E0, 0x1F});
    }
    sixteen.pixels = SixteenBitRows(37, 23, sixFiveFive);
    files.push_back({sixFiveFive ? "16 bits 565" : "16 bits 555", sixteen});
  }

  for (uint32_t headerSize : {12u, 16u, 64u}) {
    BmpFile os2;  // OS/2 headers; 1.x tables have 3-byte entries
    os2.width = 4;
    os2.bitCount = 8;
    os2.headerSize = headerSize;
    os2.table = BlackFirstTable(256, headerSize == 12 ? 3 : 4);
    os2.pixels = {1, 2, 3, 4, 250, 251, 252, 253};
    files.push_back({"OS/2 header of " + std::to_string(headerSize), os2,
                     headerSize == 16 ? Reference::kMagick : Reference::kPillow});
  }

  BmpFile profile;  // a colour profile between the header and the pixels
  profile.width = 2;
  profile.height = 1;
  profile.headerSize = 124;
  profile.gap.assign(300, 0x5A);
  profile.pixels = {1, 2, 3, 4, 5, 6, 0, 0};
  files.push_back({"V5 with a profile", profile});

  BmpFile rle8;
  rle8.width = 6;
  rle8.height = 5;
  rle8.bitCount = 8;
  rle8.compression = 1;
  rle8.table = BlackFirstTable(256);
  // A run, a delta two right and one up, a run of 2, end of line, an
  // absolute run of 4, and no end code: the top row is never reached.
  rle8.pixels = {2, 9, 0, 2, 2, 1, 2, 7, 0, 0, 0, 4, 11, 12, 13, 14};
  files.push_back({"RLE8 with a delta and an early end", rle8, Reference::kMagick});

  BmpFile rle4 = rle8;
  rle4.bitCount = 4;
  rle4.compression = 2;
  rle4.table = BlackFirstTable(16);
  rle4.pixels = {3, 0x12, 0, 2, 1, 2, 2, 0x77, 0, 0, 0, 4, 0xAB, 0xCD, 0, 1};
  files.push_back({"RLE4 with a delta and an end code", rle4, Reference::kMagick});

  testing::TempDir dir;
  for (const Variant& variant : files) {
    testing::WriteFileBytes(dir.File("hand.bmp"), variant.file.Build());
    ExpectAsOthersShowIt(dir.File("hand.bmp"), variant.what, variant.reference);
  }
}

TEST(BmpDecoder, BitFieldsPutEachChannelWhereItsMaskSays) {
  // Masks behind a 40-byte header, red in the low byte, no alpha.
  BmpFile f;
  f.width = 1;
  f.height = 1;
  f.bitCount = 32;
  f.compression = 3;
  f.table = Masks({0xFF, 0xFF00, 0xFF0000});
  f.pixels = {200, 20, 2, 0};
  CDrawDibBmp bmp;
  Decode(f.Build(), bmp);
  EXPECT_EQ(testing::PixelAt(bmp, 0, 0), (Rgb{200, 20, 2}));
  EXPECT_EQ(bmp.lineArray[0][3], 255);
}

TEST(BmpDecoder, RunLengthClaimsTheDataCannotHoldAreRefusedBeforeAllocating) {
  // 1,080 bytes claiming 30000 x 30000: one run, then nothing.
  BmpFile f;
  f.width = 30000;
  f.height = 30000;
  f.bitCount = 8;
  f.compression = 1;
  f.table = BlackFirstTable(256);
  f.pixels = {255, 1};
  const Bytes file = f.Build();
  ASSERT_EQ(file.size(), 1080u);
  const auto [code, text] = ErrorOf(file);
  EXPECT_EQ(code, 2);
  EXPECT_NE(text.find("30000 x 30000"), std::string::npos) << text;
}

}  // namespace
}  // namespace tesselor
