#include "engine/choose_tile.h"

#include <gtest/gtest.h>

#include "tests/engine/engine_fixtures.h"

namespace tesselor {
namespace {

using testing::FlatTile;
using testing::Rgb;

TEST(ColourGains, FollowTheCellWithinTheAdjustment) {
  CDrawDibBmp source;
  testing::FillBitmap(source, 8, 8, testing::Flat({200, 50, 0}));
  CellBuffer cell;
  FillCellBuffer(source, 8, 0, 0, 8, cell);
  using Gains = std::array<double, 3>;
  EXPECT_EQ(GainsFor(cell, *FlatTile(8, {100, 100, 100}), 20).channel, (Gains{1.2, 0.8, 0.8}));
  EXPECT_EQ(GainsFor(cell, *FlatTile(8, {160, 100, 0}), 100).channel, (Gains{1.25, 0.5, 0.0}));
  // A black tile channel takes the upper bound, or the lower one for a black cell.
  EXPECT_EQ(GainsFor(cell, *FlatTile(8, {0, 0, 0}), 30).channel, (Gains{1.3, 1.3, 0.7}));
  EXPECT_EQ(GainsFor(cell, *FlatTile(8, {3, 90, 250}), 0).channel, (Gains{1.0, 1.0, 1.0}));
}

TEST(CandidateList, KeepsTheBestFiftyAndEqualScoresInTableOrder) {
  CandidateList list;
  list.Insert(50.0, 0, {});
  list.Insert(20.0, 1, {});
  list.Insert(50.0, 2, {});
  list.Insert(1000.0, 3, {});  // never listed
  EXPECT_EQ(list.Slot(0).tile, 1);
  EXPECT_EQ(list.Slot(1).tile, 0);
  EXPECT_EQ(list.Slot(2).tile, 2);
  EXPECT_EQ(list.Slot(3).tile, -1);
  for (int t = 4; t < 60; ++t) list.Insert(10.0, t, {});
  EXPECT_EQ(list.Slot(0).tile, 4);
  EXPECT_EQ(list.Slot(kCandidateSlots - 1).tile, 53);
}

TEST(PickCandidate, MapsTheDrawOntoListedTilesOnly) {
  CandidateList list;
  for (int t = 0; t < 40; ++t) list.Insert(t, t, {});
  EXPECT_EQ(PickCandidate(list, 40, 1, 32766).tile, 0);
  EXPECT_EQ(PickCandidate(list, 40, 1, 32767).tile, 1);
  EXPECT_EQ(PickCandidate(list, 40, 30, 32767).tile, 30);
  EXPECT_EQ(PickCandidate(list, 40, 200, 32767).tile, 39);  // held to the list
  // Three tiles and randomization 20: from draw 3277 up the last one is taken.
  EXPECT_EQ(PickCandidate(list, 3, 20, 3276).tile, 1);
  EXPECT_EQ(PickCandidate(list, 3, 20, 3277).tile, 2);

  // A position past the listed tiles takes the last listed; with none listed,
  // the best tile scored.
  CandidateList sparse;
  ColourGains gains;
  gains.channel = {0.9, 1.0, 1.1};
  sparse.Insert(1400.0, 0, {});
  sparse.Insert(1100.0, 1, gains);
  EXPECT_EQ(PickCandidate(sparse, 2, 5, 0).tile, 1);
  EXPECT_EQ(PickCandidate(sparse, 2, 5, 0).gains.channel, gains.channel);
  sparse.Insert(5.0, 2, gains);
  EXPECT_EQ(PickCandidate(sparse, 3, 20, 32767).tile, 2);
}

TEST(FillCellBuffer, MapsThroughTheMagnificationAndRepeatsTheLastSampleOutside) {
  CDrawDibBmp source;
  testing::FillBitmap(source, 6, 6, [](int x, int y) {
    return Rgb{uint8_t(10 * x), uint8_t(10 * y), 7};
  });
  CellBuffer cell;
  FillCellBuffer(source, 12, 4, 0, 4, cell);  // magnification 2: columns 4 to 7 read x 2 and 3
  EXPECT_EQ(cell.Value(kRed, 0, 3), 20);
  EXPECT_EQ(cell.Value(kRed, 3, 3), 30);
  EXPECT_EQ(cell.average, (std::array<int, 3>{25, 5, 7}));

  FillCellBuffer(source, 6, 4, 4, 4, cell);
  EXPECT_EQ(cell.Value(kGreen, 0, 3), 50);   // below the photograph: the sample above
  EXPECT_EQ(cell.Value(kRed, 3, 3), 50);     // outside both ways: the last one inside
  FillCellBuffer(source, 6, 8, 0, 4, cell);  // wholly outside: black
  EXPECT_EQ(cell.average, (std::array<int, 3>{0, 0, 0}));
}

}  // namespace
}  // namespace tesselor
