// The parallel, pruning engine against the plain model on libraries large
// enough that most tiles are skipped, and its behaviour around Abort.
#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "engine/mosaic_passes.h"
#include "platform/random.h"
#include "tests/support/scripted_shell.h"
#include "tests/engine/engine_fixtures.h"
#include "tests/engine/reference_engine.h"

namespace tesselor {
namespace {

using testing::FillBitmap;
using testing::Rgb;

// A library whose tiles crowd around a few colours, with exact repeats and
// mirror images, the way a real library of similar photographs looks.
void MakeLibrary(std::mt19937& random, int tileSize, int files, TileSet& tiles) {
  for (int f = 0; f < files && !tiles.IsFull(); ++f) {
    // Exact repeats tie; near repeats (one value one step off) score within
    // a fraction of each other, which is where a careless bound goes wrong.
    if (f > 0 && random() % 3 == 0) {
      const TileBuffer& previous = tiles[tiles.Count() - 1];
      auto copy = std::make_unique<TileBuffer>(tileSize);
      std::memcpy(copy->Plane(0), previous.Block(), size_t(previous.BlockBytes()));
      uint8_t& value = copy->Plane(int(random() % 3))[random() % unsigned(tileSize * tileSize)];
      if (random() % 2) value = uint8_t(value < 255 ? value + 1 : value - 1);
      tiles.Add(std::move(copy));
      continue;
    }
    const int hue = int(random() % 4) * 60;
    const unsigned seed = random();
    const auto colour = [hue, seed](int x, int y) {
      const unsigned h = (unsigned(x) * 2654435761u) ^ (unsigned(y) * 40503u) ^ seed;
      return Rgb{uint8_t(hue + (h & 63)), uint8_t(80 + ((h >> 6) & 63)),
                 uint8_t((x * 9 + y) & 255)};
    };
    tiles.Add(testing::MakeTile(tileSize, colour));
    tiles.Add(
        testing::MakeTile(tileSize, [&](int x, int y) { return colour(tileSize - 1 - x, y); }));
  }
}

void ExpectSameMosaic(const CBmp& a, const CBmp& b, const std::string& what) {
  ASSERT_EQ(a.width, b.width);
  ASSERT_EQ(a.height, b.height);
  ASSERT_EQ(std::memcmp(a.bits, b.bits, size_t(a.LineLength()) * size_t(a.height)), 0) << what;
}

TEST(FastEngine, AgreesWithThePlainModelOnLargeLibraries) {
  std::mt19937 random(977);
  const int randomizations[] = {1, 5, 20, 30};
  const int colourAdjusts[] = {0, 45, 100};
  int round = 0;
  for (int tileSize : kTileSizeChoices) {
    for (int accuracy = 0; accuracy < 3; ++accuracy, ++round) {
      BuildOptions options;
      options.tileSize = tileSize;
      options.accuracyStep = MosaicSettings::AccuracyStepFor(tileSize, accuracy);
      options.randomization = randomizations[round % 4];
      options.colourAdjust = colourAdjusts[round % 3];
      options.magnification = round % 2 ? 2.5 : 1.0;
      options.blendFraction = round % 5 == 0 ? 0.29 : 0.0;
      options.randomPlacement = round % 4 == 1;
      TileSet tiles;
      MakeLibrary(random, tileSize, 40 + int(random() % 160), tiles);
      CDrawDibBmp source;
      FillBitmap(source, 40 + int(random() % 100), 30 + int(random() % 80),
                 testing::RandomPicture(random));
      const int width = int(source.width * options.magnification);
      const int height = int(source.height * options.magnification);
      CDrawDibBmp engine, model;
      FillBitmap(engine, width, height, testing::Flat({9, 9, 9}));
      FillBitmap(model, width, height, testing::Flat({9, 9, 9}));

      ResetProgramRandom();
      SilentProgressWindow progress;
      PaintMosaic(source, engine, tiles, options, progress);
      reference::Build(source, model, tiles, options);
      ExpectSameMosaic(engine, model,
                       "tile size " + std::to_string(tileSize) + ", step " +
                           std::to_string(options.accuracyStep) + ", " +
                           std::to_string(tiles.Count()) + " tiles");
    }
  }
}

TEST(FastEngine, FewerTilesThanTheRandomizationStillMatch) {
  std::mt19937 random(5);
  for (int count : {1, 2, 3, 7}) {
    BuildOptions options;
    options.tileSize = 12;
    options.accuracyStep = 2;
    options.randomization = 30;
    options.colourAdjust = 45;
    TileSet tiles;
    for (int t = 0; t < count; ++t)
      tiles.Add(testing::MakeTile(12, testing::RandomPicture(random)));
    CDrawDibBmp source, engine, model;
    FillBitmap(source, 61, 47, testing::RandomPicture(random));
    FillBitmap(engine, 61, 47, testing::Flat({0, 0, 0}));
    FillBitmap(model, 61, 47, testing::Flat({0, 0, 0}));
    ResetProgramRandom();
    SilentProgressWindow progress;
    PaintMosaic(source, engine, tiles, options, progress);
    reference::Build(source, model, tiles, options);
    ExpectSameMosaic(engine, model, std::to_string(count) + " tiles");
  }
}

struct AbortFixture {
  CDrawDibBmp source, full, aborted;
  TileSet tiles;
  BuildOptions options;

