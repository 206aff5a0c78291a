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
