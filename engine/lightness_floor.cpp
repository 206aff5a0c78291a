#include "engine/lightness_floor.h"

#include <algorithm>
#include <limits>

#include "engine/cpu_features.h"
#include "engine/lane_sums.h"

namespace tesselor {

namespace {

// The factors LightnessGapFloor puts an adjusted sample's L + 16 between,
// and which of the two unadjusted forms the lower one multiplies.
struct LightnessFactors {
  float low;
  float high;
  bool lowFromLessTwo;
};

// Both curves of lightness are steep at most in proportion: linear light
// grows with a byte value to no more than the power 2.4 / 1.055 (at white;
// less below), and the companded Y with Y to no more than the power 1/3, so
// L + 16 with the bytes to no more than the power kLightnessPower. So with
// gmax the largest gain, at least 1, L + 16 is at most gmax^0.76 times the
// unadjusted L + 16, and that is at most 1 + 0.76 (gmax - 1), its tangent
// at 1. With every gain at least 1, an adjusted byte is at least the byte
// itself. Below 1, truncation takes off less than one: v x g truncated is at
// least (v - 2) g for g of a half or more, so L + 16 is at least gmin^0.76
// times that of the sample two less in each channel, and gmin^0.76 is at
// least its chord from a half to 1. A gain under a half bounds nothing from
// below.
constexpr double kLightnessPower = 0.76;
constexpr double kChordSlope = 0.8191;  // (1 - 0.5^0.76) / 0.5 = 0.81901, rounded up
constexpr double kLeastBoundingGain = 0.5;

LightnessFactors FactorsFor(const ColourGains& gains) {
  const std::array<double, 3>& g = gains.channel;
  const double least = std::min(std::min(g[0], g[1]), g[2]);
  const double most = std::max(std::max(g[0], g[1]), g[2]);
  const float high = static_cast<float>(1 + kLightnessPower * std::max(0.0, most - 1));
  if (least >= 1.0) return {1.0f, high, false};
  return {least >= kLeastBoundingGain ? static_cast<float>(1 - kChordSlope * (1 - least)) : 0.0f,
          high, true};
}

// Lightness is worked out in float on both sides to within about 1e-5; each
// gap gives up a thousandth for that, and for the floor's own rounding.
constexpr float kFloorRounding = 1e-3f;

}  // namespace

#if defined(TESSELOR_AVX2_KERNELS)
namespace {

[[gnu::target("avx2")]] float LightnessGapFloorAvx2(const float* tile, const float* lowBase,
                                                    const LightnessFactors& factors,
                                                    const float* cell, int count) {
  __m256 total = _mm256_setzero_ps();
  for (int i = 0; i < count; i += kLabBatch) {
    const __m256 kept = _mm256_loadu_ps(
        reinterpret_cast<const float*>(kLaneBelow + kLabBatch - std::min(kLabBatch, count - i)));
    const __m256 mine = _mm256_loadu_ps(cell + i);
    const __m256 below = _mm256_sub_ps(
        _mm256_mul_ps(_mm256_set1_ps(factors.low), _mm256_loadu_ps(lowBase + i)), mine);
    const __m256 above =
        _mm256_sub_ps(mine, _mm256_mul_ps(_mm256_set1_ps(factors.high), _mm256_loadu_ps(tile + i)));
    const __m256 gap = _mm256_sub_ps(_mm256_max_ps(below, above), _mm256_set1_ps(kFloorRounding));
    total = _mm256_add_ps(total, _mm256_and_ps(_mm256_max_ps(gap, _mm256_setzero_ps()), kept));
  }
  return LaneSum(_mm_add_ps(_mm256_castps256_ps128(total), _mm256_extractf128_ps(total, 1)));
}

}  // namespace
#endif

float LightnessGapFloor(const float* tile, const float* tileLessTwo, const ColourGains& gains,
                        const float* cell, int count) {
  const LightnessFactors factors = FactorsFor(gains);
  const float* lowBase = factors.lowFromLessTwo ? tileLessTwo : tile;
#if defined(TESSELOR_AVX2_KERNELS)
  if (HasAvx2()) return LightnessGapFloorAvx2(tile, lowBase, factors, cell, count);
#endif
#if defined(__SSE2__)
  __m128 total = _mm_setzero_ps();
  for (int i = 0; i < count; i += 4) {
    const __m128 kept = _mm_loadu_ps(
        reinterpret_cast<const float*>(kLaneBelow + kLabBatch - std::min(4, count - i)));
    const __m128 mine = _mm_loadu_ps(cell + i);
    const __m128 below =
        _mm_sub_ps(_mm_mul_ps(_mm_set1_ps(factors.low), _mm_loadu_ps(lowBase + i)), mine);
    const __m128 above =
        _mm_sub_ps(mine, _mm_mul_ps(_mm_set1_ps(factors.high), _mm_loadu_ps(tile + i)));
    const __m128 gap = _mm_sub_ps(_mm_max_ps(below, above), _mm_set1_ps(kFloorRounding));
    total = _mm_add_ps(total, _mm_and_ps(_mm_max_ps(gap, _mm_setzero_ps()), kept));
  }
  return LaneSum(total);
#else
  float total = 0;
  for (int i = 0; i < count; ++i) {
    const float gap =
        std::max(factors.low * lowBase[i] - cell[i], cell[i] - factors.high * tile[i]);
    total += std::max(gap - kFloorRounding, 0.0f);
  }
  return total;
#endif
}

#if defined(TESSELOR_AVX2_KERNELS)
namespace {

// Gains worked out in float from an inverse lie this close to the table's.
constexpr float kGainMargin = 1e-6f;
// Summed in float, the floor rounds off by less than this; the room under
// the limit, worked out in float, by less than a part in ten million of it.
// The tile-by-tile test leaves a millionth of the floor besides.
constexpr float kScreenRounding = 0.01f;
constexpr float kRoomMargin = 1 + 1e-6f;

[[gnu::target("avx2")]] uint32_t WithinLightnessFloorAvx2(const FloorScreenTiles& tiles,
                                                          const FloorScreenCell& cell,
                                                          const float* distances, uint32_t close,
                                                          float limit) {
  const __m256 zero = _mm256_setzero_ps();
  const __m256 one = _mm256_set1_ps(1.0f);
  const __m256 leastGain = _mm256_set1_ps(cell.leastGain);
  const __m256 mostGain = _mm256_set1_ps(cell.mostGain);
  const __m256 rounding = _mm256_set1_ps(kFloorRounding);
  const __m256 slack = _mm256_set1_ps(kScreenRounding);
  uint32_t within = 0;
  for (int i = 0; i < kFloorScreenTiles; i += 8) {
    if ((close >> i & 0xFFu) == 0) continue;
    const auto plane = [&](size_t p) { return tiles.planes + p * tiles.stride + i; };
    // GainsFor's clamped ratios, and the least and most of each tile's.
    __m256 least = mostGain;
    __m256 most = leastGain;
    for (size_t c = 0; c < kChannels; ++c) {
      const __m256 ratio = _mm256_mul_ps(_mm256_set1_ps(cell.average[c]),
                                         _mm256_loadu_ps(plane(kInverseAveragePlanes + c)));
      const __m256 gain = _mm256_min_ps(_mm256_max_ps(ratio, leastGain), mostGain);
      least = _mm256_min_ps(least, gain);
      most = _mm256_max_ps(most, gain);
    }
    least = _mm256_max_ps(_mm256_sub_ps(least, _mm256_set1_ps(kGainMargin)), leastGain);
    most = _mm256_min_ps(_mm256_add_ps(most, _mm256_set1_ps(kGainMargin)), mostGain);
    // FactorsFor, lane by lane.
    const __m256 high =
        _mm256_add_ps(one, _mm256_mul_ps(_mm256_set1_ps(static_cast<float>(kLightnessPower)),
                                         _mm256_max_ps(_mm256_sub_ps(most, one), zero)));
    const __m256 noneBelowOne = _mm256_cmp_ps(least, one, _CMP_GE_OQ);
    const __m256 low = _mm256_and_ps(
        _mm256_cmp_ps(least, _mm256_set1_ps(static_cast<float>(kLeastBoundingGain)), _CMP_GE_OQ),
        _mm256_sub_ps(one, _mm256_mul_ps(_mm256_set1_ps(static_cast<float>(kChordSlope)),
                                         _mm256_sub_ps(one, least))));
    __m256 floor = zero;
    for (size_t sample = 0; sample < static_cast<size_t>(cell.floorSamples); ++sample) {
      const __m256 tile = _mm256_loadu_ps(plane(sample));
      const __m256 lowBound = _mm256_blendv_ps(
          _mm256_mul_ps(low, _mm256_loadu_ps(plane(kLessTwoPlanes + sample))), tile, noneBelowOne);
      const __m256 mine = _mm256_set1_ps(cell.lightness[sample]);
      const __m256 gap = _mm256_max_ps(_mm256_sub_ps(lowBound, mine),
                                       _mm256_sub_ps(mine, _mm256_mul_ps(high, tile)));
      floor = _mm256_add_ps(floor, _mm256_max_ps(_mm256_sub_ps(gap, rounding), zero));
    }
    // The room the sample distances have under limit, as a sum.
    const __m256 room =
        _mm256_mul_ps(_mm256_sub_ps(_mm256_set1_ps(limit), _mm256_loadu_ps(distances + i)),
                      _mm256_set1_ps(static_cast<float>(cell.samples) * kRoomMargin));
    const __m256 fits = _mm256_cmp_ps(floor, _mm256_add_ps(room, slack), _CMP_LE_OQ);
    within |= static_cast<uint32_t>(_mm256_movemask_ps(fits)) << i;
  }
  return close & within;
}

}  // namespace
#endif

bool LightnessFloorScreens(float limit) {
#if defined(TESSELOR_AVX2_KERNELS)
  return HasAvx2() && limit < std::numeric_limits<float>::infinity();
#else
  (void)limit;
  return false;
#endif
}

uint32_t WithinLightnessFloor(const FloorScreenTiles& tiles, const FloorScreenCell& cell,
                              const float* distances, uint32_t close, float limit) {
#if defined(TESSELOR_AVX2_KERNELS)
  static_assert(kFloorScreenTiles == 16, "two runs of eight lanes");
  if (close != 0 && LightnessFloorScreens(limit))
    return WithinLightnessFloorAvx2(tiles, cell, distances, close, limit);
#endif
  (void)tiles, (void)cell, (void)distances, (void)limit;
  return close;
}

}  // namespace tesselor
