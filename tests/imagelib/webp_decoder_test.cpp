#include "imagelib/webp_decoder.h"

#include <gtest/gtest.h>

#include "imagelib/any_pic_decoder.h"
#include "imagelib/photograph_decoder.h"
#include "tests/imagelib/decoder_checks.h"

namespace tesselor {
namespace {

using testing::HaveProgram;
using testing::ReadFileBytes;
using testing::TempDir;

TEST(WebPDecoder, LossyLosslessAndAlphaFilesMatchDwebp) {
  if (!HaveProgram("cwebp") || !HaveProgram("dwebp") || !HaveProgram("convert"))
    GTEST_SKIP() << "the webp tools or ImageMagick are not installed";
  TempDir dir;
  testing::WritePpm(dir.File("in.ppm"), testing::TestPattern(37, 23));
  ASSERT_EQ(testing::RunCommand("convert '" + dir.File("in.ppm") +
                                "' -alpha set -channel A -fx 'i/w' '" + dir.File("in.png") + "'"),
            0);
  for (const std::string options : {"-q 80", "-lossless", "-q 80 -alpha_q 100"}) {
    const std::string webp = dir.File("out.webp");
    ASSERT_EQ(testing::RunCommand("cwebp -quiet " + options + " '" + dir.File("in.png") + "' -o '" +
                                  webp + "'"),
              0);
    ASSERT_EQ(
        testing::RunCommand("dwebp -quiet -ppm '" + webp + "' -o '" + dir.File("d.ppm") + "'"), 0);
    CDrawDibBmp bmp;
    CAnyPicDecoder().DecodeFile(webp, bmp, 32);
    EXPECT_EQ(testing::MaxDifference(testing::FromBitmap(bmp),
                                     testing::ParsePnm(ReadFileBytes(dir.File("d.ppm")))),
              0)
        << options;
    EXPECT_TRUE(bmp.hasAlpha) << options;
    // The alpha ramp of the picture: clear on the left, opaque on the right.
    EXPECT_LT(bmp.lineArray[5][3], 20) << options;
    EXPECT_GT(bmp.lineArray[5][4 * 36 + 3], 235) << options;
  }
}

TEST(WebPDecoder, ExifOrientationTurnsThePhotograph) {
  if (!HaveProgram("cwebp") || !HaveProgram("exiftool"))
    GTEST_SKIP() << "cwebp or exiftool is not installed";
  TempDir dir;
  testing::WritePpm(dir.File("in.ppm"), testing::TestPattern(37, 23));
  const std::string webp = dir.File("side.webp");
  ASSERT_EQ(
      testing::RunCommand("cwebp -quiet -lossless '" + dir.File("in.ppm") + "' -o '" + webp +
                          "' && exiftool -q -overwrite_original -n -Orientation=6 '" + webp + "'"),
      0);
  CDrawDibBmp plain, upright;
  CAnyPicDecoder().DecodeFile(webp, plain, 32);
  CPhotographDecoder().DecodeFile(webp, upright, 32);
  ASSERT_EQ(upright.width, 23);
  ASSERT_EQ(upright.height, 37);
  // Turned a quarter clockwise, the stored bottom-left pixel shows top left.
  EXPECT_EQ(testing::PixelAt(upright, 0, 0), testing::PixelAt(plain, 0, 22));
}

TEST(WebPDecoder, DamagedFilesFailCleanly) {
  if (!HaveProgram("cwebp")) GTEST_SKIP() << "cwebp is not installed";
  TempDir dir;
  testing::WritePpm(dir.File("in.ppm"), testing::TestPattern(37, 23));
  ASSERT_EQ(testing::RunCommand("cwebp -quiet '" + dir.File("in.ppm") + "' -o '" +
                                dir.File("a.webp") + "'"),
            0);
  CWebPDecoder decoder;
  testing::ExpectDamageIsRefused(decoder, ReadFileBytes(dir.File("a.webp")));
}

}  // namespace
}  // namespace tesselor
