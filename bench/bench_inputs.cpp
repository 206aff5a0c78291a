#include "bench/bench_inputs.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <memory>
#include <random>
#include <string>

namespace tesselor::bench {

void SyntheticTiles(int n, int tiles, TileSet& set) {
  std::mt19937 random(1234);
  for (int t = 0; t < tiles; ++t) {
    auto tile = std::make_unique<TileBuffer>(n);
    const int base[3] = {int(random() % 256), int(random() % 256), int(random() % 256)};
    const int spread = 10 + int(random() % 60);
    int sums[3] = {};
    for (int c = 0; c < 3; ++c) {
      for (int i = 0; i < n * n; ++i) {
        const int x = i % n, y = i / n;
        const double wave = std::sin((x + 2 * y + c) * 0.7 + t) * spread;
        const int value = std::clamp(base[c] + int(wave), 0, 255);
        tile->Plane(c)[i] = static_cast<uint8_t>(value);
        sums[c] += value;
      }
      tile->SetAverage(c, static_cast<uint8_t>(sums[c] / (n * n)));
    }
    set.Add(std::move(tile));
  }
}

void SyntheticPhoto(int width, int height, CBmp& photo) {
  photo.Create(width, height, 32, false);
  for (int y = 0; y < height; ++y) {
    uint8_t* line = photo.lineArray[y];
    for (int x = 0; x < width; ++x) {
      const double u = double(x) / width, v = double(y) / height;
      line[4 * x + 2] = static_cast<uint8_t>(127 + 127 * std::sin(6 * u + 2 * v));
      line[4 * x + 1] = static_cast<uint8_t>(127 + 127 * std::cos(5 * v - 3 * u));
      line[4 * x] = static_cast<uint8_t>((x ^ y) & 255);
    }
  }
}

long PeakMemoryBytes() {
  std::ifstream status("/proc/self/status");
  std::string key;
  while (status >> key) {
    if (key == "VmHWM:") {
      long kilobytes = 0;
      status >> kilobytes;
      return kilobytes * 1024;
    }
    status.ignore(256, '\n');
  }
  return 0;
}

}  // namespace tesselor::bench
