// The build streamed band by band against the build into a bitmap: the lines
// handed over must be the bitmap's, byte for byte, whatever the settings.
#include "engine/stream_mosaic.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "engine/mosaic_passes.h"
#include "platform/random.h"
#include "tests/support/scripted_shell.h"
#include "tests/engine/engine_fixtures.h"

namespace tesselor {
namespace {

// Keeps every line it is handed, in order.
class CollectingSink : public RowSink {
 public:
  explicit CollectingSink(int width) : lineBytes_(size_t(4) * width) {}
  void WriteRows(const uint8_t* const* rows, int count) override {
    for (int k = 0; k < count; ++k) lines.emplace_back(rows[k], rows[k] + lineBytes_);
  }
  std::vector<std::vector<uint8_t>> lines;

 private:
  size_t lineBytes_;
};

TEST(StreamMosaic, HandsOverTheLinesOfTheBuildIntoABitmap) {
  std::mt19937 random(77);
  for (int round = 0; round < 40; ++round) {
    BuildOptions options;
    options.tileSize = kTileSizeChoices[random() % kTileSizeChoices.size()];
    options.accuracyStep = MosaicSettings::AccuracyStepFor(options.tileSize, int(random() % 3));
    options.magnification = 1.0 + (random() % 5) * 0.61;
    options.blendFraction = (random() % 2 == 0 ? int(random() % 101) : 0) * 0.01;
    options.colourAdjust = int(random() % 101);
    options.randomization = int(1 + random() % 30);
    options.randomPlacement = random() % 2 == 0;
    CDrawDibBmp source;
    testing::FillBitmap(source, 5 + int(random() % 120), 5 + int(random() % 120),
                        testing::RandomPicture(random));
    TileSet tiles;
    for (int t = 1 + int(random() % 30); t > 0; --t)
      tiles.Add(testing::MakeTile(options.tileSize, testing::RandomPicture(random)));
    // Some builds are stopped part way, in the grid or among the random
    // tiles, or before the first cell.
    const int abortAt = random() % 3 == 0 ? int(random() % 400) : (round == 1 ? 0 : -1);

    const MosaicSize out = MosaicSizeFor(source, options.magnification);
    CDrawDibBmp mosaic;
    mosaic.Create(out.width, out.height, 32, true);
    ScriptedShell shell;
    shell.abortAfterSteps = {abortAt, abortAt};
    ResetProgramRandom();
    const BuildOutcome painted =
        PaintMosaic(source, mosaic, tiles, options, *shell.CreateProgressWindow());
    const uint32_t stateAfterPainting = ProgramRandom().State();
    ResetProgramRandom();
    CollectingSink sink(out.width);
    EXPECT_EQ(StreamMosaic(source, tiles, options, *shell.CreateProgressWindow(), sink), painted);
    EXPECT_EQ(ProgramRandom().State(), stateAfterPainting);

    if (painted == BuildOutcome::kAbortedBeforePainting) {
      EXPECT_TRUE(sink.lines.empty()) << "round " << round;  // nothing to replace a file with
      continue;
    }
    ASSERT_EQ(sink.lines.size(), size_t(out.height)) << "round " << round;
    for (int y = 0; y < out.height; ++y)
      ASSERT_EQ(
          std::memcmp(sink.lines[size_t(y)].data(), mosaic.lineArray[y], 4 * size_t(out.width)), 0)
          << "round " << round << ", line " << y << ", tile size " << options.tileSize
          << ", random placement " << options.randomPlacement << ", abort at " << abortAt;
  }
}

}  // namespace
}  // namespace tesselor
