// The variety rules and the Lab metric, checked on the record of what was
// placed: no photo twice within the minimum distance, none above the
// repetition limit, never an empty cell, and the same mosaic on any number
// of threads.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <map>
#include <numeric>
#include <random>

#include "engine/lab_colour.h"
#include "engine/lightness_floor.h"
#include "engine/mosaic_passes.h"
#include "engine/tile_index.h"
#include "engine/tile_use_record.h"
#include "engine/variety_rules.h"
#include "platform/random.h"
#include "tests/engine/engine_fixtures.h"

namespace tesselor {
namespace {

using testing::FillBitmap;
using testing::Rgb;

// Photos of a few similar colours, each followed by its mirror copy, as a
// library loads with mirroring on.
void MakeLibrary(std::mt19937& random, int tileSize, int photos, TileSet& tiles) {
  for (int photo = 0; photo < photos; ++photo) {
    const testing::ColourAt colour = testing::RandomPicture(random);
    const std::string name = "photo-" + std::to_string(photo) + ".jpg";
    tiles.Add(testing::MakeTile(tileSize, colour), {photo, false, name});
    tiles.Add(
        testing::MakeTile(tileSize, [&](int x, int y) { return colour(tileSize - 1 - x, y); }),
        {photo, true, name});
  }
}

struct Build {
  CDrawDibBmp source, mosaic;
  TileSet tiles;
  BuildOptions options;
  TileUseRecord record;

  Build(int photos, int width, int height, unsigned seed) {
    std::mt19937 random(seed);
    options.tileSize = 8;
    options.accuracyStep = 2;
    MakeLibrary(random, 8, photos, tiles);
    // An even area is where equal tiles crowd together.
    FillBitmap(source, width, height, [](int x, int) {
      return Rgb{uint8_t(120 + x / 40), 140, 160};
    });
  }

  void Run(int threads = WorkerThreadCount()) {
    FillBitmap(mosaic, int(source.width * options.magnification),
               int(source.height * options.magnification), testing::Flat({0, 0, 0}));
    ResetProgramRandom();
    SilentProgressWindow progress;
    PaintMosaic(source, mosaic, tiles, options, progress, &record, threads);
  }

