#include <gtest/gtest.h>
#include <sys/stat.h>

#include "imagelib/any_pic_decoder.h"
#include "imagelib/draw_dib_bmp.h"
#include "platform/file_error.h"
#include "tests/imagelib/tool_images.h"

namespace tesselor {
namespace {

using Bytes = std::vector<uint8_t>;
using testing::ReadFileBytes;
using testing::TempDir;

uint32_t Dword(const Bytes& b, size_t at) {
  return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | uint32_t(b[at + 3]) << 24;
}

TEST(BmpWriter, ThreePixelLineGets24BitRowWithFixedPadding) {
  TempDir dir;
  CDrawDibBmp bmp;
  testing::FillBitmap(bmp, 3, 1, [](int x, int) {
    return testing::Rgb{uint8_t(10 * x + 3), uint8_t(10 * x + 2), uint8_t(10 * x + 1)};
  });
  bmp.lineArray[0][3] = 0x99;  // the fourth byte is dropped
  bmp.SaveAsBmp(dir.File("a.bmp"));
  const Bytes file = ReadFileBytes(dir.File("a.bmp"));
  ASSERT_EQ(file.size(), 66u);
  EXPECT_EQ(file[0], 'B');
  EXPECT_EQ(file[1], 'M');
  EXPECT_EQ(Dword(file, 2), 66u);
  EXPECT_EQ(Dword(file, 6), 0u);
  EXPECT_EQ(Dword(file, 10), 54u);
  EXPECT_EQ(Dword(file, 14), 40u);
  EXPECT_EQ(Dword(file, 18), 3u);
  EXPECT_EQ(Dword(file, 22), 1u);
  EXPECT_EQ(file[28], 24);
  EXPECT_EQ(Dword(file, 30), 0u);  // uncompressed
  EXPECT_EQ(Bytes(file.begin() + 54, file.end()),
            (Bytes{1, 2, 3, 11, 12, 13, 21, 22, 23, 0x20, 0x00, 0x00}));

  bmp.Create(4, 1, 32, false);  // a row of whole words needs no padding
  bmp.SaveAsBmp(dir.File("a.bmp"));
  EXPECT_EQ(ReadFileBytes(dir.File("a.bmp")).size(), 66u);
  EXPECT_EQ(testing::ListNames(dir.Path()), std::vector<std::string>{"a.bmp"});
}

TEST(BmpWriter, ColourRoundTripMatchesOurAndImageMagicksDecoding) {
  TempDir dir;
  const testing::RgbImage pattern = testing::TestPattern(37, 23);
  CDrawDibBmp original;
  testing::FillFromImage(original, pattern);
  original.SaveAsBmp(dir.File("a.bmp"));
  CDrawDibBmp decoded;
  CAnyPicDecoder().DecodeFile(dir.File("a.bmp"), decoded, 32);
  EXPECT_EQ(testing::MaxDifference(testing::FromBitmap(decoded), pattern), 0);
  if (testing::HaveProgram("convert")) {
    EXPECT_EQ(testing::MaxDifference(testing::MagickRgb(dir.File("a.bmp"), 37, 23), pattern), 0);
  }
}

TEST(BmpWriter, EightBitBitmapKeepsItsTableAndIndices) {
  TempDir dir;
  CDrawDibBmp bmp;
  bmp.Create(5, 3, 8, false);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 5; ++x) bmp.lineArray[y][x] = uint8_t(40 * y + x);
  bmp.palette[4 * 41] = 7;  // no longer plain grey
  bmp.SaveAsBmp(dir.File("a.bmp"));
  const Bytes file = ReadFileBytes(dir.File("a.bmp"));
  EXPECT_EQ(file.size(), 54u + 1024 + 8 * 3);
  EXPECT_EQ(Dword(file, 10), 54u + 1024);
  CDrawDibBmp decoded;
  CAnyPicDecoder().DecodeFile(dir.File("a.bmp"), decoded, 0);
  ASSERT_EQ(decoded.bitsPerPixel, 8);
  for (int y = 0; y < 3; ++y)
    EXPECT_EQ(Bytes(decoded.lineArray[y], decoded.lineArray[y] + 5),
              Bytes(bmp.lineArray[y], bmp.lineArray[y] + 5));
  EXPECT_EQ(Bytes(decoded.palette, decoded.palette + 1024), Bytes(bmp.palette, bmp.palette + 1024));
}

TEST(BmpWriter, FailedSaveRaisesFileErrorAndLeavesNothingBehind) {
  TempDir dir;
  CDrawDibBmp bmp;
  bmp.Create(4, 4, 32, false);
  // A folder where the file should go: the final rename must fail.
  const std::string target = dir.File("taken");
  ASSERT_EQ(mkdir(target.c_str(), 0755), 0);
  try {
    bmp.SaveAsBmp(target);
    FAIL() << "no exception";
  } catch (const FileError& e) {
    EXPECT_EQ(e.Path(), target);
    EXPECT_FALSE(e.Cause().empty());
  }
  EXPECT_EQ(testing::ListNames(dir.Path()), std::vector<std::string>{"taken"});
  EXPECT_THROW(bmp.SaveAsBmp(dir.File("missing/a.bmp")), FileError);
}

}  // namespace
}  // namespace tesselor
