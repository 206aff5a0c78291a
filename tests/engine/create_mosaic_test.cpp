#include "engine/create_mosaic.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "engine/mosaic_passes.h"
#include "platform/app_paths.h"
#include "platform/random.h"
#include "tests/engine/engine_fixtures.h"
#include "tests/library/program_folder.h"

namespace tesselor {
namespace {

using testing::FillBitmap;
using testing::Flat;
using testing::PixelAt;
using testing::Rgb;

constexpr const char* kCreating = "Creating image mosaic ...";

// A program folder whose library holds `tiles` flat tiles, a photograph and
// an empty mosaic of the photograph's size, and the generator as at start-up.
class CreateMosaicTest : public ::testing::Test {
 protected:
  ~CreateMosaicTest() override { ChangeDirectory(startDirectory_); }

  void Prepare(int width, int height, int tiles = 1) {
    const std::string library = program_.Folder("Demo Tile Library");
    for (int i = 0; i < tiles; ++i)
      testing::WriteTileFile(library + "t" + std::to_string(i) + ".jpg",
                             Flat({uint8_t(200 - i), 100, 50}));
    FillBitmap(source, width, height, Flat({10, 20, 30}));
    FillBitmap(mosaic, width, height, Flat({0, 0, 0}));
    ResetProgramRandom();
  }

  // The generator's state after `draws` draws from start-up.
  static uint32_t StateAfter(int draws) {
    RandomGenerator generator;
    for (int i = 0; i < draws; ++i) generator.Next();
    return generator.State();
  }

  BuildOptions Options(bool randomPlacement = false) {
    BuildOptions options;
    options.tileSize = 32;
    options.randomPlacement = randomPlacement;
    return options;
  }

  ScriptedShell& Shell() { return program_.shell; }

  CDrawDibBmp source, mosaic;
  std::string startDirectory_ = CurrentDirectory();
  testing::ProgramFolder program_;
};

TEST(MosaicGrid, HasOneColumnAndRowMoreThanWholeTilesFit) {
  EXPECT_EQ(GridFor(100, 60, 32).columns, 4);
  EXPECT_EQ(GridFor(100, 60, 32).rows, 2);
  EXPECT_EQ(GridFor(64, 64, 32).Cells(), 9);
}

TEST_F(CreateMosaicTest, EveryCellStepsTheBarAndDrawsOnceEvenOutsideTheMosaic) {
  // 64 x 64 at 32: the third column and row lie wholly outside.
  Prepare(64, 64);
  EXPECT_EQ(CreateMosaic(source, mosaic, Options()), BuildOutcome::kCompleted);
  ASSERT_EQ(Shell().progress.size(), 2u);  // loading, then building
  EXPECT_EQ(Shell().progress[1].status, kCreating);
  EXPECT_EQ(Shell().progress[1].high, 9);
  EXPECT_EQ(Shell().progress[1].steps, 9);
  EXPECT_EQ(ProgramRandom().State(), StateAfter(9));
  EXPECT_EQ(Shell().waitCursorDepth, 0);

  // 100 x 60: four columns, the last painted only from x 96 to 99.
  Prepare(100, 60);
  EXPECT_EQ(CreateMosaic(source, mosaic, Options()), BuildOutcome::kCompleted);
  EXPECT_EQ(Shell().progress[3].high, 8);
  // The tile's gains are held at 0.8 toward the dark photograph.
  EXPECT_EQ(PixelAt(mosaic, 99, 59), (Rgb{160, 80, 40}));
}

TEST_F(CreateMosaicTest, RandomPlacementDoublesTheRangeAndDrawsPositionsFirst) {
  Prepare(100, 60);
  EXPECT_EQ(CreateMosaic(source, mosaic, Options(true)), BuildOutcome::kCompleted);
  EXPECT_EQ(Shell().progress[1].high, 16);
  EXPECT_EQ(Shell().progress[1].steps, 16);
  EXPECT_EQ(ProgramRandom().State(), StateAfter(8 + 8 * 3));
}

TEST_F(CreateMosaicTest, AbortInEachPhase) {
  Prepare(100, 60, 3);
  Shell().abortAfterSteps = {1, -1};  // loading keeps the file in hand: two tiles and mirrors
  EXPECT_EQ(CreateMosaic(source, mosaic, Options()), BuildOutcome::kCompleted);
  EXPECT_EQ(Shell().progress[0].steps, 4);

  Shell().abortAfterSteps = {-1, 3};  // the third cell and later stay unpainted
  ResetProgramRandom();
  EXPECT_EQ(CreateMosaic(source, mosaic, Options(true)), BuildOutcome::kAborted);
  EXPECT_EQ(ProgramRandom().State(), StateAfter(2));

  Shell().abortAfterSteps = {-1, 10};  // the placement at which Abort is seen is the last
  ResetProgramRandom();
  EXPECT_EQ(CreateMosaic(source, mosaic, Options(true)), BuildOutcome::kAborted);
  EXPECT_EQ(ProgramRandom().State(), StateAfter(8 + 2 * 3));
}

TEST_F(CreateMosaicTest, WithoutTilesNothingIsPaintedAndTheMessageComesOnce) {
  Prepare(64, 64, 0);
  EXPECT_EQ(CreateMosaic(source, mosaic, Options()), BuildOutcome::kNoTiles);
  EXPECT_EQ(Shell().messages.size(), 1u);
  EXPECT_EQ(Shell().progress.size(), 1u);  // no window for the matching phase
  EXPECT_EQ(PixelAt(mosaic, 5, 5), (Rgb{0, 0, 0}));
  EXPECT_EQ(Shell().waitCursorDepth, 0);
}

TEST_F(CreateMosaicTest, ReturnsToTheImageDirectoryOrWhereItStarted) {
  Prepare(32, 32);
  const std::string imageFolder = program_.Folder("photos");
  Paths().imageDirectory = imageFolder;
  CreateMosaic(source, mosaic, Options());
  EXPECT_EQ(CurrentDirectory(), imageFolder);
  Paths().imageDirectory.clear();
  CreateMosaic(source, mosaic, Options());
  EXPECT_EQ(CurrentDirectory(), imageFolder);
}

TEST_F(CreateMosaicTest, RefusesInputsTheEngineCannotIndex) {
  Prepare(32, 32);
  BuildOptions noStep = Options();
  noStep.accuracyStep = 0;
  EXPECT_THROW(CreateMosaic(source, mosaic, noStep), std::invalid_argument);
  CDrawDibBmp eightBit;  // starts at 8 bits per pixel
  EXPECT_THROW(CreateMosaic(eightBit, mosaic, Options()), std::invalid_argument);
}

}  // namespace
}  // namespace tesselor
