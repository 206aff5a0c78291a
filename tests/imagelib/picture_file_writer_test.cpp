// PNG and TIFF written line by line, read back by other people's decoders
// (Pillow, ImageMagick, libtiff's tiff2rgba), and written on a disk that
// refuses them.
#include "imagelib/picture_file_writer.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <random>

#include "imagelib/draw_dib_bmp.h"
#include "platform/file_error.h"
#include "tests/imagelib/tool_images.h"
#include "tests/support/scratch_mount.h"

namespace tesselor {
namespace {

using testing::RgbImage;

// Noise over the test pattern: no two neighbours alike, odd sizes.
RgbImage NoisyPattern(int width, int height) {
  RgbImage image = testing::TestPattern(width, height);
  std::mt19937 random(9);
  for (uint8_t& sample : image.rgb) sample = uint8_t(sample ^ (random() & 0x0F));
  return image;
}

// Writes bmp in bands of a few lines, as a streamed build hands them over.
void WriteInBands(const std::string& path, const CBmp& bmp) {
  const std::unique_ptr<PictureFileWriter> writer =
      OpenPictureFileWriter(path, *PictureTypeOfFile(path), bmp.width, bmp.height);
  for (int y = 0; y < bmp.height; y += 7)
    writer->WriteRows(bmp.lineArray + y, std::min(7, bmp.height - y));
  writer->Commit();
}

TEST(PictureFileWriter, PngAndTiffDecodeToTheBitmapElsewhere) {
  REQUIRE_PILLOW();
  const RgbImage image = NoisyPattern(97, 61);
  CDrawDibBmp bmp;
  testing::FillFromImage(bmp, image);
  testing::TempDir dir;
  for (const char* name : {"a.png", "b.TIFF", "c.tif"}) {
    const std::string path = dir.File(name);
    WriteInBands(path, bmp);
    EXPECT_EQ(testing::PillowRgb(path).rgb, image.rgb) << name;
    EXPECT_EQ(testing::MagickRgb(path, 97, 61).rgb, image.rgb) << name;
  }
  const std::string rgba = dir.File("rgba.tif");
  ASSERT_EQ(testing::RunCommand("tiff2rgba '" + dir.File("c.tif") + "' '" + rgba + "'"), 0);
  EXPECT_EQ(testing::PillowRgb(rgba).rgb, image.rgb);
}

TEST(PictureFileWriter, FullDiskOrUnfinishedPictureKeepsTheOldFile) {
  testing::ScratchMount mount(64 * 1024);
  REQUIRE_MOUNT(mount);
  RgbImage noise{200, 150, std::vector<uint8_t>(200 * 150 * 3)};
  std::mt19937 random(4);
  for (uint8_t& sample : noise.rgb) sample = uint8_t(random());  // past compressing
  CDrawDibBmp bmp;
  testing::FillFromImage(bmp, noise);
  for (const char* name : {"full.png", "full.tif"}) {
    const std::string path = mount.File(name);
    testing::WriteFileBytes(path, {'o', 'l', 'd'});
    try {
      WriteInBands(path, bmp);
      ADD_FAILURE() << name << " was written on a full disk";
    } catch (const FileError& error) {
      EXPECT_EQ(error.Cause(), std::strerror(ENOSPC)) << name;
    }
    EXPECT_EQ(testing::ReadFileBytes(path), (std::vector<uint8_t>{'o', 'l', 'd'})) << name;
    {
      const std::unique_ptr<PictureFileWriter> abandoned =
          OpenPictureFileWriter(path, *PictureTypeOfFile(path), 4, 4);
      abandoned->WriteRows(bmp.lineArray, 2);
      EXPECT_THROW(abandoned->Commit(), FileError) << name;  // two of four lines
    }
    EXPECT_EQ(testing::ListNames(mount.Path()), (std::vector<std::string>{name})) << name;
    std::remove(path.c_str());
  }
}

}  // namespace
}  // namespace tesselor
