// Bitmap files written by ImageMagick, decoded by us and by ImageMagick.
#include <gtest/gtest.h>

#include "imagelib/any_pic_decoder.h"
#include "imagelib/draw_dib_bmp.h"
#include "tests/imagelib/tool_images.h"

namespace tesselor {
namespace {

struct MagickBmp {
  const char* name;
  const char* options;  // how ImageMagick is asked for the file
  int bitCount;         // what it is expected to write
  int compression;
};

class BmpFromImageMagick : public ::testing::TestWithParam<MagickBmp> {};

TEST_P(BmpFromImageMagick, DecodesAsImageMagickDoes) {
  if (!testing::HaveProgram("convert")) GTEST_SKIP() << "ImageMagick is not installed";
  const MagickBmp& kind = GetParam();
  testing::TempDir dir;
  testing::WritePpm(dir.File("in.ppm"), testing::TestPattern(37, 23));
  const std::string bmpPath = dir.File("out.bmp");
  ASSERT_EQ(testing::RunCommand("convert '" + dir.File("in.ppm") + "' " + kind.options + " BMP3:'" +
                                bmpPath + "'"),
            0);
  const std::vector<uint8_t> file = testing::ReadFileBytes(bmpPath);
  ASSERT_GE(file.size(), 54u);
  ASSERT_EQ(file[28], kind.bitCount) << "ImageMagick wrote another depth";
  ASSERT_EQ(file[30], kind.compression) << "ImageMagick wrote another compression";

  CDrawDibBmp bmp;
  CAnyPicDecoder().DecodeFile(bmpPath, bmp, 32);
  EXPECT_EQ(testing::MaxDifference(testing::FromBitmap(bmp), testing::MagickRgb(bmpPath, 37, 23)),
            0);
  for (int y = 0; y < bmp.height; ++y)
    for (int x = 0; x < bmp.width; ++x) ASSERT_EQ(bmp.lineArray[y][4 * x + 3], 255);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, BmpFromImageMagick,
    ::testing::Values(MagickBmp{"Bits24", "", 24, 0},
                      MagickBmp{"Bits32", "-alpha set -define bmp3:alpha=true", 32, 0},
                      MagickBmp{"Bits8", "-type Palette -compress None", 8, 0},
                      MagickBmp{"Rle8", "-type Palette -compress RLE", 8, 1},
                      MagickBmp{"Bits4", "-colors 16 -compress None", 4, 0},
                      MagickBmp{"Bits1Colour", "-colors 2 -compress None", 1, 0},
                      MagickBmp{"Bits1Bilevel", "-type Bilevel", 1, 0}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tesselor
