#include "engine/create_mosaic.h"

#include <gtest/gtest.h>

#include "platform/app_paths.h"
#include "platform/random.h"
#include "tests/engine/engine_fixtures.h"
#include "tests/library/program_folder.h"

namespace tesselor {
namespace {

using testing::Rgb;

// A program folder whose library holds `tiles` flat tiles, a dark photograph
// and a black mosaic of its size, and the generator as at start-up.
class CreateMosaicTest : public ::testing::Test {
 protected:
  ~CreateMosaicTest() override { ChangeDirectory(startDirectory_); }

  BuildOutcome Build(int width, int height, int tiles = 1, bool randomPlacement = false) {
    const std::string library = program_.Folder("Demo Tile Library");
    for (int i = 0; i < tiles; ++i)
      testing::WriteTileFile(library + "t" + std::to_string(i) + ".jpg",
                             testing::Flat({uint8_t(200 - i), 100, 50}));
    testing::FillBitmap(source, width, height, testing::Flat({10, 20, 30}));
    testing::FillBitmap(mosaic, width, height, testing::Flat({0, 0, 0}));
    ResetProgramRandom();
    BuildOptions options;
    options.randomPlacement = randomPlacement;
    return CreateMosaic(source, mosaic, options);
  }

  // Whether the generator has made exactly `draws` draws since start-up.
  static bool Drew(int draws) {
    RandomGenerator generator;
    for (int i = 0; i < draws; ++i) generator.Next();
    return generator.State() == ProgramRandom().State();
  }

  const ProgressRecord& Window(size_t index) { return program_.shell.progress.at(index); }

  CDrawDibBmp source, mosaic;
  std::string startDirectory_ = CurrentDirectory();
  testing::ProgramFolder program_;
};

TEST_F(CreateMosaicTest, EveryCellStepsTheBarAndDrawsOnceEvenOutsideTheMosaic) {
  // 64 x 64 at 32: the third column and row lie wholly outside.
  EXPECT_EQ(Build(64, 64), BuildOutcome::kCompleted);
  EXPECT_EQ(Window(1).status, "Creating image mosaic ...");
  EXPECT_EQ(Window(1).high, 9);
  EXPECT_EQ(Window(1).steps, 9);
  EXPECT_TRUE(Drew(9));
  EXPECT_EQ(program_.shell.waitCursorDepth, 0);

  // 100 x 60: 4 x 2 cells, the last column painted from x 96 to 99; the
  // tile's gains are held at 0.8 toward the dark photograph.
  EXPECT_EQ(Build(100, 60), BuildOutcome::kCompleted);
  EXPECT_EQ(Window(3).high, 8);
  EXPECT_EQ(testing::PixelAt(mosaic, 99, 59), (Rgb{160, 80, 40}));

  // Random placement doubles the range and draws y and x before each choice.
  EXPECT_EQ(Build(100, 60, 1, true), BuildOutcome::kCompleted);
  EXPECT_EQ(Window(5).high, 16);
  EXPECT_TRUE(Drew(8 + 8 * 3));
}

TEST_F(CreateMosaicTest, AbortInEachPhase) {
  program_.shell.abortAfterSteps = {1, -1};  // loading keeps the file in hand
  EXPECT_EQ(Build(100, 60, 3), BuildOutcome::kCompleted);
  EXPECT_EQ(Window(0).steps, 4);  // two files and their mirrors

  program_.shell.abortAfterSteps = {-1, 3};  // the third cell and later stay unpainted
  EXPECT_EQ(Build(100, 60, 3, true), BuildOutcome::kAborted);
  EXPECT_TRUE(Drew(2));

  program_.shell.abortAfterSteps = {-1, 10};  // the placement at which Abort is seen is the last
  EXPECT_EQ(Build(100, 60, 3, true), BuildOutcome::kAborted);
  EXPECT_TRUE(Drew(8 + 2 * 3));
}

TEST_F(CreateMosaicTest, WithoutTilesNothingIsPaintedAndTheMessageComesOnce) {
  EXPECT_EQ(Build(64, 64, 0), BuildOutcome::kNoTiles);
  EXPECT_EQ(program_.shell.messages.size(), 1u);
  EXPECT_EQ(program_.shell.progress.size(), 1u);  // no window for the matching phase
  EXPECT_EQ(testing::PixelAt(mosaic, 5, 5), (Rgb{0, 0, 0}));
}

TEST_F(CreateMosaicTest, ReturnsToTheImageDirectoryOrWhereItStarted) {
  const std::string imageFolder = program_.Folder("photos");
  Paths().imageDirectory = imageFolder;
  Build(32, 32);
  EXPECT_EQ(CurrentDirectory(), imageFolder);
  Paths().imageDirectory.clear();
  Build(32, 32, 0);
  EXPECT_EQ(CurrentDirectory(), imageFolder);
}

}  // namespace
}  // namespace tesselor
