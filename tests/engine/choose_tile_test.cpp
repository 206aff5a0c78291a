#include "engine/choose_tile.h"

#include <gtest/gtest.h>

#include "platform/random.h"
#include "tests/engine/engine_fixtures.h"

namespace tesselor {
namespace {

using testing::FillBitmap;
using testing::Flat;
using testing::FlatTile;
using testing::Rgb;

CellBuffer FlatCell(int n, Rgb colour) {
  CDrawDibBmp source;
  FillBitmap(source, n, n, Flat(colour));
  CellBuffer cell;
  FillCellBuffer(source, n, 0, 0, n, cell);
  return cell;
}

TEST(ColourGains, FollowTheCellWithinTheAdjustment) {
  const CellBuffer cell = FlatCell(8, {200, 50, 0});
  const ColourGains held = GainsFor(cell, *FlatTile(8, {100, 100, 100}), 20);
  EXPECT_DOUBLE_EQ(held.channel[kRed], 1.2);
  EXPECT_DOUBLE_EQ(held.channel[kGreen], 0.8);
  EXPECT_DOUBLE_EQ(held.channel[kBlue], 0.8);

  const ColourGains free = GainsFor(cell, *FlatTile(8, {160, 100, 0}), 100);
  EXPECT_DOUBLE_EQ(free.channel[kRed], 1.25);
  EXPECT_DOUBLE_EQ(free.channel[kGreen], 0.5);
  EXPECT_DOUBLE_EQ(free.channel[kBlue], 0.0);  // black tile, black cell: the lower bound

  const ColourGains blackTile = GainsFor(cell, *FlatTile(8, {0, 0, 0}), 30);
  EXPECT_DOUBLE_EQ(blackTile.channel[kRed], 1.3);
  EXPECT_DOUBLE_EQ(blackTile.channel[kBlue], 0.7);

  for (const double gain : GainsFor(cell, *FlatTile(8, {3, 90, 250}), 0).channel)
    EXPECT_EQ(gain, 1.0);
}

TEST(ScoreTile, AddsAverageDistanceToTheMeanSampleDistance) {
  const CellBuffer cell = FlatCell(16, {100, 100, 100});
  // Left half 120, right half 100: averages 110, samples differ by 20 or 0.
  const auto tile = testing::MakeTile(16, [](int x, int) {
    const uint8_t v = x < 8 ? 120 : 100;
    return Rgb{v, v, v};
  });
  EXPECT_DOUBLE_EQ(ScoreTile(cell, *tile, ColourGains{}, 1), 30 + 30.0);
  // Step 3 samples columns 0, 3, 6 (left) and 9, 12, 15 (right): still half and half.
  EXPECT_DOUBLE_EQ(ScoreTile(cell, *tile, ColourGains{}, 3), 30 + 30.0);
  // Step 16 samples only column 0.
  EXPECT_DOUBLE_EQ(ScoreTile(cell, *tile, ColourGains{}, 16), 30 + 60.0);
  // Gains are applied, truncated and clamped, to the samples only.
  EXPECT_DOUBLE_EQ(ScoreTile(cell, *FlatTile(16, {200, 100, 100}), ColourGains{{2.0, 1.0, 1.0}}, 4),
                   100 + 155.0);
}

TEST(CandidateList, KeepsTheBestInOrderAndEqualScoresInTableOrder) {
  CandidateList list;
  list.Insert(50.0, 0, {});
  list.Insert(20.0, 1, {});
  list.Insert(50.0, 2, {});
  list.Insert(1000.0, 3, {});
  EXPECT_EQ(list.Slot(0).tile, 1);
  EXPECT_EQ(list.Slot(1).tile, 0);
  EXPECT_EQ(list.Slot(2).tile, 2);
  EXPECT_EQ(list.Slot(3).tile, -1);  // 1000 never enters
  for (int t = 4; t < 60; ++t) list.Insert(10.0, t, {});
  EXPECT_EQ(list.Slot(0).tile, 4);
  EXPECT_EQ(list.Slot(kCandidateSlots - 1).tile, 53);
}

TEST(PickCandidate, MapsTheDrawOntoTheListedTiles) {
  CandidateList list;
  for (int t = 0; t < 40; ++t) list.Insert(t, t, {});
  EXPECT_EQ(PickCandidate(list, 40, 1, 32766).tile, 0);
  EXPECT_EQ(PickCandidate(list, 40, 1, 32767).tile, 1);
  EXPECT_EQ(PickCandidate(list, 40, 30, 32767).tile, 30);
  EXPECT_EQ(PickCandidate(list, 40, 20, 16384).tile, 10);
  // Three tiles and randomization 20: from draw 3277 up the last one is taken.
  EXPECT_EQ(PickCandidate(list, 3, 20, 3276).tile, 1);
  EXPECT_EQ(PickCandidate(list, 3, 20, 3277).tile, 2);
  // Positions past the list stay on it.
  EXPECT_EQ(PickCandidate(list, 40, 200, 32767).tile, 39);
}

TEST(PickCandidate, NeverTakesAnEmptySlot) {
  CandidateList list;
  ColourGains gains;
  gains.channel = {0.9, 1.0, 1.1};
  list.Insert(5.0, 7, gains);
  list.Insert(1200.0, 8, {});
  const TileChoice past = PickCandidate(list, 2, 20, 32767);  // position 1 is empty
  EXPECT_EQ(past.tile, 7);
  EXPECT_EQ(past.gains.channel, gains.channel);

  CandidateList unlisted;  // every tile scored 1000 or more
  unlisted.Insert(1400.0, 0, {});
  unlisted.Insert(1100.0, 1, gains);
  unlisted.Insert(1100.0, 2, {});
  EXPECT_EQ(PickCandidate(unlisted, 3, 5, 0).tile, 1);
  EXPECT_EQ(PickCandidate(unlisted, 3, 5, 0).gains.channel, gains.channel);
}

TEST(FillCellBuffer, MapsCellsThroughTheMagnification) {
  CDrawDibBmp source;
  FillBitmap(source, 4, 4, [](int x, int y) { return Rgb{uint8_t(x * 10), uint8_t(y * 10), 7}; });
  CellBuffer cell;
  FillCellBuffer(source, 8, 4, 0, 4, cell);  // magnification 2: cell columns 4..7 read x 2..3
  EXPECT_EQ(cell.Value(kRed, 0, 0), 20);
  EXPECT_EQ(cell.Value(kRed, 3, 0), 30);
  EXPECT_EQ(cell.Value(kGreen, 0, 3), 10);
  EXPECT_EQ(cell.average[kRed], 25);
  EXPECT_EQ(cell.average[kBlue], 7);
}

TEST(FillCellBuffer, RepeatsTheLastSampleOutsideAndStartsFromBlack) {
  CDrawDibBmp source;
  FillBitmap(source, 6, 6, [](int x, int y) { return Rgb{uint8_t(100 + x), uint8_t(100 + y), 9}; });
  CellBuffer edge;
  FillCellBuffer(source, 6, 4, 4, 4, edge);
  EXPECT_EQ(edge.Value(kGreen, 0, 1), 105);
  EXPECT_EQ(edge.Value(kGreen, 0, 2), 105);  // below the photograph: the sample above
  EXPECT_EQ(edge.Value(kRed, 3, 3), 105);    // outside both ways: still the last one inside
  CellBuffer outside;
  FillCellBuffer(source, 6, 8, 0, 4, outside);
  EXPECT_EQ(outside.average, (std::array<int, 3>{0, 0, 0}));
}

TEST(ChooseTile, DrawsExactlyOncePerCell) {
  CDrawDibBmp source, mosaic;
  FillBitmap(source, 16, 16, Flat({10, 20, 30}));
  FillBitmap(mosaic, 16, 16, Flat({0, 0, 0}));
  TileSet tiles;
  tiles.Add(FlatTile(8, {250, 250, 250}));
  for (const int randomization : {1, 20, 30}) {
    RandomGenerator expected;
    expected.SetState(ProgramRandom().State());
    expected.Next();
    EXPECT_EQ(ChooseTile(source, mosaic, tiles, 1, 20, randomization, 8, 0, 0, 2).tile, 0);
    EXPECT_EQ(ProgramRandom().State(), expected.State());
  }
}

}  // namespace
}  // namespace tesselor
