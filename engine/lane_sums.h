// Sums of lanes the Lab kernels share: a mask that keeps a short batch's
// lanes, and the order four lanes are added in.
#pragma once

#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace tesselor {

#if defined(__SSE2__)
// Loaded from kLaneBelow + 8 - count, a lane mask that keeps the first count
// lanes (up to eight): a short batch's padding adds nothing to a sum.
inline constexpr int32_t kLaneBelow[16] = {-1, -1, -1, -1, -1, -1, -1, -1,
                                           0,  0,  0,  0,  0,  0,  0,  0};

// Adds the four lanes of total, in the order LightnessGapSum promises alike
// on every path.
inline float LaneSum(__m128 total) {
  total = _mm_add_ps(total, _mm_movehl_ps(total, total));
  total = _mm_add_ss(total, _mm_shuffle_ps(total, total, 1));
  return _mm_cvtss_f32(total);
}
#endif

}  // namespace tesselor
