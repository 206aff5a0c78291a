#include "engine/load_tile_set.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "imagelib/jpeg_encoder.h"
#include "platform/app_paths.h"
#include "tests/engine/engine_fixtures.h"
#include "tests/library/program_folder.h"

namespace tesselor {
namespace {

using testing::Rgb;
using testing::WriteTileFile;

constexpr const char* kLoading = "Loading and sorting tile library ...";
constexpr const char* kNoTiles =
    "There are no tiles in the specified tile library directory\n"
    "Please ensure the correct directory has been specified";

// Each case runs in its own program folder and leaves the working directory as it found it.
class LoadTileSetTest : public ::testing::Test {
 protected:
  ~LoadTileSetTest() override { ChangeDirectory(startDirectory_); }

  std::string Library() { return program_.Folder("Demo Tile Library"); }
  ScriptedShell& Shell() { return program_.shell; }

 private:
  std::string startDirectory_ = CurrentDirectory();
  testing::ProgramFolder program_;
};

TEST(ReduceTile, AveragesBlocksFromTheBottomLeftAtEverySize) {
  // Red counts columns from the left, green plane rows from the bottom.
  TilePlanes work;
  for (int row = 0; row < kTileEdge; ++row)
    for (int column = 0; column < kTileEdge; ++column) {
      work.At(kRed, row, column) = static_cast<uint8_t>(column);
      work.At(kGreen, row, column) = static_cast<uint8_t>(row);
    }
  const int twelveStarts[] = {0, 5, 10, 16, 21, 26, 32, 37, 42, 48, 53, 58};
  for (const int n : {64, 48, 32, 24, 16, 12, 8}) {
    TileBuffer tile(n);
    ReduceTile(work, tile);
    const int block = 64 / n;
    for (int j = 0; j < n; ++j) {
      const int start = n == 12 ? twelveStarts[j] : 64 * j / n;
      const int mean = start + (block - 1) / 2;  // mean of start .. start + block - 1
      EXPECT_EQ(tile.Value(kRed, j, 0), mean) << "size " << n << " column " << j;
      EXPECT_EQ(tile.Value(kGreen, 0, n - 1 - j), mean) << "size " << n << " row " << j;
    }
  }
}

TEST_F(LoadTileSetTest, LoadsTileFilesInListingOrderWithMirrorCopies) {
  const std::string library = Library();
  WriteTileFile(library + "b.jpg", testing::Flat({9, 9, 9}));
  WriteTileFile(library + "A.JPG", [](int x, int y) {
    return Rgb{uint8_t(3 * x), uint8_t(3 * y), 0};
  });
  WriteTileFile(library + "c.jpeg", testing::Flat({1, 1, 1}));  // not a tile file name
  WriteTileFile(library + "small.jpg", testing::Flat({1, 1, 1}), 64, 63);
  testing::ProgramFolder::WriteText(library + "bad.jpg", "not a picture");

  TileSet tiles;
  ASSERT_EQ(LoadTileSet(tiles, 64, true), 4);
  EXPECT_EQ(tiles[0].Value(kGreen, 10, 20), 60);  // row 0 is the top line
  EXPECT_EQ(tiles[0].Value(kRed, 10, 20), 30);
  EXPECT_EQ(tiles[1].Value(kRed, 10, 20), 3 * 53);  // A mirrored
  EXPECT_EQ(tiles[2].Average(kBlue), 9);
  EXPECT_EQ(
      Shell().MessageTexts(),
      (std::vector<std::string>{"The following tile file is invalid:\n" + library + "bad.jpg",
                                "The following tile file is invalid:\n" + library + "small.jpg"}));
  ASSERT_EQ(Shell().progress.size(), 1u);
  EXPECT_EQ(Shell().progress[0].status, kLoading);
  EXPECT_EQ(Shell().progress[0].high, 8);  // four files named *.jpg, twice for the mirrors
  EXPECT_EQ(Shell().progress[0].steps, 4);
  EXPECT_EQ(CurrentDirectory(), library);
}

TEST_F(LoadTileSetTest, PipesAndFoldersNamedLikeTilesAreSkippedSilently) {
  const std::string library = Library();
  WriteTileFile(library + "a.jpg", testing::Flat({5, 5, 5}));
  testing::MakeIdlePipe(library + "b.jpg");
  ASSERT_EQ(mkdir((library + "c.jpg").c_str(), 0700), 0);
  TileSet tiles;
  int count = 0;
  EXPECT_TRUE(testing::FinishesBesideIdlePipe(library + "b.jpg",
                                              [&] { count = LoadTileSet(tiles, 16, false); }));
  EXPECT_EQ(count, 1);
  EXPECT_TRUE(Shell().MessageTexts().empty());
}

TEST_F(LoadTileSetTest, AbortKeepsTheFileInHandAndNoTilesIsSaidOnce) {
  TileSet tiles;
  EXPECT_EQ(LoadTileSet(tiles, 32, true), -1);  // no library folder at all
  const std::string library = Library();
  EXPECT_EQ(LoadTileSet(tiles, 32, true), -1);
  EXPECT_EQ(Shell().MessageTexts(), (std::vector<std::string>{kNoTiles, kNoTiles}));

  for (const char* name : {"a.jpg", "b.jpg", "c.jpg"})
    WriteTileFile(library + name, testing::Flat({5, 5, 5}));
  Shell().abortAfterSteps.push_back(1);
  EXPECT_EQ(LoadTileSet(tiles, 16, false), 2);
}

TEST_F(LoadTileSetTest, StopsAtTenThousandTilesMirrorCopiesIncluded) {
  CDrawDibBmp bmp;
  testing::FillBitmap(bmp, 64, 64, testing::Flat({40, 80, 120}));
  const std::string library = Library();
  CJPEGEncoder().EncodeFile(library + "0.jpg", bmp);
  const std::vector<uint8_t> bytes = testing::ReadFileBytes(library + "0.jpg");
  for (int i = 1; i <= kTileSetCapacity / 2; ++i)
    testing::WriteFileBytes(library + std::to_string(i) + ".jpg", bytes);
  TileSet tiles;
  int leftOut = -1;
  EXPECT_EQ(LoadTileSet(tiles, 8, true, &leftOut), kTileSetCapacity);
  EXPECT_EQ(Shell().progress[0].steps, kTileSetCapacity);
  EXPECT_TRUE(Shell().messages.empty());
  EXPECT_EQ(leftOut, 1);

  // Without the cap every file is read, and nothing is said to be missing.
  TileSet everyTile(kNoTileLimit);
  EXPECT_EQ(LoadTileSet(everyTile, 8, true, &leftOut), kTileSetCapacity + 2);
  EXPECT_EQ(leftOut, 0);
}

}  // namespace
}  // namespace tesselor
