#include "imagelib/tga_decoder.h"

#include <gtest/gtest.h>

#include "tests/imagelib/decoder_checks.h"
#include "tests/support/hand_made_pictures.h"

namespace tesselor {
namespace {

using testing::BitmapAlpha;
using testing::Convert;
using testing::DecodeBytes;
using testing::DecodeFailure;
using testing::DifferenceFromMagick;
using testing::HaveProgram;
using testing::PixelAt;
using testing::ReadFileBytes;
using testing::Rgb;
using testing::TempDir;
using testing::TgaHeader;

void Append(std::vector<uint8_t>& bytes, std::initializer_list<uint8_t> more) {
  bytes.insert(bytes.end(), more);
}

TEST(TgaDecoder, MatchesImageMagickForEveryTypeAndRowOrder) {
  if (!HaveProgram("convert")) GTEST_SKIP() << "ImageMagick is not installed";
  TempDir dir;
  testing::WritePpm(dir.File("in.ppm"), testing::TestPattern(37, 23));
  const struct {
    const char* name;
    const char* options;
    uint8_t type;
  } cases[] = {
      {"mapped.tga", "-colors 60 -type palette -compress none", 1},
      {"true.tga", "-compress none", 2},
      {"grey.tga", "-type grayscale -compress none", 3},
      {"mapped-rle.tga", "-colors 60 -type palette -compress RLE", 9},
      {"true-rle.tga", "-compress RLE", 10},
      {"grey-rle.tga", "-type grayscale -compress RLE", 11},
  };
  CTGADecoder decoder;
  for (const auto& c : cases)
    for (const char* orient : {"BottomLeft", "TopLeft"}) {
      const std::string path = dir.File(std::string(orient) + c.name);
      ASSERT_TRUE(
          Convert(dir.File("in.ppm") + " " + c.options + " -orient " + orient + " " + path));
      ASSERT_EQ(ReadFileBytes(path)[2], c.type) << path;
      CDrawDibBmp bmp;
      decoder.DecodeFile(path, bmp, 32);
      ASSERT_EQ(bmp.width, 37);
      EXPECT_EQ(bmp.bitsPerPixel, 32);
      EXPECT_FALSE(bmp.hasAlpha);
      EXPECT_EQ(DifferenceFromMagick(bmp, path), 0) << path;
    }
}

// Descriptor bit 4: each row is stored from its right end.
TEST(TgaDecoder, RowsStoredRightToLeftShowAsPillowShowsThem) {
  REQUIRE_PILLOW();
  if (!HaveProgram("convert")) GTEST_SKIP() << "ImageMagick is not installed";
  TempDir dir;
  testing::WritePpm(dir.File("in.ppm"), testing::TestPattern(37, 23));
  for (const char* options : {"-compress none", "-compress RLE"}) {
    const std::string path = dir.File("mirrored.tga");
    ASSERT_TRUE(Convert(dir.File("in.ppm") + " " + options + " " + path));
    std::vector<uint8_t> bytes = ReadFileBytes(path);
    bytes[17] |= 0x10;
    testing::WriteFileBytes(path, bytes);
    CDrawDibBmp bmp;
    CTGADecoder().DecodeFile(path, bmp, 32);
    EXPECT_EQ(testing::MaxDifference(testing::FromBitmap(bmp), testing::PillowRgb(path)), 0)
        << options;
  }
}

TEST(TgaDecoder, ThirtyTwoBitPixelsKeepTheirAlpha) {
  if (!HaveProgram("convert")) GTEST_SKIP() << "ImageMagick is not installed";
  TempDir dir;
  const std::string path = dir.File("alpha.tga");
  ASSERT_TRUE(
      Convert("-size 13x7 gradient:red-blue -alpha set -channel A -fx 'i/12' +channel " + path));
  CDrawDibBmp bmp;
  CTGADecoder decoder;
  decoder.DecodeFile(path, bmp, 32);
  EXPECT_TRUE(bmp.hasAlpha);
  EXPECT_EQ(BitmapAlpha(bmp), testing::MagickAlpha(path));
}

TEST(TgaDecoder, SixteenBitPixelsSpreadFiveBitChannels) {
  std::vector<uint8_t> tga = TgaHeader(2, 2, 1, 16);
  Append(tga, {0x1F, 0x80, 0xE0, 0x7F});  // pure blue with the attribute bit, red and green
  CDrawDibBmp bmp;
  CTGADecoder decoder;
  DecodeBytes(decoder, tga, bmp);
  EXPECT_TRUE(bmp.hasAlpha);
  EXPECT_EQ(PixelAt(bmp, 0, 0), (Rgb{0, 0, 248}));
  EXPECT_EQ(PixelAt(bmp, 1, 0), (Rgb{248, 248, 0}));
  EXPECT_EQ(bmp.lineArray[0][3], 255);
  EXPECT_EQ(bmp.lineArray[0][7], 0);
}

TEST(TgaDecoder, RunLengthPacketsCarryOnIntoTheNextRow) {
  // A 2 x 2 image coded as one run of three pixels and one literal; a
  // decoder that stopped packets at the row end would lose the third pixel.
  std::vector<uint8_t> tga = TgaHeader(10, 2, 2, 24, 0x20);
  Append(tga, {0x82, 10, 20, 30, 0x00, 40, 50, 60});
  CDrawDibBmp bmp;
  CTGADecoder decoder;
  DecodeBytes(decoder, tga, bmp);
  EXPECT_EQ(PixelAt(bmp, 0, 0), (Rgb{30, 20, 10}));
  EXPECT_EQ(PixelAt(bmp, 0, 1), (Rgb{30, 20, 10}));
  EXPECT_EQ(PixelAt(bmp, 1, 1), (Rgb{60, 50, 40}));

  // A run longer than the rest of the image is cut at its end.
  std::vector<uint8_t> overlong = TgaHeader(10, 1, 1, 24);
  Append(overlong, {0xFF, 1, 2, 3});
  DecodeBytes(decoder, overlong, bmp);
  EXPECT_EQ(PixelAt(bmp, 0, 0), (Rgb{3, 2, 1}));
}

TEST(TgaDecoder, ColourMapsBeyondTwoHundredFiftySixEntriesAreClipped) {
  // Entries 250..259: the ones past 255 cannot be reached by 8-bit indices
  // and must neither be written nor stop the pixels being found.
  std::vector<uint8_t> tga = TgaHeader(1, 2, 1, 8);
  tga[1] = 1;
  tga[3] = 250;
  tga[5] = 10;
  tga[7] = 24;
  for (int i = 0; i < 10; ++i) Append(tga, {uint8_t(i), uint8_t(2 * i), uint8_t(3 * i)});
  Append(tga, {252, 255});
  CTGADecoder decoder;
  CDrawDibBmp bmp;
  DecodeBytes(decoder, tga, bmp);
  EXPECT_EQ(PixelAt(bmp, 0, 0), (Rgb{6, 4, 2}));
  EXPECT_EQ(PixelAt(bmp, 1, 0), (Rgb{15, 10, 5}));

  // Asked for the file's own depth, the indices stay and the map becomes
  // the colour table.
  int depth = 0;
  ColourTable palette;
  CMemorySource source(tga.data(), int64_t(tga.size()), "mapped");
  decoder.DecodeImage(bmp, palette, depth, source);
  EXPECT_EQ(bmp.bitsPerPixel, 8);
  EXPECT_EQ(bmp.lineArray[0][0], 252);
  EXPECT_EQ(bmp.palette[4 * 252 + 2], 6);
  EXPECT_EQ(palette.size(), 1024u);
}

TEST(TgaDecoder, RefusesUnknownTypesAndDepths) {
  CTGADecoder decoder;
  const CTextException type = DecodeFailure(decoder, TgaHeader(32, 1, 1, 24));
  EXPECT_EQ(type.GetCode(), 2);
  EXPECT_EQ(type.GetText(), "Decoder error: Unknown TGA image type.\n");
  EXPECT_EQ(DecodeFailure(decoder, TgaHeader(2, 1, 1, 12)).GetCode(), 2);
  EXPECT_EQ(DecodeFailure(decoder, TgaHeader(2, 0, 1, 24)).GetCode(), 2);
  EXPECT_EQ(DecodeFailure(decoder, TgaHeader(2, 1, 1, 24)).GetCode(), 11);
}

TEST(TgaDecoder, DamagedFilesFailCleanly) {
  std::vector<uint8_t> tga = TgaHeader(9, 9, 5, 8);
  tga[1] = 1;
  tga[5] = 4;
  tga[7] = 32;
  for (int i = 0; i < 16; ++i) tga.push_back(uint8_t(i * 15));
  for (int i = 0; i < 20; ++i) Append(tga, {uint8_t(i % 3 ? 0x81 : 0x01), uint8_t(i % 4), 3});
  CTGADecoder decoder;
  testing::ExpectDamageIsRefused(decoder, tga);
}

}  // namespace
}  // namespace tesselor
