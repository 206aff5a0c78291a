// Tiles, tile sets and tile files with known colours for the engine suites.
#pragma once

#include <functional>
#include <memory>
#include <random>
#include <string>

#include "engine/tile_set.h"
#include "imagelib/draw_dib_bmp.h"
#include "tests/support/test_support.h"

namespace tesselor::testing {

using ColourAt = std::function<Rgb(int x, int y)>;

inline ColourAt Flat(Rgb colour) {
  return [colour](int, int) { return colour; };
}

// A tile of size n whose planes hold colour(x, y), with its averages.
inline std::unique_ptr<TileBuffer> MakeTile(int n, const ColourAt& colour) {
  auto tile = std::make_unique<TileBuffer>(n);
  int sums[3] = {};
  for (int y = 0; y < n; ++y)
    for (int x = 0; x < n; ++x) {
      const Rgb c = colour(x, y);
      const uint8_t values[3] = {c.r, c.g, c.b};
      for (int channel = 0; channel < 3; ++channel) {
        tile->Plane(channel)[y * n + x] = values[channel];
        sums[channel] += values[channel];
      }
    }
  for (int channel = 0; channel < 3; ++channel)
    tile->SetAverage(channel, static_cast<uint8_t>(sums[channel] / (n * n)));
  return tile;
}

inline std::unique_ptr<TileBuffer> FlatTile(int n, Rgb colour) {
  return MakeTile(n, Flat(colour));
}

// Noise over gradients, different for every seed drawn, so cells and tiles differ.
inline ColourAt RandomPicture(std::mt19937& random) {
  const int base = static_cast<int>(random() % 200);
  const unsigned seed = random();
  return [base, seed](int x, int y) {
    const unsigned h = (unsigned(x) * 73856093u) ^ (unsigned(y) * 19349663u) ^ seed;
    return Rgb{uint8_t(base + (x * 7 + (h & 31)) % 56), uint8_t(h >> 5),
               uint8_t(y * 3 + (h >> 13))};
  };
}

// A lossless tile file: a Windows bitmap, which loading recognises by content.
inline void WriteTileFile(const std::string& path, const ColourAt& colour, int width = 64,
                          int height = 64) {
  CDrawDibBmp bmp;
  FillBitmap(bmp, width, height, colour);
  bmp.SaveAsBmp(path);
}

}  // namespace tesselor::testing