  AbortFixture() {
    std::mt19937 random(31);
    options.tileSize = 16;
    options.accuracyStep = 4;
    MakeLibrary(random, 16, 60, tiles);
    FillBitmap(source, 100, 60, testing::RandomPicture(random));
    FillBitmap(full, 100, 60, testing::Flat({7, 7, 7}));
    FillBitmap(aborted, 100, 60, testing::Flat({7, 7, 7}));
  }
};

// The grid is 7 x 4 cells here; with Abort seen at the 10th step, nine cells
// are painted exactly as in a whole build, the rest stay as they were, and
// the generator has made nine draws.
TEST(FastEngine, AbortKeepsTheCellsBeforeItAndTheirDraws) {
  AbortFixture f;
  ScriptedShell shell;
  shell.abortAfterSteps = {-1, 10};
  ResetProgramRandom();
  auto window = shell.CreateProgressWindow();
  PaintMosaic(f.source, f.full, f.tiles, f.options, *window);
  ResetProgramRandom();
  auto abortingWindow = shell.CreateProgressWindow();
  EXPECT_EQ(PaintMosaic(f.source, f.aborted, f.tiles, f.options, *abortingWindow),
            BuildOutcome::kAborted);

  RandomGenerator expected;
  for (int k = 0; k < 9; ++k) expected.Next();
  EXPECT_EQ(ProgramRandom().State(), expected.State());
  for (int cell = 0; cell < 7 * 4; ++cell) {
    const int x0 = cell / 4 * 16, y0 = cell % 4 * 16;
    for (int y = y0; y < std::min(y0 + 16, 60); ++y)
      for (int x = x0; x < std::min(x0 + 16, 100); ++x) {
        const Rgb expectedPixel = cell < 9 ? testing::PixelAt(f.full, x, y) : Rgb{7, 7, 7};
        ASSERT_EQ(testing::PixelAt(f.aborted, x, y), expectedPixel) << "cell " << cell;
      }
  }
}

TEST(FastEngine, ASecondBuildGoesOnWithTheSequence) {
  AbortFixture f;
  ResetProgramRandom();
  SilentProgressWindow progress;
  PaintMosaic(f.source, f.full, f.tiles, f.options, progress);
  RandomGenerator expected;
  for (int k = 0; k < 7 * 4; ++k) expected.Next();
  EXPECT_EQ(ProgramRandom().State(), expected.State());

  f.options.randomPlacement = true;
  PaintMosaic(f.source, f.aborted, f.tiles, f.options, progress);
  for (int k = 0; k < 7 * 4 + 3 * 7 * 4; ++k) expected.Next();
  EXPECT_EQ(ProgramRandom().State(), expected.State());
}

}  // namespace
}  // namespace tesselor
