// Eight tile values times a colour gain on AVX2, shared by the kernels that
// adjust samples before they compare them.
#pragma once

#include <cstdint>

#include "engine/cpu_features.h"

#if defined(TESSELOR_AVX2_KERNELS)
namespace tesselor {

// value x gain truncated for the eight bytes at values, as two runs of four
// 32-bit lanes, not yet held to a byte: AVX's double multiply and truncating
// conversion are the scalar ones, so these are AdjustedValue's numbers
// before its clamp.
[[gnu::target("avx2"), gnu::always_inline]] inline void TimesGainEight(const uint8_t* values,
                                                                       __m256d gains, __m128i& low,
                                                                       __m128i& high) {
  const __m256i values32 =
      _mm256_cvtepu8_epi32(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(values)));
  low = _mm256_cvttpd_epi32(
      _mm256_mul_pd(_mm256_cvtepi32_pd(_mm256_castsi256_si128(values32)), gains));
  high = _mm256_cvttpd_epi32(
      _mm256_mul_pd(_mm256_cvtepi32_pd(_mm256_extracti128_si256(values32, 1)), gains));
}

}  // namespace tesselor
#endif
