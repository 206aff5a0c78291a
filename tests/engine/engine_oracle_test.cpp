// The engine against the plain model of reference_engine.h on many random
// photographs, tile sets and settings: the mosaics must agree to the byte.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>

#include "engine/mosaic_passes.h"
#include "platform/random.h"
#include "tests/engine/engine_fixtures.h"
#include "tests/engine/reference_engine.h"

namespace tesselor {
namespace {

using testing::FillBitmap;
using testing::Rgb;

struct Trial {
  CDrawDibBmp source;
  TileSet tiles;
  BuildOptions options;
};

void MakeTrial(std::mt19937& random, Trial& trial) {
  BuildOptions& options = trial.options;
  options.tileSize = kTileSizeChoices[random() % kTileSizeChoices.size()];
  options.accuracyStep = MosaicSettings::AccuracyStepFor(options.tileSize, int(random() % 3));
  options.magnification = 1.0 + (random() % 4) * 0.37;
  options.blendFraction = (random() % 3 == 0 ? int(random() % 101) : 0) * 0.01;
  options.colourAdjust = int(random() % 101);
  const int randomizations[] = {1, 5, 10, 20, 30, 49};
  options.randomization = randomizations[random() % 6];
  options.randomPlacement = random() % 2 == 0;

  // Some trials pit a black photograph against bright tiles without colour
  // adjustment, so that no tile scores well enough to be listed.
  const bool mismatch = random() % 6 == 0;
  if (mismatch) options.colourAdjust = 0;
  FillBitmap(trial.source, 8 + int(random() % 90), 8 + int(random() % 70),
             mismatch ? testing::Flat({0, 0, 0}) : testing::RandomPicture(random));
  const int count = 1 + int(random() % 40);
  for (int t = 0; t < count; ++t) {
    // Repeats of the previous tile give equal scores, which table order settles.
    if (t > 0 && random() % 5 == 0) {
      const TileBuffer& previous = trial.tiles[t - 1];
      auto copy = std::make_unique<TileBuffer>(options.tileSize);
      std::memcpy(copy->Plane(0), previous.Block(), size_t(previous.BlockBytes()));
      trial.tiles.Add(std::move(copy));
    } else {
      const Rgb bright{uint8_t(200 + random() % 56), uint8_t(200 + random() % 56), 250};
      trial.tiles.Add(testing::MakeTile(
          options.tileSize, mismatch ? testing::Flat(bright) : testing::RandomPicture(random)));
    }
  }
}

TEST(EngineOracle, AgreesWithThePlainModelOnRandomBuilds) {
  std::mt19937 random(20240611);
  for (int round = 0; round < 60; ++round) {
    Trial trial;
    MakeTrial(random, trial);
    const int width = int(trial.source.width * trial.options.magnification);
    const int height = int(trial.source.height * trial.options.magnification);
    CDrawDibBmp model;
    FillBitmap(model, width, height, testing::Flat({1, 2, 3}));
    reference::Build(trial.source, model, trial.tiles, trial.options);

    // Cells are ranked ahead on worker threads; how many must not matter.
    for (const int threads : {1, std::max(2, WorkerThreadCount())}) {
      CDrawDibBmp engine;
      FillBitmap(engine, width, height, testing::Flat({1, 2, 3}));
      ResetProgramRandom();
      SilentProgressWindow progress;
      PaintMosaic(trial.source, engine, trial.tiles, trial.options, progress, nullptr, threads);

      const size_t bytes = size_t(engine.LineLength()) * size_t(height);
      ASSERT_EQ(std::memcmp(engine.bits, model.bits, bytes), 0)
          << "round " << round << ", " << threads << " threads: tile size "
          << trial.options.tileSize << ", step " << trial.options.accuracyStep << ", magnification "
          << trial.options.magnification << ", " << trial.tiles.Count() << " tiles";
    }
  }
}

}  // namespace
}  // namespace tesselor
