#include "engine/paint_tile.h"

#include <gtest/gtest.h>

#include "tests/engine/engine_fixtures.h"

namespace tesselor {
namespace {

using testing::FillBitmap;
using testing::Flat;
using testing::FlatTile;
using testing::PixelAt;
using testing::Rgb;

struct Canvas {
  CDrawDibBmp source, mosaic;
  TileSet tiles;
  Canvas(int width, int height, Rgb photo, Rgb tile, int n) {
    FillBitmap(source, width, height, Flat(photo));
    FillBitmap(mosaic, width, height, Flat({1, 2, 3}));
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) mosaic.lineArray[y][4 * x + 3] = 77;
    tiles.Add(FlatTile(n, tile));
  }
};

TEST(PaintTile, AppliesTheGainsInsideTheMosaicOnly) {
  Canvas canvas(40, 40, {0, 0, 0}, {100, 200, 50}, 16);
  ColourGains gains;
  gains.channel = {1.5, 1.5, 0.5};
  PaintTile(canvas.source, canvas.mosaic, canvas.tiles, 0, 32, 30, 16, gains, 0.0);
  EXPECT_EQ(PixelAt(canvas.mosaic, 32, 30), (Rgb{150, 255, 25}));
  EXPECT_EQ(PixelAt(canvas.mosaic, 39, 39), (Rgb{150, 255, 25}));
  EXPECT_EQ(PixelAt(canvas.mosaic, 31, 30), (Rgb{1, 2, 3}));
  EXPECT_EQ(PixelAt(canvas.mosaic, 32, 29), (Rgb{1, 2, 3}));
  EXPECT_EQ(canvas.mosaic.lineArray[35][4 * 35 + 3], 77);  // the fourth byte is never written
}

TEST(PaintTile, BlendsTheTruncatedPercentageOfThePhotograph) {
  // 29 x 0.01 x 100 and 58 x 0.01 x 100 fall just below the whole numbers.
  const struct {
    double fraction;
    int percent;
  } cases[] = {{12 * 0.01, 12}, {29 * 0.01, 28}, {58 * 0.01, 57}, {100 * 0.01, 100}};
  for (const auto& blend : cases) {
    Canvas canvas(8, 8, {200, 100, 0}, {0, 100, 255}, 8);
    PaintTile(canvas.source, canvas.mosaic, canvas.tiles, 0, 0, 0, 8, {}, blend.fraction);
    const int p = blend.percent;
    EXPECT_EQ(PixelAt(canvas.mosaic, 3, 3),
              (Rgb{uint8_t(200 * p / 100), uint8_t(100), uint8_t((100 - p) * 255 / 100)}))
        << blend.fraction;
  }
}

TEST(PaintTile, BlendOutsideThePhotographRepeatsTheLastSampleStartingFromBlack) {
  Canvas canvas(8, 8, {200, 200, 200}, {100, 100, 100}, 8);
  CDrawDibBmp wide;  // a mosaic wider than the photograph maps beyond it
  FillBitmap(wide, 24, 8, Flat({0, 0, 0}));
  PaintTile(canvas.source, wide, canvas.tiles, 0, 16, 0, 8, {}, 0.5);
  EXPECT_EQ(PixelAt(wide, 16, 0), (Rgb{50, 50, 50}));
  PaintTile(canvas.source, wide, canvas.tiles, 0, 4, 0, 8, {}, 0.5);
  EXPECT_EQ(PixelAt(wide, 11, 7), (Rgb{150, 150, 150}));  // x 8 and on repeat the photograph
}

}  // namespace
}  // namespace tesselor
