// The pruning index against scoring every tile plainly, on tiles and cells
// of nearly even colour: there scores crowd together and sit right at the
// limits the index prunes by.
#include "engine/tile_index.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "tests/engine/engine_fixtures.h"

namespace tesselor {
namespace {

using testing::Rgb;

// An even colour with noise of the given amplitude (0: flat). Two-tone
// noise alternates between the two extremes, as a checkerboard: there the
// spread floor the index prunes by comes within a sample of the score.
testing::ColourAt NearlyEven(Rgb base, int noise, unsigned seed, bool twoTone = false) {
  return [=](int x, int y) {
    const unsigned h = (unsigned(x) * 73856093u) ^ (unsigned(y) * 19349663u) ^ seed;
    const auto value = [&](uint8_t v, unsigned bits) {
      const int offset = twoTone ? ((x + y) % 2 ? noise : -noise)
                                 : (noise ? int(bits % unsigned(2 * noise + 1)) - noise : 0);
      return uint8_t(std::clamp(v + offset, 0, 255));
    };
    return Rgb{value(base.r, h), value(base.g, h >> 8), value(base.b, h >> 16)};
  };
}

Rgb NearBase(std::mt19937& random) {
  static const Rgb bases[] = {{120, 130, 140}, {250, 248, 240}, {20, 12, 30}};
  const Rgb b = bases[random() % 3];
  const auto jitter = [&](uint8_t v) {
    return uint8_t(std::clamp(v + int(random() % 9) - 4, 0, 255));
  };
  return {jitter(b.r), jitter(b.g), jitter(b.b)};
}

TEST(TileIndex, RanksAsScoringEveryTileDoes) {
  std::mt19937 random(21);
  const int noises[] = {0, 1, 3, 10, 40};
  for (int round = 0; round < 18; ++round) {
    const int n = round % 2 ? 16 : 8;
    const int step = MosaicSettings::AccuracyStepFor(n, round % 3);
    const int colourAdjust = (round / 3) % 3 == 0 ? 0 : ((round / 3) % 3 == 1 ? 20 : 100);
    TileSet tiles;
    testing::ColourAt colour;
    for (int t = 0; t < 300; ++t) {
      // Every fourth tile repeats the one before: equal scores at the limit.
      if (t % 4 != 3)
        colour = NearlyEven(NearBase(random), noises[random() % 5], random(), random() % 2);
      tiles.Add(testing::MakeTile(n, colour));
    }
    CDrawDibBmp source;
    const int cellNoise = round % 2 ? 0 : int(random() % 4);
    testing::FillBitmap(source, n, n, NearlyEven(NearBase(random), cellNoise, random()));
    CellBuffer cell;
    FillCellBuffer(source, n, 0, 0, n, cell);

    std::vector<std::pair<double, int>> plain;
    for (int t = 0; t < tiles.Count(); ++t) {
      const TileBuffer& tile = tiles[t];
      const ColourGains gains = GainsFor(cell, tile, colourAdjust);
      int averageDifference = 0, sum = 0, samples = 0;
      for (int c = 0; c < kChannels; ++c) {
        averageDifference += std::abs(cell.average[c] - tile.Average(c));
        for (int u = 0; u < n; u += step)
          for (int v = 0; v < n; v += step, ++samples)
            sum += std::abs(AdjustedValue(tile.Value(c, u, v), gains.channel[c]) -
                            cell.Value(c, u, v));
      }
      plain.push_back({averageDifference + double(sum) / (samples / kChannels), t});
    }
    std::sort(plain.begin(), plain.end());

    const TileIndex index(tiles, step);
    const std::vector<Candidate> best = index.RankDeep(cell, colourAdjust, 12);
    const CandidateList list = index.Rank(cell, colourAdjust, 6);
    // Seeds as another cell would hand on, some good, one twice, change
    // nothing but come back as the best six.
    std::vector<int> seeds{plain[3].second, int(random() % 300), plain[40].second, plain[3].second,
                           plain[0].second};
    const CandidateList seeded = index.Rank(cell, colourAdjust, 6, &seeds);
    ASSERT_EQ(best.size(), 12u);
    ASSERT_EQ(seeds.size(), 6u);
    for (size_t k = 0; k < best.size(); ++k) {
      EXPECT_EQ(best[k].tile, plain[k].second) << "round " << round << ", place " << k;
      EXPECT_EQ(best[k].score, plain[k].first) << "round " << round << ", place " << k;
      if (k < 6) {
        EXPECT_EQ(list.Slot(int(k)).tile, plain[k].second) << "round " << round;
        EXPECT_EQ(seeded.Slot(int(k)).tile, plain[k].second) << "round " << round;
        EXPECT_EQ(seeds[k], plain[k].second) << "round " << round;
      }
    }
  }
}

}  // namespace
}  // namespace tesselor
