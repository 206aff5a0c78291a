#include "library/make_tile.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "imagelib/any_pic_decoder.h"
#include "imagelib/text_exception.h"
#include "tests/library/program_folder.h"

namespace tesselor {
namespace {

using testing::FillBitmap;
using testing::PixelAt;
using testing::ProgramFolder;
using testing::Rgb;

void WritePhoto(const std::string& path, int width, int height,
                const std::function<Rgb(int, int)>& colour) {
  CDrawDibBmp bmp;
  FillBitmap(bmp, width, height, colour);
  bmp.SaveAsBmp(path);  // recognised by content whatever the name says
}

TEST(ReduceToTile, UsesBlocksOfWidthAndHeightOverSixtyFour) {
  // 640 x 480: blocks of 10 x 7; output row 63 averages rows 472 to 478 and
  // row 479 is never read.
  CDrawDibBmp photo, tile;
  FillBitmap(photo, 640, 480, [](int x, int y) {
    return Rgb{uint8_t(x / 10 * 4), uint8_t(y == 479 ? 255 : (y >= 472 ? 70 : 0)), 0};
  });
  ReduceToTile(photo, {0, 0, 640, 480}, tile);
  EXPECT_EQ(tile.width, 64);
  EXPECT_EQ(PixelAt(tile, 33, 0).r, 132);
  EXPECT_EQ(PixelAt(tile, 0, 63).g, 70);
  EXPECT_EQ(PixelAt(tile, 0, 62).g, 0);

  // 130 wide: blocks of 2 starting at 0, 2, ... 62, 65, 67; column 64 is skipped.
  FillBitmap(photo, 130, 64, [](int x, int) {
    return Rgb{uint8_t(x == 64 ? 255 : 0), uint8_t(x == 65 ? 100 : 0), 0};
  });
  ReduceToTile(photo, {0, 0, 130, 64}, tile);
  for (int i = 0; i < 64; ++i) EXPECT_EQ(PixelAt(tile, i, 9).r, 0);
  EXPECT_EQ(PixelAt(tile, 32, 9).g, 50);
}

TEST(ReduceToTile, ReadsOnlyTheAreaAsked) {
  CDrawDibBmp photo, tile;
  FillBitmap(photo, 300, 200, [](int x, int y) {
    return Rgb{uint8_t(x < 100 ? 10 : 250), uint8_t(y < 50 ? 20 : 90), 0};
  });
  ReduceToTile(photo, {100, 50, 128, 128}, tile);
  EXPECT_EQ(PixelAt(tile, 0, 0), (Rgb{250, 90, 0}));
  EXPECT_EQ(PixelAt(tile, 63, 63), (Rgb{250, 90, 0}));
}

class MakeTileTest : public ::testing::Test {
 protected:
  MakeTileTest() {
    library = program.Folder("Demo Tile Library");
    photos = program.Folder("photos");
  }
  ProgramFolder program;
  std::string library, photos;
};

TEST_F(MakeTileTest, MakesTheTileNamedAfterThePhotographOnce) {
  WritePhoto(photos + "Summer.JPG", 64, 64, [](int x, int y) {
    return Rgb{uint8_t(4 * x), uint8_t(4 * y), 128};
  });
  CDrawDibBmp made;
  EXPECT_EQ(MakeTile(photos + "Summer.JPG", "Summer", &made), 1);
  CDrawDibBmp stored;
  CAnyPicDecoder().DecodeFile(library + "Summer.jpg", stored, 32);
  ASSERT_EQ(stored.width, 64);
  for (const auto& [x, y] : {std::pair{0, 0}, {40, 13}, {63, 63}}) {
    EXPECT_EQ(PixelAt(made, x, y),
              (Rgb{uint8_t(4 * x), uint8_t(4 * y), 128}));  // copied pixel for pixel
    EXPECT_NEAR(PixelAt(stored, x, y).r, 4 * x, 12);        // apart from JPEG loss
    EXPECT_NEAR(PixelAt(stored, x, y).g, 4 * y, 12);
  }
  const std::vector<uint8_t> first = testing::ReadFileBytes(library + "Summer.jpg");
  WritePhoto(photos + "Summer.JPG", 64, 64, [](int, int) { return Rgb{0, 0, 0}; });
  EXPECT_EQ(MakeTile(photos + "Summer.JPG", "Summer"), 0);  // never replaced
  EXPECT_EQ(testing::ReadFileBytes(library + "Summer.jpg"), first);
}

TEST_F(MakeTileTest, SkipsWhatIsNoUsablePhotograph) {
  WritePhoto(photos + "narrow.jpg", 63, 1000, [](int, int) { return Rgb{1, 2, 3}; });
  WritePhoto(photos + "wide.jpeg", 100, 100, [](int, int) { return Rgb{1, 2, 3}; });
  ProgramFolder::WriteText(photos + "text.jpg", "no image here");
  EXPECT_EQ(MakeTile(photos + "narrow.jpg", "narrow"), 0);
  EXPECT_EQ(MakeTile(photos + "wide.jpeg", "wide"), 0);
  EXPECT_EQ(MakeTile(photos + "text.jpg", "text"), 0);
  EXPECT_EQ(MakeTile(photos + "missing.jpg", "missing"), 0);
  EXPECT_TRUE(testing::ListNames(library).empty());
}

TEST_F(MakeTileTest, WriteNewTileLeavesAnExistingFileAloneAndReportsFailures) {
  CDrawDibBmp tile;
  FillBitmap(tile, 64, 64, [](int, int) { return Rgb{9, 9, 9}; });
  ProgramFolder::WriteText(library + "taken.jpg", "keep me");
  EXPECT_FALSE(WriteNewTile(tile, library + "taken.jpg"));
  EXPECT_EQ(ProgramFolder::ReadText(library + "taken.jpg"), "keep me");
  EXPECT_TRUE(WriteNewTile(tile, library + "new.jpg"));
  EXPECT_THROW(WriteNewTile(tile, library + "no such folder/x.jpg"), CTextException);
  EXPECT_EQ(testing::ListNames(library), (std::vector<std::string>{"new.jpg", "taken.jpg"}));
}

}  // namespace
}  // namespace tesselor
