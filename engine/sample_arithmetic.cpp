#include "engine/sample_arithmetic.h"

#include <cstdlib>
#include <cstring>

#include "engine/colour_gains.h"
#include "engine/cpu_features.h"
#include "engine/times_gain_avx2.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace tesselor {

namespace {

#if defined(__SSE2__)
// value x gain truncated for the four bytes at values, in 32-bit lanes, not
// yet held to a byte: SSE2's double multiply and truncating conversion are
// the scalar ones, so these are AdjustedValue's numbers before its clamp.
__m128i TimesGain(const uint8_t* values, __m128d gains) {
  int32_t bytes;
  std::memcpy(&bytes, values, 4);
  const __m128i zero = _mm_setzero_si128();
  const __m128i values32 =
      _mm_unpacklo_epi16(_mm_unpacklo_epi8(_mm_cvtsi32_si128(bytes), zero), zero);
  const __m128d low = _mm_mul_pd(_mm_cvtepi32_pd(values32), gains);
  const __m128d high = _mm_mul_pd(_mm_cvtepi32_pd(_mm_shuffle_epi32(values32, 0x4E)), gains);
  return _mm_unpacklo_epi64(_mm_cvttpd_epi32(low), _mm_cvttpd_epi32(high));
}
#endif

#if defined(TESSELOR_AVX2_KERNELS)
[[gnu::target("avx2")]] int AdjustedDifferenceAvx2(const uint8_t* a, const uint8_t* b, int count,
                                                   double gain) {
  const __m256d gains = _mm256_set1_pd(gain);
  const __m256i byteMax = _mm256_set1_epi32(255);
  __m256i total = _mm256_setzero_si256();  // eight 32-bit partial sums
  int i = 0;
  for (; i + 8 <= count; i += 8) {
    __m128i low;
    __m128i high;
    TimesGainEight(a + i, gains, low, high);
    const __m256i adjusted = _mm256_min_epi32(_mm256_set_m128i(high, low), byteMax);
    const __m256i cell =
        _mm256_cvtepu8_epi32(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(b + i)));
    total = _mm256_add_epi32(total, _mm256_abs_epi32(_mm256_sub_epi32(adjusted, cell)));
  }
  alignas(32) int32_t lanes[8];
  _mm256_store_si256(reinterpret_cast<__m256i*>(lanes), total);
  int sum = 0;
  for (const int32_t lane : lanes) sum += lane;
  for (; i < count; ++i) sum += std::abs(AdjustedValue(a[i], gain) - b[i]);
  return sum;
}
#endif

}  // namespace

int AbsoluteDifference(const uint8_t* a, const uint8_t* b, int count) {
  int sum = 0;
  int i = 0;
#if defined(__SSE2__)
  __m128i total = _mm_setzero_si128();
  for (; i + 16 <= count; i += 16) {
    const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(a + i));
    const __m128i y = _mm_loadu_si128(reinterpret_cast<const __m128i*>(b + i));
    total = _mm_add_epi64(total, _mm_sad_epu8(x, y));
  }
  sum = _mm_cvtsi128_si32(total) + _mm_cvtsi128_si32(_mm_unpackhi_epi64(total, total));
#endif
  for (; i < count; ++i) sum += std::abs(a[i] - b[i]);
  return sum;
}

void AdjustEight(const uint8_t* values, double gain, uint8_t* out) {
#if defined(__SSE2__)
  const __m128d gains = _mm_set1_pd(gain);
  // Both packs saturate, the second to 0 to 255: AdjustedValue's clamp.
  const __m128i words = _mm_packs_epi32(TimesGain(values, gains), TimesGain(values + 4, gains));
  const __m128i bytes = _mm_packus_epi16(words, words);
  _mm_storel_epi64(reinterpret_cast<__m128i*>(out), bytes);
#else
  for (int i = 0; i < 8; ++i) out[i] = static_cast<uint8_t>(AdjustedValue(values[i], gain));
#endif
}

int AdjustedDifference(const uint8_t* a, const uint8_t* b, int count, double gain) {
#if defined(TESSELOR_AVX2_KERNELS)
  if (HasAvx2()) return AdjustedDifferenceAvx2(a, b, count, gain);
#endif
  int sum = 0;
  int i = 0;
#if defined(__SSE2__)
  const __m128i zero = _mm_setzero_si128();
  const __m128i byteMax = _mm_set1_epi16(255);
  const __m128d gains = _mm_set1_pd(gain);
  __m128i total = _mm_setzero_si128();  // four 32-bit partial sums
  for (; i + 4 <= count; i += 4) {
    int32_t cellBytes;
    std::memcpy(&cellBytes, b + i, 4);
    // Values are at most 2 x 255 here, so 16 bits hold them before the clamp.
    const __m128i adjusted = _mm_min_epi16(_mm_packs_epi32(TimesGain(a + i, gains), zero), byteMax);
    const __m128i cell = _mm_unpacklo_epi8(_mm_cvtsi32_si128(cellBytes), zero);
    const __m128i difference = _mm_sub_epi16(adjusted, cell);
    const __m128i absolute = _mm_max_epi16(difference, _mm_sub_epi16(zero, difference));
    total = _mm_add_epi32(total, _mm_unpacklo_epi16(absolute, zero));
  }
  alignas(16) int32_t lanes[4];
  _mm_store_si128(reinterpret_cast<__m128i*>(lanes), total);
  sum = lanes[0] + lanes[1] + lanes[2] + lanes[3];
#endif
  for (; i < count; ++i) sum += std::abs(AdjustedValue(a[i], gain) - b[i]);
  return sum;
}

}  // namespace tesselor
