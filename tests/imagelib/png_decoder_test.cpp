#include "imagelib/png_decoder.h"

#include <gtest/gtest.h>

#include "tests/imagelib/decoder_checks.h"

namespace tesselor {
namespace {

using testing::BitmapAlpha;
using testing::Convert;
using testing::DecodeFailure;
using testing::DifferenceFromMagick;
using testing::HaveProgram;
using testing::MagickAlpha;
using testing::ReadFileBytes;
using testing::TempDir;

class PngDecoderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!HaveProgram("convert")) GTEST_SKIP() << "ImageMagick is not installed";
    testing::WritePpm(dir_.File("in.ppm"), testing::TestPattern(37, 23));
  }

  // Writes the pattern through ImageMagick with options into name.
  std::string Make(const std::string& options, const std::string& name) {
    const std::string path = dir_.File(name);
    EXPECT_TRUE(Convert(dir_.File("in.ppm") + " " + options + " " + path)) << name;
    return path;
  }

  TempDir dir_;
  CPNGDecoder decoder_;
};

TEST_F(PngDecoderTest, EveryColourTypeMatchesImageMagick) {
  const std::string files[] = {
      Make("-type grayscale", "grey.png"),
      Make("-type bilevel", "bilevel.png"),
      Make("-type grayscale -depth 4", "grey4.png"),
      Make("-colors 40", "PNG8:palette.png"),
      Make("", "PNG24:rgb.png"),
      Make("-depth 16", "PNG48:deep.png"),
      Make("-interlace PNG", "PNG24:interlaced.png"),
  };
  for (const std::string& path : files) {
    CDrawDibBmp bmp;
    decoder_.DecodeFile(path, bmp, 32);
    ASSERT_EQ(bmp.width, 37) << path;
    EXPECT_EQ(bmp.bitsPerPixel, 32) << path;
    EXPECT_FALSE(bmp.hasAlpha) << path;
    EXPECT_EQ(DifferenceFromMagick(bmp, path), 0) << path;
    for (const uint8_t alpha : BitmapAlpha(bmp)) ASSERT_EQ(alpha, 255) << path;
  }
}

TEST_F(PngDecoderTest, AlphaComesFromTheFile) {
  for (const char* name : {"PNG32:rgba.png", "PNG32:grey-alpha.png"}) {
    const std::string options = std::string(name).find("grey") != std::string::npos
                                    ? "-type grayscale -alpha set -channel A -fx 'i/36' +channel"
                                    : "-alpha set -channel A -fx 'j/22' +channel";
    const std::string path = Make(options, name);
    CDrawDibBmp bmp;
    decoder_.DecodeFile(path, bmp, 32);
    EXPECT_TRUE(bmp.hasAlpha) << name;
    EXPECT_EQ(BitmapAlpha(bmp), MagickAlpha(path)) << name;
  }
}

TEST_F(PngDecoderTest, OwnDepthKeepsGreyAndPaletteIndices) {
  const std::string grey = Make("-type grayscale -depth 2", "grey2.png");
  const std::string palette = Make("-colors 40", "PNG8:palette.png");
  for (const std::string& path : {grey, palette}) {
    CDrawDibBmp own, deep;
    decoder_.DecodeFile(path, own, 0);
    decoder_.DecodeFile(path, deep, 32);
    ASSERT_EQ(own.bitsPerPixel, 8) << path;
    for (int y = 0; y < own.height; ++y)
      for (int x = 0; x < own.width; ++x) {
        const uint8_t* entry = own.palette + 4 * own.lineArray[y][x];
        ASSERT_EQ(testing::Rgb({entry[2], entry[1], entry[0]}), testing::PixelAt(deep, x, y))
            << path << " " << x << "," << y;
      }
  }
  // Colour files keep their depth.
  CDrawDibBmp rgb;
  decoder_.DecodeFile(Make("", "PNG24:rgb.png"), rgb, 0);
  EXPECT_EQ(rgb.bitsPerPixel, 32);
}

TEST_F(PngDecoderTest, BrokenFilesRaiseErrorsInsteadOfJumping) {
  const std::vector<uint8_t> good = ReadFileBytes(Make("", "PNG24:rgb.png"));

  std::vector<uint8_t> badCrc = good;
  badCrc[29] ^= 0xFF;  // inside the header chunk's checksum
  const CTextException crc = DecodeFailure(decoder_, badCrc);
  EXPECT_EQ(crc.GetCode(), 2);
  EXPECT_EQ(crc.GetText().rfind("Decoder error: ", 0), 0u);

  std::vector<uint8_t> cut(good.begin(), good.begin() + static_cast<ptrdiff_t>(good.size() / 2));
  const CTextException end = DecodeFailure(decoder_, cut);
  EXPECT_EQ(end.GetCode(), 11);
  EXPECT_EQ(end.GetText(), "End of file reached while decoding.\n");

  testing::ExpectDamageIsRefused(decoder_, good);
}

}  // namespace
}  // namespace tesselor