  int VisibleCells() const {
    const int n = options.tileSize;
    return ((mosaic.width + n - 1) / n) * ((mosaic.height + n - 1) / n);
  }
};

// The closest two placements of one photo come, in cells.
int ClosestRepeat(const TileUseRecord& record, int tileSize) {
  int closest = 1 << 30;
  const auto& rows = record.Rows();
  for (size_t a = 0; a < rows.size(); ++a)
    for (size_t b = a + 1; b < rows.size(); ++b)
      if (rows[a].photo == rows[b].photo)
        closest =
            std::min(closest, std::max(std::abs(rows[a].x / tileSize - rows[b].x / tileSize),
                                       std::abs(rows[a].y / tileSize - rows[b].y / tileSize)));
  return closest;
}

std::map<int, int> UsesByPhoto(const TileUseRecord& record) {
  std::map<int, int> uses;
  for (const auto& row : record.Rows()) ++uses[row.photo];
  return uses;
}

TEST(VarietyRules, NoPhotoRepeatsWithinTheMinimumDistance) {
  for (const bool scatter : {false, true}) {
    Build build(60, 120, 80, 3);
    build.options.variety.minDistance = 3;
    build.options.randomization = 10;
    build.options.randomPlacement = scatter;
    build.Run();
    EXPECT_GT(ClosestRepeat(build.record, 8), 3) << "random placement " << scatter;
    EXPECT_EQ(build.record.RulesBroken(), 0);
    // Every grid cell inside the mosaic holds a tile, whatever the rules.
    EXPECT_GE(int(build.record.Rows().size()), build.VisibleCells());
  }
}

TEST(VarietyRules, NoPhotoIsPlacedMoreOftenThanTheLimit) {
  Build build(40, 96, 64, 4);  // 12 x 8 cells: 96 placements over 40 photos
  build.options.variety.maxUses = 3;
  build.Run();
  for (const auto& [photo, uses] : UsesByPhoto(build.record)) EXPECT_LE(uses, 3) << photo;
  EXPECT_EQ(int(build.record.Rows().size()), build.VisibleCells());
  EXPECT_EQ(build.record.RulesBroken(), 0);
}

// Five photos cannot fill 40 cells at most twice each: the 30 cells beyond
// the limit still get a tile, each the least used photo, and are counted.
TEST(VarietyRules, ASmallLibraryBreaksTheRulesLeastAndSaysHowOften) {
  Build build(5, 64, 40, 5);  // 8 x 5 cells
  build.options.variety.maxUses = 2;
  build.Run();
  EXPECT_EQ(int(build.record.Rows().size()), 40);
  EXPECT_EQ(build.record.RulesBroken(), 30);
  for (const auto& [photo, uses] : UsesByPhoto(build.record)) EXPECT_EQ(uses, 8) << photo;

  // Under the distance rule the photo used farthest away is taken instead.
  Build near(5, 64, 40, 5);
  near.options.variety.minDistance = 2;
  near.Run();
  EXPECT_EQ(int(near.record.Rows().size()), 40);
  EXPECT_GT(near.record.RulesBroken(), 0);
  EXPECT_GE(ClosestRepeat(near.record, 8), 2);
}

TEST(VarietyRules, OneThreadAndManyGiveTheSameMosaic) {
  for (const ColourMetric metric : {ColourMetric::kRgb, ColourMetric::kLab}) {
    Build one(30, 150, 90, 6), many(30, 150, 90, 6);
    for (Build* build : {&one, &many}) {
      build->options.variety = {4, 6, metric};
      build->options.randomization = 20;
      build->options.randomPlacement = true;
    }
    one.Run(1);
    many.Run(4);
    ASSERT_EQ(std::memcmp(one.mosaic.bits, many.mosaic.bits,
                          size_t(one.mosaic.LineLength()) * size_t(one.mosaic.height)),
              0);
    EXPECT_EQ(one.record.Csv(), many.record.Csv());
  }
}

// Replayed one placement at a time, every choice under the rules is the best
// tile they allow there, whatever the workers ranking ahead already knew.
TEST(VarietyRules, EachChoiceIsTheBestTileTheRulesAllow) {
  Build build(40, 160, 96, 9);
  build.options.variety.minDistance = 3;
  build.options.variety.maxUses = 4;
  build.options.randomization = 0;  // always the best allowed tile
  build.Run();
  const MosaicGrid grid = GridFor(160, 96, 8);
  VarietyRules rules(build.options.variety, build.tiles, grid.columns, grid.rows);
  const TileIndex index(build.tiles, build.options.accuracyStep);
  int checked = 0;
  for (const auto& row : build.record.Rows()) {
    rules.Prepare(row.x / 8, row.y / 8);
    CellBuffer cell;
    FillCellBuffer(build.source, build.mosaic.height, row.x, row.y, 8, cell);
    const std::vector<uint8_t> refused = rules.Exclusions();
    const std::vector<Candidate> best =
        index.RankDeep(cell, build.options.colourAdjust, 1, &refused);
    const int tile = 2 * row.photo + (row.mirrored ? 1 : 0);  // as MakeLibrary adds them
    if (!best.empty()) {
      EXPECT_EQ(tile, best[0].tile) << "cell at " << row.x << ", " << row.y;
      ++checked;
    }
    rules.Place(tile, row.x / 8, row.y / 8);
  }
  // The cells no allowed tile was left for are the ones counted as broken.
  EXPECT_EQ(checked, int(build.record.Rows().size()) - build.record.RulesBroken());
  EXPECT_GT(checked, 100);
}

TEST(LabColour, MatchesTheStandardValues) {
  struct Case {
    Rgb rgb;
    float l, a, b;
  };
  const Case cases[] = {{{255, 255, 255}, 100.0f, 0.0f, 0.0f},
                        {{0, 0, 0}, 0.0f, 0.0f, 0.0f},
                        {{255, 0, 0}, 53.24f, 80.09f, 67.20f},
                        {{0, 0, 255}, 32.30f, 79.19f, -107.86f},
                        {{3, 3, 3}, 0.82f, 0.0f, 0.0f}};  // the linear part near black
  for (const Case& c : cases) {
    const LabColour lab = LabFromRgb(c.rgb.r, c.rgb.g, c.rgb.b);
    EXPECT_NEAR(lab.l, c.l, 0.02) << int(c.rgb.r) << "," << int(c.rgb.g) << "," << int(c.rgb.b);
    EXPECT_NEAR(lab.a, c.a, 0.02);
    EXPECT_NEAR(lab.b, c.b, 0.02);
  }
}

// Scoring converts samples a batch at a time; every lane must hold the bits
// LabFromRgb gives, or pruned and plain rankings could part on a near tie.
TEST(LabColour, BatchesGiveTheBitsOfOneColourAtATime) {
  std::mt19937 random(3);
  for (int round = 0; round < 20000; ++round) {
    uint8_t red[kLabBatch], green[kLabBatch], blue[kLabBatch];
    for (int i = 0; i < kLabBatch; ++i) {
      // Every other round near black, where the companding turns linear.
      const unsigned most = round % 2 ? 256 : 12;
      red[i] = uint8_t(random() % most);
      green[i] = uint8_t(random() % most);
      blue[i] = uint8_t(random() % most);
    }
    LabBatch batch;
    LabFromRgbBatch(red, green, blue, batch);
    for (int i = 0; i < kLabBatch; ++i) {
      const LabColour one = LabFromRgb(red[i], green[i], blue[i]);
      ASSERT_EQ(std::memcmp(&one.l, &batch.l[size_t(i)], sizeof(float)), 0) << int(red[i]);
      ASSERT_EQ(std::memcmp(&one.a, &batch.a[size_t(i)], sizeof(float)), 0) << int(green[i]);
      ASSERT_EQ(std::memcmp(&one.b, &batch.b[size_t(i)], sizeof(float)), 0) << int(blue[i]);
    }
    // The lightness gaps to the batch before, over a full batch and short ones.
    static LabBatch before;
    const int count = 1 + round % kLabBatch;
    double gaps = 0;
    for (int i = 0; i < count; ++i) gaps += std::abs(batch.l[size_t(i)] - before.l[size_t(i)]);
    ASSERT_NEAR(LightnessGapSum(batch, before, count), gaps, 1e-6 * gaps + 1e-30) << count;
    // Scoring adjusts the tile samples by their gains on the way in; some
    // of these gains push values past 255.
    ColourGains gains;
    for (double& gain : gains.channel) gain = 0.8 + 0.4 * (random() % 1000) / 999.0;
    LabBatchStart start;
    LabBatch adjusted;
    const float adjustedGaps =
        StartAdjustedLabBatch(red, green, blue, gains, before, count, start, adjusted);
    FinishLabBatch(start, adjusted);
    double expectedGaps = 0;
    for (int i = 0; i < kLabBatch; ++i) {
      const LabColour one = LabFromRgb(uint8_t(AdjustedValue(red[i], gains.channel[0])),
                                       uint8_t(AdjustedValue(green[i], gains.channel[1])),
                                       uint8_t(AdjustedValue(blue[i], gains.channel[2])));
      ASSERT_EQ(std::memcmp(&one.l, &adjusted.l[size_t(i)], sizeof(float)), 0) << int(red[i]);
      ASSERT_EQ(std::memcmp(&one.a, &adjusted.a[size_t(i)], sizeof(float)), 0) << int(green[i]);
      ASSERT_EQ(std::memcmp(&one.b, &adjusted.b[size_t(i)], sizeof(float)), 0) << int(blue[i]);
      if (i < count) expectedGaps += std::abs(one.l - before.l[size_t(i)]);
    }
    ASSERT_NEAR(adjustedGaps, expectedGaps, 1e-6 * expectedGaps + 1e-30) << count;
    before = batch;
  }
}

// Floor samples of one tile: red, green and blue bytes, near black, near
// white and anywhere by turns, with their lightness plus 16 as the floors
// take it, as they are and with two taken off each byte.
struct FloorSamples {
  std::array<std::array<uint8_t, kGapFloorSamples>, 3> values;
  std::array<float, kGapFloorSamples + kLabBatch> light{};
  std::array<float, kGapFloorSamples + kLabBatch> lightLessTwo{};
};

FloorSamples RandomFloorSamples(std::mt19937& random) {
  FloorSamples samples;
  std::array<std::array<uint8_t, kGapFloorSamples>, 3> lessTwo;
  for (size_t c = 0; c < 3; ++c)
    for (size_t i = 0; i < kGapFloorSamples; ++i) {
      const unsigned kind = random() % 3;
      samples.values[c][i] = uint8_t(kind == 0   ? random() % 12
                                     : kind == 1 ? 244 + random() % 12
                                                 : random());
      lessTwo[c][i] = uint8_t(std::max(samples.values[c][i] - 2, 0));
    }
  for (size_t first = 0; first < kGapFloorSamples; first += kLabBatch) {
    const auto& v = samples.values;
    LabBatch lab;
    LabFromRgbBatch(&v[0][first], &v[1][first], &v[2][first], lab);
    LabBatch labLessTwo;
    LabFromRgbBatch(&lessTwo[0][first], &lessTwo[1][first], &lessTwo[2][first], labLessTwo);
    for (size_t i = 0; i < kLabBatch; ++i) {
      samples.light[first + i] = lab.l[i] + 16.0f;
      samples.lightLessTwo[first + i] = labLessTwo.l[i] + 16.0f;
    }
  }
  return samples;
}

// The summed lightness gaps of the first count samples under gains from
// cell (lightness plus 16), as scoring finds them.
double AdjustedGaps(const FloorSamples& samples, const ColourGains& gains, const float* cell,
                    int count) {
  double gaps = 0;
  const auto& v = samples.values;
  for (size_t i = 0; i < size_t(count); ++i) {
    const LabColour adjusted = LabFromRgb(uint8_t(AdjustedValue(v[0][i], gains.channel[0])),
                                          uint8_t(AdjustedValue(v[1][i], gains.channel[1])),
                                          uint8_t(AdjustedValue(v[2][i], gains.channel[2])));
    gaps += std::abs(adjusted.l + 16.0f - cell[i]);
  }
  return gaps;
}

// Scoring rules tiles out on this floor before it converts a sample; it must
// never rise above the gaps the conversion would find, at any gain a colour
// adjustment can give, and at gain 1 it must be the gaps themselves.
TEST(LabColour, GapFloorStaysUnderTheLightnessGaps) {
  std::mt19937 random(5);
  for (int round = 0; round < 20000; ++round) {
    const FloorSamples tile = RandomFloorSamples(random);
    // Gains of 1, of a half, one gain for all three channels (where the
    // floor is tightest), and any.
    ColourGains gains;
    const bool plain = round % 10 == 0;
    const double shared = 0.3 + 1.7 * (random() % 1000) / 999.0;
    for (double& gain : gains.channel)
      gain = plain             ? 1.0
             : round % 10 == 1 ? 0.5
             : round % 10 < 5  ? shared
                               : 0.3 + 1.7 * (random() % 1000) / 999.0;
    std::array<float, kGapFloorSamples + kLabBatch> cell{};
    const int count = 1 + round % kGapFloorSamples;
    for (size_t i = 0; i < size_t(count); ++i)
      // Cells near the tile's lightness as well as far from it.
      cell[i] =
          round % 3 ? tile.light[i] + float(int(random() % 21) - 10) : float(random() % 101 + 16);
    const double gaps = AdjustedGaps(tile, gains, cell.data(), count);
    const float floor =
        LightnessGapFloor(tile.light.data(), tile.lightLessTwo.data(), gains, cell.data(), count);
    ASSERT_LE(floor, gaps) << "round " << round;
    if (plain) {
      ASSERT_NEAR(floor, gaps, 1.1e-3 * count) << "round " << round;
    }
  }
}

// The walk's screen turns tiles away sixteen at a time by the same floor,
// with gains it works out itself from the averages. Against limits that
// leave each tile about as much room as its gaps take, it must turn away
// only tiles the gaps would, yet turn away most of those.
TEST(LabColour, FloorScreenTurnsAwayOnlyWhatTheGapsWould) {
  if (!LightnessFloorScreens(1.0f)) GTEST_SKIP() << "the screen needs AVX2";
  std::mt19937 random(6);
  constexpr size_t kTiles = kFloorScreenTiles;
  constexpr size_t kStride = kTiles;
  int over = 0;
  int turnedAway = 0;
  for (int round = 0; round < 3000; ++round) {
    const int colourAdjust = std::array{0, 20, 45, 100}[size_t(round) % 4];
    const int count = 1 + round % kGapFloorSamples;
    const int samples = count + int(random() % 3) * count;
    std::array<int, kChannels> cellAverage;
    for (int& average : cellAverage) average = round % 7 == 0 ? 0 : int(random() % 256);
    std::array<float, kGapFloorSamples> cellLight{};
    std::vector<float> planes(kFloorScreenPlanes * kStride);
    std::array<double, kTiles> gaps;
    std::array<float, kTiles> distances;
    for (size_t t = 0; t < kTiles; ++t) {
      const FloorSamples tile = RandomFloorSamples(random);
      std::array<uint8_t, kChannels> average;
      for (size_t c = 0; c < kChannels; ++c) {
        // Near the cell's, where gains stay inside the clamp, or anywhere.
        const int near = cellAverage[c] + int(random() % 41) - 20;
        average[c] = uint8_t(t % 4 ? std::clamp(near, 0, 255) : int(random() % 256));
        planes[(kInverseAveragePlanes + c) * kStride + t] =
            average[c] > 0 ? 1.0f / average[c] : kZeroInverse;
      }
      for (size_t i = 0; i < kGapFloorSamples; ++i) {
        planes[i * kStride + t] = tile.light[i];
        planes[(kLessTwoPlanes + i) * kStride + t] = tile.lightLessTwo[i];
      }
      if (t == 0)
        for (size_t i = 0; i < size_t(count); ++i)
          cellLight[i] = tile.light[i] + float(int(random() % 31) - 15);
      gaps[t] =
          AdjustedGaps(tile, GainsFor(cellAverage, average, colourAdjust), cellLight.data(), count);
      distances[t] = float(random() % 1000) / 200.0f;
    }
    // Room for one tile's gaps within a percent, and the rest by chance.
    const size_t pivot = random() % kTiles;
    const double limit =
        distances[pivot] + gaps[pivot] / samples * (0.99 + 0.02 * (random() % 1000) / 999.0);
    FloorScreenCell cell;
    cell.lightness = cellLight.data();
    for (size_t c = 0; c < kChannels; ++c) cell.average[c] = float(cellAverage[c]);
    cell.leastGain = FloatNotAbove(GainRangeFor(colourAdjust).least);
    cell.mostGain = FloatNotBelow(GainRangeFor(colourAdjust).most);
    cell.floorSamples = count;
    cell.samples = samples;
    const uint32_t kept =
        WithinLightnessFloor({planes.data(), kStride}, cell, distances.data(), 0xFFFFu,
                             FloatNotBelow(limit));
    for (size_t t = 0; t < kTiles; ++t) {
      // What scoring the tile by itself would turn away.
      const bool gapsOver = gaps[t] * (1 - 1e-6) > (limit - distances[t]) * samples + 1e-6;
      over += gapsOver;
      if (kept >> t & 1) continue;
      ++turnedAway;
      ASSERT_TRUE(gapsOver) << "round " << round << " tile " << t;
    }
  }
  EXPECT_GT(turnedAway, over / 2);
}

// The Lab index skips tiles by lightness; scoring every tile plainly must
// give the same best tiles in the same order.
TEST(LabMetric, PruningKeepsTheBestTiles) {
  std::mt19937 random(8);
  for (int round = 0; round < 12; ++round) {
    const int n = kTileSizeChoices[size_t(round) % kTileSizeChoices.size()];
    const int step = MosaicSettings::AccuracyStepFor(n, round % 3);
    // 100 gives gains from 0 to 2, past where the lightness floor bounds
    // anything from below.
    const int colourAdjust = std::array{0, 45, 20, 100}[size_t(round) % 4];
    TileSet tiles;
    MakeLibrary(random, n, 150, tiles);
    CDrawDibBmp source;
    // Every third cell dark, so that the darkest tiles, first in the index's
    // order, are among the best.
    const testing::ColourAt picture = testing::RandomPicture(random);
    const int dim = round % 3 == 0 ? 6 : 1;
    FillBitmap(source, n, n, [&](int x, int y) {
      const Rgb rgb = picture(x, y);
      return Rgb{uint8_t(rgb.r / dim), uint8_t(rgb.g / dim), uint8_t(rgb.b / dim)};
    });
    CellBuffer cell;
    FillCellBuffer(source, n, 0, 0, n, cell);

    std::vector<std::pair<double, int>> plain;
    for (int t = 0; t < tiles.Count(); ++t) {
      const TileBuffer& tile = tiles[t];
      const ColourGains gains = GainsFor(cell, tile, colourAdjust);
      double sum = 0;
      int samples = 0;
      for (int u = 0; u < n; u += step)
        for (int v = 0; v < n; v += step, ++samples) {
          const auto adjusted = [&](int c) {
            return uint8_t(AdjustedValue(tile.Value(c, u, v), gains.channel[c]));
          };
          sum += DeltaE(LabFromRgb(adjusted(0), adjusted(1), adjusted(2)),
                        LabFromRgb(cell.Value(0, u, v), cell.Value(1, u, v), cell.Value(2, u, v)));
        }
      const LabColour tileAverage = LabFromRgb(tile.Average(0), tile.Average(1), tile.Average(2));
      const LabColour cellAverage =
          LabFromRgb(uint8_t(cell.average[0]), uint8_t(cell.average[1]), uint8_t(cell.average[2]));
      plain.push_back({double(DeltaE(cellAverage, tileAverage)) + sum / samples, t});
    }
    std::sort(plain.begin(), plain.end());

    const TileIndex index(tiles, step, ColourMetric::kLab);
    const std::vector<Candidate> best = index.RankDeep(cell, colourAdjust, 10);
    ASSERT_EQ(best.size(), 10u);
    for (size_t k = 0; k < best.size(); ++k) {
      EXPECT_EQ(best[k].tile, plain[k].second) << "round " << round << ", place " << k;
      EXPECT_NEAR(best[k].score, plain[k].first, 1e-4);
    }
    // Seeds are scored before the walk, the darkest tiles among them: the
    // same list, to the bit.
    std::vector<int> seeds(size_t(tiles.Count()));
    std::iota(seeds.begin(), seeds.end(), 0);
    std::sort(seeds.begin(), seeds.end(), [&](int a, int b) {
      return LabFromRgb(tiles[a].Average(0), tiles[a].Average(1), tiles[a].Average(2)).l <
             LabFromRgb(tiles[b].Average(0), tiles[b].Average(1), tiles[b].Average(2)).l;
    });
    seeds.resize(5);
    seeds.push_back(plain[0].second);
    const std::vector<Candidate> seeded = index.RankDeep(cell, colourAdjust, 10, nullptr, &seeds);
    ASSERT_EQ(seeded.size(), 10u);
    for (size_t k = 0; k < best.size(); ++k) {
      EXPECT_EQ(seeded[k].tile, best[k].tile) << "round " << round << ", place " << k;
      EXPECT_EQ(seeded[k].score, best[k].score) << "round " << round << ", place " << k;
    }
  }
}

}  // namespace
}  // namespace tesselor
