#include "library/make_tile.h"

#include <gtest/gtest.h>

#include "imagelib/any_pic_decoder.h"
#include "imagelib/text_exception.h"
#include "tests/library/program_folder.h"

namespace tesselor {
namespace {

using testing::FillBitmap;
using testing::PixelAt;
using testing::ProgramFolder;
using testing::Rgb;

TEST(ReduceToTile, AveragesBlocksOfWidthAndHeightOverSixtyFour) {
  // 640 x 480: blocks of 10 x 7; row 63 averages lines 472 to 478, line 479 is never read.
  CDrawDibBmp photo, tile;
  FillBitmap(photo, 640, 480, [](int x, int y) {
    return Rgb{uint8_t(x / 10 * 4), uint8_t(y == 479 ? 255 : (y >= 472 ? 70 : 0)), 0};
  });
  ReduceToTile(photo, {0, 0, 640, 480}, tile);
  EXPECT_EQ(PixelAt(tile, 33, 0).r, 132);
  EXPECT_EQ(PixelAt(tile, 0, 63).g, 70);
  EXPECT_EQ(PixelAt(tile, 0, 62).g, 0);

  // 130 wide: blocks of 2 from 0, 2, ... 62, 65, 67; column 64 is never read.
  FillBitmap(photo, 130, 64, [](int x, int) {
    return Rgb{uint8_t(x == 64 ? 255 : 0), uint8_t(x == 65 ? 100 : 0), 0};
  });
  ReduceToTile(photo, {0, 0, 130, 64}, tile);
  for (int i = 0; i < 64; ++i) EXPECT_EQ(PixelAt(tile, i, 9).r, 0);
  EXPECT_EQ(PixelAt(tile, 32, 9).g, 50);
}

class MakeTileTest : public ::testing::Test {
 protected:
  void WritePhoto(const std::string& name, int width, int height, Rgb colour = {4, 8, 128}) {
    CDrawDibBmp bmp;
    FillBitmap(bmp, width, height, [colour](int x, int) {
      return Rgb{uint8_t(colour.r * x), colour.g, colour.b};
    });
    bmp.SaveAsBmp(photos + name);  // read by content whatever the name says
  }
  ProgramFolder program;
  std::string library = program.Folder("Demo Tile Library"), photos = program.Folder("photos");
};

TEST_F(MakeTileTest, MakesTheTileNamedAfterThePhotographAndNeverReplacesIt) {
  WritePhoto("Summer.JPG", 64, 64);
  CDrawDibBmp made, stored;
  EXPECT_EQ(MakeTile(photos + "Summer.JPG", "Summer", &made), 1);
  EXPECT_EQ(PixelAt(made, 40, 13), (Rgb{160, 8, 128}));  // 64 x 64 is copied pixel for pixel
  CAnyPicDecoder().DecodeFile(library + "Summer.jpg", stored, 32);
  EXPECT_NEAR(PixelAt(stored, 40, 13).r, 160, 12);  // apart from JPEG loss

  const std::vector<uint8_t> first = testing::ReadFileBytes(library + "Summer.jpg");
  WritePhoto("Summer.JPG", 64, 64, {0, 0, 0});
  EXPECT_EQ(MakeTile(photos + "Summer.JPG", "Summer"), 0);
  EXPECT_EQ(testing::ReadFileBytes(library + "Summer.jpg"), first);
  // Nor does a tile written under a name that appeared meanwhile.
  ProgramFolder::WriteText(library + "late.jpg", "keep me");
  EXPECT_FALSE(WriteNewTile(made, library + "late.jpg"));
  EXPECT_EQ(ProgramFolder::ReadText(library + "late.jpg"), "keep me");
  EXPECT_THROW(WriteNewTile(made, library + "no folder/x.jpg"), CTextException);
}

// A 192 x 64 photograph whose pixel values count columns: the crop takes
// columns 64 to 127 one for one, the squeeze averages threes from 0.
TEST_F(MakeTileTest, CropTakesTheCentredSquareAndSqueezeTheWholePhotograph) {
  WritePhoto("wide.jpg", 192, 64, {1, 8, 128});
  CDrawDibBmp cropped, squeezed;
  EXPECT_EQ(MakeTile(photos + "wide.jpg", "crop", &cropped, TileFit::kCrop), 1);
  EXPECT_EQ(MakeTile(photos + "wide.jpg", "squeeze", &squeezed), 1);
  EXPECT_EQ(PixelAt(cropped, 0, 5).r, 64);
  EXPECT_EQ(PixelAt(cropped, 63, 5).r, 127);
  EXPECT_EQ(PixelAt(squeezed, 63, 5).r, 190);  // the mean of 189, 190 and 191
}

TEST_F(MakeTileTest, SkipsWhatIsNoUsablePhotograph) {
  WritePhoto("narrow.jpg", 63, 1000);
  WritePhoto("wide.txt", 100, 100);  // a picture, but not named like one
  ProgramFolder::WriteText(photos + "text.jpg", "no image here");
  for (const char* title : {"narrow", "text", "missing"})
    EXPECT_EQ(MakeTile(photos + title + ".jpg", title), 0) << title;
  EXPECT_EQ(MakeTile(photos + "wide.txt", "wide"), 0);
  EXPECT_TRUE(testing::ListNames(library).empty());
}

}  // namespace
}  // namespace tesselor
