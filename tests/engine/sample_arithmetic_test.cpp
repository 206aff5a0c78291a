// The vector kernels against AdjustedValue one sample at a time, over run
// lengths that end inside and on the vector width, and gains whose products
// land on whole numbers, where a truncation that rounds differently shows.
#include "engine/sample_arithmetic.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <vector>

#include "engine/colour_gains.h"

namespace tesselor {
namespace {

TEST(SampleArithmetic, KernelsGiveTheScalarSums) {
  std::mt19937 random(5);
  std::vector<double> gains{0.0, 0.8, 1.0, 1.2, 2.0, 10.0 / 9.0, 200.0 / 170.0, 1.0 - 1e-12};
  for (int g = 0; g < 40; ++g) gains.push_back(std::uniform_real_distribution(0.5, 2.0)(random));
  for (const double gain : gains) {
    for (int count = 1; count <= 70; ++count) {
      std::vector<uint8_t> a(size_t(count) + 8);
      std::vector<uint8_t> b(size_t(count) + 8);
      for (size_t i = 0; i < a.size(); ++i) {
        a[i] = uint8_t(random());
        b[i] = uint8_t(random());
      }
      int adjusted = 0;
      int plain = 0;
      for (int i = 0; i < count; ++i) {
        adjusted += std::abs(AdjustedValue(a[size_t(i)], gain) - b[size_t(i)]);
        plain += std::abs(a[size_t(i)] - b[size_t(i)]);
      }
      ASSERT_EQ(AdjustedDifference(a.data(), b.data(), count, gain), adjusted)
          << "gain " << gain << ", " << count << " samples";
      ASSERT_EQ(AbsoluteDifference(a.data(), b.data(), count), plain) << count << " samples";
    }
    uint8_t values[8];
    uint8_t out[8];
    for (int v = 0; v < 256; v += 8) {
      for (int i = 0; i < 8; ++i) values[i] = uint8_t(v + i);
      AdjustEight(values, gain, out);
      for (int i = 0; i < 8; ++i) ASSERT_EQ(out[i], AdjustedValue(values[i], gain)) << gain;
    }
  }
}

}  // namespace
}  // namespace tesselor
