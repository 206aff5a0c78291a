// A plain, line-by-line model of how a mosaic is built from a tile set in
// memory: cell sampling, scoring, the candidate list, the pick, painting and
// the two passes. It is the oracle the engine must match byte for byte, so it
// stays slow and literal: no shortcuts, no shared code with the engine.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "engine/mosaic_settings.h"
#include "engine/tile_set.h"
#include "imagelib/bmp.h"
#include "platform/random.h"

namespace tesselor::reference {

struct Pick {
  int tile;
  double gains[3];
};

inline int TruncClamp(double value) {
  int v = static_cast<int>(value);
  if (v < 0) v = 0;
  if (v > 255) v = 255;
  return v;
}

// Red, green, blue of a 32-bit pixel.
inline void ReadPixel(const CBmp& bmp, int64_t x, int64_t y, int rgb[3]) {
  const uint8_t* p = bmp.lineArray[y] + 4 * x;
  rgb[0] = p[2];
  rgb[1] = p[1];
  rgb[2] = p[0];
}

inline Pick ChooseTile(const CBmp& source, const CBmp& mosaic, const TileSet& tiles, int tileCount,
                       int colourAdjust, int randomization, int n, int x, int y, int step,
                       RandomGenerator& random) {
  double ratio = static_cast<double>(mosaic.height) / source.height;
  int64_t scaledW = static_cast<int64_t>(source.width * ratio);
  int64_t scaledH = static_cast<int64_t>(source.height * ratio);
  if (scaledW < 1) scaledW = 1;
  if (scaledH < 1) scaledH = 1;

  uint8_t cell[3][64 * 64];
  int last[3] = {0, 0, 0};
  long sums[3] = {0, 0, 0};
  for (int u = 0; u < n; ++u) {
    for (int v = 0; v < n; ++v) {
      int64_t column = (int64_t{x} + u) * source.width / scaledW;
      int64_t line = (int64_t{y} + v) * source.height / scaledH;
      if (line < source.height && column < source.width) ReadPixel(source, column, line, last);
      for (int c = 0; c < 3; ++c) {
        cell[c][v * n + u] = static_cast<uint8_t>(last[c]);
        sums[c] += last[c];
      }
    }
  }
  int cellAverage[3];
  for (int c = 0; c < 3; ++c) cellAverage[c] = static_cast<int>(sums[c] / (n * n));

  double slotScore[50];
  int slotTile[50];
  double slotGains[50][3];
  for (int i = 0; i < 50; ++i) {
    slotScore[i] = 1000.0;
    slotTile[i] = -1;
    slotGains[i][0] = slotGains[i][1] = slotGains[i][2] = 1.0;
  }
  double bestScore = HUGE_VAL;
  int bestTile = -1;
  double bestGains[3] = {1.0, 1.0, 1.0};
  double lo = 1 - colourAdjust * 0.01;
  double hi = 1 + colourAdjust * 0.01;

  for (int t = 0; t < tileCount; ++t) {
    const TileBuffer& tile = tiles[t];
    const uint8_t* block = tile.Block();
    const uint8_t* averages = block + 3 * n * n + 1;
    double gains[3];
    for (int c = 0; c < 3; ++c) {
      double g;
      if (averages[c] == 0)
        g = cellAverage[c] > 0 ? hi : lo;
      else
        g = static_cast<double>(cellAverage[c]) / averages[c];
      if (g < lo) g = lo;
      if (g > hi) g = hi;
      gains[c] = g;
    }
    long sum = 0;
    long count = 0;
    for (int u = 0; u < n; u += step) {
      for (int v = 0; v < n; v += step) {
        for (int c = 0; c < 3; ++c) {
          int value = TruncClamp(block[c * n * n + v * n + u] * gains[c]);
          sum += std::abs(value - cell[c][v * n + u]);
        }
        ++count;
      }
    }
    double score = std::abs(cellAverage[0] - averages[0]) + std::abs(cellAverage[1] - averages[1]) +
                   std::abs(cellAverage[2] - averages[2]) + static_cast<double>(sum) / count;
    if (score < bestScore) {
      bestScore = score;
      bestTile = t;
      for (int c = 0; c < 3; ++c) bestGains[c] = gains[c];
    }
    for (int i = 0; i < 50; ++i) {
      if (slotScore[i] > score) {
        for (int k = 49; k > i; --k) {
          slotScore[k] = slotScore[k - 1];
          slotTile[k] = slotTile[k - 1];
          for (int c = 0; c < 3; ++c) slotGains[k][c] = slotGains[k - 1][c];
        }
        slotScore[i] = score;
        slotTile[i] = t;
        for (int c = 0; c < 3; ++c) slotGains[i][c] = gains[c];
        break;
      }
    }
  }

  int draw = random.Next();
  int64_t position = int64_t{randomization} * draw / 32767;
  if (position >= tileCount) position = tileCount - 1;
  if (position > 49) position = 49;
  if (position < 0) position = 0;
  while (position >= 0 && slotTile[position] == -1) --position;
  if (position < 0) return {bestTile, {bestGains[0], bestGains[1], bestGains[2]}};
  return {slotTile[position],
          {slotGains[position][0], slotGains[position][1], slotGains[position][2]}};
}

inline void PaintTile(const CBmp& source, CBmp& mosaic, const TileSet& tiles, const Pick& pick,
                      int x, int y, int n, double blend) {
  const uint8_t* block = tiles[pick.tile].Block();
  double ratio = static_cast<double>(mosaic.height) / source.height;
  int percent = 0;
  if (blend != 0.0) percent = static_cast<int>(blend * 100);
  int sourceColour[3] = {0, 0, 0};
  for (int u = 0; u < n; ++u) {
    for (int v = 0; v < n; ++v) {
      int64_t px = int64_t{x} + u;
      int64_t py = int64_t{y} + v;
      int red = TruncClamp(block[v * n + u] * pick.gains[0]);
      int green = TruncClamp(block[n * n + v * n + u] * pick.gains[1]);
      int blue = TruncClamp(block[2 * n * n + v * n + u] * pick.gains[2]);
      if (blend != 0.0) {
        int64_t sx = static_cast<int64_t>(px / ratio);
        int64_t sy = static_cast<int64_t>(py / ratio);
        if (sx < source.width && sy < source.height) ReadPixel(source, sx, sy, sourceColour);
        red = (percent * sourceColour[0] + (100 - percent) * red) / 100;
        green = ((100 - percent) * green + percent * sourceColour[1]) / 100;
        blue = ((100 - percent) * blue + percent * sourceColour[2]) / 100;
      }
      if (py < mosaic.height && px < mosaic.width) {
        uint8_t* p = mosaic.lineArray[py] + 4 * px;
        p[0] = static_cast<uint8_t>(blue);
        p[1] = static_cast<uint8_t>(green);
        p[2] = static_cast<uint8_t>(red);
      }
    }
  }
}

// Both passes over a mosaic from a fresh generator, without progress or abort.
inline void Build(const CBmp& source, CBmp& mosaic, const TileSet& tiles,
                  const BuildOptions& options) {
  RandomGenerator random;
  int outW = static_cast<int>(source.width * options.magnification);
  int outH = static_cast<int>(source.height * options.magnification);
  int n = options.tileSize;
  int cols = outW / n + 1;
  int rows = outH / n + 1;
  auto place = [&](int x, int y) {
    Pick pick = ChooseTile(source, mosaic, tiles, tiles.Count(), options.colourAdjust,
                           options.randomization, n, x, y, options.accuracyStep, random);
    PaintTile(source, mosaic, tiles, pick, x, y, n, options.blendFraction);
  };
  for (int i = 0; i < cols; ++i)
    for (int j = 0; j < rows; ++j) place(i * n, j * n);
  if (!options.randomPlacement) return;
  for (int k = 0; k < cols * rows; ++k) {
    int y = static_cast<int>(int64_t{random.Next()} * outH / 32767);
    int x = static_cast<int>(int64_t{random.Next()} * outW / 32767);
    place(x, y);
  }
}

}  // namespace tesselor::reference
