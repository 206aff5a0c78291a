#include "engine/paint_tile.h"

#include <gtest/gtest.h>

#include "tests/engine/engine_fixtures.h"

namespace tesselor {
namespace {

using testing::PixelAt;
using testing::Rgb;

TEST(PaintTile, AppliesTheGainsInsideTheMosaicOnlyAndKeepsTheFourthByte) {
  CDrawDibBmp source, mosaic;
  testing::FillBitmap(source, 40, 40, testing::Flat({0, 0, 0}));
  testing::FillBitmap(mosaic, 40, 40, testing::Flat({1, 2, 3}));
  mosaic.lineArray[35][4 * 35 + 3] = 77;
  TileSet tiles;
  tiles.Add(testing::FlatTile(16, {100, 200, 50}));
  ColourGains gains;
  gains.channel = {1.5, 1.5, 0.5};
  PaintTile(source, mosaic, tiles, 0, 32, 30, 16, gains, 0.0);
  EXPECT_EQ(PixelAt(mosaic, 39, 30), (Rgb{150, 255, 25}));
  EXPECT_EQ(PixelAt(mosaic, 31, 39), (Rgb{1, 2, 3}));
  EXPECT_EQ(mosaic.lineArray[35][4 * 35 + 3], 77);
}

TEST(PaintTile, BlendsTheTruncatedPercentageStartingFromBlackOutsideThePhotograph) {
  CDrawDibBmp source, mosaic;
  testing::FillBitmap(source, 8, 8, testing::Flat({200, 100, 0}));
  testing::FillBitmap(mosaic, 16, 8, testing::Flat({0, 0, 0}));  // wider than the photograph
  TileSet tiles;
  tiles.Add(testing::FlatTile(8, {0, 100, 250}));
  // 29 x 0.01 x 100 and 58 x 0.01 x 100 fall just below the whole number.
  for (const auto& [fraction, p] : {std::pair{12 * 0.01, 12}, {29 * 0.01, 28}, {58 * 0.01, 57}}) {
    PaintTile(source, mosaic, tiles, 0, 4, 0, 8, {}, fraction);
    EXPECT_EQ(PixelAt(mosaic, 11, 3), (Rgb{uint8_t(2 * p), 100, uint8_t((100 - p) * 250 / 100)}));
  }
  PaintTile(source, mosaic, tiles, 0, 8, 0, 8, {}, 0.5);
  EXPECT_EQ(PixelAt(mosaic, 8, 0), (Rgb{0, 50, 125}));
}

}  // namespace
}  // namespace tesselor
