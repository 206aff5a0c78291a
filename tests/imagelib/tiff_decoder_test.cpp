#include "imagelib/tiff_decoder.h"

#include <gtest/gtest.h>

#include "imagelib/any_pic_decoder.h"
#include "tests/imagelib/decoder_checks.h"
#include "tests/support/byte_writing.h"
#include "tests/support/hand_made_pictures.h"

namespace tesselor {
namespace {

using testing::Convert;
using testing::DecodeBytes;
using testing::DecodeFailure;
using testing::DifferenceFromMagick;
using testing::HaveProgram;
using testing::PixelAt;
using testing::PutLittleEndian32;
using testing::ReadFileBytes;
using testing::Rgb;
using testing::RunCommand;
using testing::TempDir;
using testing::TinyTiff;
using testing::WriteFileBytes;

// The colour a decoded pixel shows, whatever depth the bitmap has.
Rgb ShownColour(const CBmp& bmp, int x, int y) {
  if (bmp.bitsPerPixel == 32) return PixelAt(bmp, x, y);
  const uint8_t* entry = bmp.palette + 4 * bmp.lineArray[y][x];
  return {entry[2], entry[1], entry[0]};
}

TEST(TiffDecoder, MatchesImageMagickForStripsTilesPalettesAndDeepSamples) {
  if (!HaveProgram("convert") || !HaveProgram("tiffcp"))
    GTEST_SKIP() << "ImageMagick or libtiff's tools are not installed";
  TempDir dir;
  testing::WritePpm(dir.File("in.ppm"), testing::TestPattern(37, 23));
  const std::string in = dir.File("in.ppm") + " ";
  ASSERT_TRUE(Convert(in + "-compress lzw " + dir.File("strips.tif")));
  ASSERT_TRUE(Convert(in + "-depth 16 " + dir.File("deep.tif")));
  ASSERT_TRUE(Convert(in + "-colors 16 -type palette " + dir.File("palette.tif")));
  ASSERT_TRUE(Convert(in + "-type grayscale " + dir.File("grey.tif")));
  ASSERT_TRUE(Convert(in + "-type bilevel -depth 1 " + dir.File("bilevel.tif")));
  ASSERT_EQ(
      RunCommand("tiffcp -t -w 16 -l 16 " + dir.File("deep.tif") + " " + dir.File("tiles.tif")), 0);

  CTIFFDecoder decoder;
  for (const char* name :
       {"strips.tif", "deep.tif", "palette.tif", "grey.tif", "bilevel.tif", "tiles.tif"}) {
    CDrawDibBmp bmp;
    decoder.DecodeFile(dir.File(name), bmp, 32);
    ASSERT_EQ(bmp.width, 37) << name;
    ASSERT_EQ(bmp.height, 23) << name;
    EXPECT_EQ(bmp.bitsPerPixel, 32) << name;
    // Colour maps hold 16-bit values: libtiff keeps the high byte where
    // ImageMagick rounds.
    const int tolerance = std::string(name) == "palette.tif" ? 1 : 0;
    EXPECT_LE(DifferenceFromMagick(bmp, dir.File(name)), tolerance) << name;
  }

  // Asked for their own depth, one-sample files of up to 8 bits come back
  // as indices into a colour table that shows the same picture; the rest
  // stay 32-bit.
  for (const char* name : {"palette.tif", "grey.tif", "bilevel.tif", "strips.tif", "tiles.tif"}) {
    CDrawDibBmp deep, own;
    decoder.DecodeFile(dir.File(name), deep, 32);
    decoder.DecodeFile(dir.File(name), own, 0);
    const bool oneSample = std::string(name) != "strips.tif" && std::string(name) != "tiles.tif";
    EXPECT_EQ(own.bitsPerPixel, oneSample ? 8 : 32) << name;
    for (int y = 0; y < own.height; ++y)
      for (int x = 0; x < own.width; ++x)
        ASSERT_EQ(ShownColour(own, x, y), PixelAt(deep, x, y)) << name << " " << x << "," << y;
  }
}

TEST(TiffDecoder, MinIsWhiteTurnsTheGreyRampAround) {
  const std::vector<uint8_t> tiff = TinyTiff(4, 1, 2, 1, 0, {0b00011011});
  CTIFFDecoder decoder;
  for (const int depth : {0, 32}) {
    CDrawDibBmp bmp;
    DecodeBytes(decoder, tiff, bmp, depth);
    EXPECT_EQ(ShownColour(bmp, 0, 0), (Rgb{255, 255, 255})) << depth;
    EXPECT_EQ(ShownColour(bmp, 1, 0), (Rgb{170, 170, 170})) << depth;
    EXPECT_EQ(ShownColour(bmp, 3, 0), (Rgb{0, 0, 0})) << depth;
  }
}

TEST(TiffDecoder, AlphaChannelsReachTheFourthByte) {
  // Straight alpha 128 over full red; libtiff's renderer premultiplies it.
  CTIFFDecoder decoder;
  CDrawDibBmp bmp;
  DecodeBytes(decoder, TinyTiff(1, 1, 8, 4, 2, {255, 0, 0, 128}), bmp);
  EXPECT_TRUE(bmp.hasAlpha);
  EXPECT_EQ(PixelAt(bmp, 0, 0), (Rgb{128, 0, 0}));
  EXPECT_EQ(bmp.lineArray[0][3], 128);

  DecodeBytes(decoder, TinyTiff(1, 1, 8, 3, 2, {255, 0, 0}), bmp);
  EXPECT_FALSE(bmp.hasAlpha);
  EXPECT_EQ(bmp.lineArray[0][3], 255);
}

TEST(TiffDecoder, TiffPreviewInsideEps) {
  if (!HaveProgram("convert")) GTEST_SKIP() << "ImageMagick is not installed";
  TempDir dir;
  testing::WritePpm(dir.File("in.ppm"), testing::TestPattern(21, 9));
  ASSERT_TRUE(Convert(dir.File("in.ppm") + " " + dir.File("preview.tif")));
  const std::vector<uint8_t> tiff = ReadFileBytes(dir.File("preview.tif"));
  const std::string postscript = "%!PS-Adobe-3.0 EPSF-3.0\n%%BoundingBox: 0 0 21 9\n";

  // The binary EPS header: key, then offset and length of the PostScript,
  // of a metafile preview (none) and of the TIFF preview, then a checksum.
  std::vector<uint8_t> eps = {0xC5, 0xD0, 0xD3, 0xC6};
  PutLittleEndian32(eps, 30);
  PutLittleEndian32(eps, uint32_t(postscript.size()));
  PutLittleEndian32(eps, 0);
  PutLittleEndian32(eps, 0);
  PutLittleEndian32(eps, uint32_t(30 + postscript.size()));
  PutLittleEndian32(eps, uint32_t(tiff.size()));
  eps.insert(eps.end(), {0xFF, 0xFF});
  eps.insert(eps.end(), postscript.begin(), postscript.end());
  eps.insert(eps.end(), tiff.begin(), tiff.end());
  WriteFileBytes(dir.File("picture.eps"), eps);

  CAnyPicDecoder decoder;
  CDrawDibBmp bmp;
  decoder.DecodeFile(dir.File("picture.eps"), bmp, 32);
  ASSERT_EQ(bmp.width, 21);
  EXPECT_EQ(DifferenceFromMagick(bmp, dir.File("preview.tif")), 0);
}

TEST(TiffDecoder, RefusesWhatLibtiffCannotReadOrRender) {
  CTIFFDecoder decoder;
  const CTextException notTiff = DecodeFailure(decoder, {'I', 'I', 42, 0, 0xFF, 0xFF, 0xFF, 0});
  EXPECT_EQ(notTiff.GetCode(), 1);
  EXPECT_EQ(notTiff.GetText().rfind("Decoder error: ", 0), 0u);

  // RGB photometric with a single sample is nothing the renderer can draw.
  const CTextException odd = DecodeFailure(decoder, TinyTiff(1, 1, 8, 1, 2, {7}));
  EXPECT_EQ(odd.GetCode(), 6);
  EXPECT_NE(odd.GetText().find("cannot be rendered"), std::string::npos);

  // A strip that claims more bytes than the file holds.
  std::vector<uint8_t> cut = TinyTiff(8, 8, 8, 3, 2, std::vector<uint8_t>(192, 9));
  cut.resize(cut.size() - 100);
  EXPECT_EQ(DecodeFailure(decoder, cut).GetCode(), 7);
}

// A 2 x 2 grey TIFF of two one-row strips, the second starting secondAt
// bytes into the pixel data.
std::vector<uint8_t> TwoStripTiff(uint16_t secondAt) {
  std::vector<uint8_t> tiff = TinyTiff(2, 2, 8, 1, 1, {10, 20, 30, 40});
  const uint16_t dataAt = 8 + 2 + 9 * 12 + 4;
  auto twoShorts = [&tiff](int entry, uint16_t first, uint16_t second) {
    uint8_t* field = &tiff[10 + 12 * entry];
    const uint8_t typeAndCount[] = {3, 0, 2, 0, 0, 0};
    std::copy(std::begin(typeAndCount), std::end(typeAndCount), field + 2);
    const uint8_t values[] = {uint8_t(first), uint8_t(first >> 8), uint8_t(second),
                              uint8_t(second >> 8)};
    std::copy(std::begin(values), std::end(values), field + 8);
  };
  twoShorts(5, dataAt, dataAt + secondAt);  // strip offsets
  twoShorts(8, 2, 2);                       // strip byte counts
  tiff[10 + 12 * 7 + 8] = 1;                // one row per strip
  return tiff;
}

TEST(TiffDecoder, StripsThatShareTheirBytesAreRefused) {
  CTIFFDecoder decoder;
  CDrawDibBmp bmp;
  DecodeBytes(decoder, TwoStripTiff(2), bmp);
  EXPECT_EQ(ShownColour(bmp, 0, 1).r, 30);
  for (const uint16_t secondAt : {0, 1}) {
    const CTextException shared = DecodeFailure(decoder, TwoStripTiff(secondAt));
    EXPECT_EQ(shared.GetCode(), 7) << secondAt;
    EXPECT_NE(shared.GetText().find("share"), std::string::npos) << shared.GetText();
  }
}

TEST(TiffDecoder, DamagedFilesFailCleanly) {
  if (!HaveProgram("convert")) GTEST_SKIP() << "ImageMagick is not installed";
  TempDir dir;
  testing::WritePpm(dir.File("in.ppm"), testing::TestPattern(16, 8));
  ASSERT_TRUE(Convert(dir.File("in.ppm") + " -compress lzw " + dir.File("small.tif")));
  CTIFFDecoder decoder;
  testing::ExpectDamageIsRefused(decoder, ReadFileBytes(dir.File("small.tif")));
}

}  // namespace
}  // namespace tesselor
