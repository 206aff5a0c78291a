#include "imagelib/photograph_decoder.h"

#include <gtest/gtest.h>

#include "imagelib/draw_dib_bmp.h"
#include "imagelib/exif_orientation.h"
#include "tests/imagelib/tool_images.h"

namespace tesselor {
namespace {

using testing::TempDir;

#define REQUIRE_PROGRAM(name) \
  if (!testing::HaveProgram(name)) GTEST_SKIP() << name " is not installed"

// A JPEG of the test pattern with the Orientation tag set by exiftool.
std::string OrientedJpeg(const TempDir& dir, int orientation) {
  const std::string path = dir.File("o" + std::to_string(orientation) + ".jpg");
  testing::WritePpm(dir.File("in.ppm"), testing::TestPattern(37, 23));
  if (testing::RunCommand("convert '" + dir.File("in.ppm") +
                          "' -sampling-factor 1x1 -quality 95 '" + path + "'") != 0 ||
      testing::RunCommand("exiftool -q -overwrite_original -n -Orientation=" +
                          std::to_string(orientation) + " '" + path + "'") != 0)
    throw std::runtime_error("cannot make " + path);
  return path;
}

TEST(PhotographDecoder, EveryOrientationShowsAsImageMagickTurnsIt) {
  REQUIRE_PROGRAM("convert");
  REQUIRE_PROGRAM("exiftool");
  TempDir dir;
  for (int orientation = 1; orientation <= 8; ++orientation) {
    const std::string jpeg = OrientedJpeg(dir, orientation);
    CDrawDibBmp bmp;
    CPhotographDecoder().DecodeFile(jpeg, bmp, 32);
    const bool swapped = orientation >= 5;
    ASSERT_EQ(bmp.width, swapped ? 23 : 37) << orientation;
    ASSERT_EQ(bmp.height, swapped ? 37 : 23) << orientation;
    const testing::RgbImage upright = testing::RgbImage{
        bmp.width, bmp.height,
        testing::CaptureOutput("convert '" + jpeg + "' -auto-orient -depth 8 rgb:-")};
    EXPECT_LE(testing::MaxDifference(testing::FromBitmap(bmp), upright), 3) << orientation;
  }
}

TEST(PhotographDecoder, BrokenExifBlocksReadAsUpright) {
  // II, 42, IFD at 8, one entry: tag 0x0112, SHORT, count 1, value 6.
  std::vector<uint8_t> exif = {'I', 'I', 42, 0, 8, 0, 0, 0, 1, 0, 0x12, 0x01,
                               3,   0,   1,  0, 0, 0, 6, 0, 0, 0, 0,    0};
  EXPECT_EQ(OrientationInExif(exif.data(), int64_t(exif.size())), 6);
  for (size_t cut = 0; cut < exif.size() - 4; ++cut)
    EXPECT_EQ(OrientationInExif(exif.data(), int64_t(cut)), 1) << "cut at " << cut;
  std::vector<uint8_t> farIfd = exif;
  farIfd[7] = 0x80;  // an IFD two gigabytes on
  EXPECT_EQ(OrientationInExif(farIfd.data(), int64_t(farIfd.size())), 1);
  std::vector<uint8_t> outOfRange = exif;
  outOfRange[18] = 9;
  EXPECT_EQ(OrientationInExif(outOfRange.data(), int64_t(outOfRange.size())), 1);
}

}  // namespace
}  // namespace tesselor
