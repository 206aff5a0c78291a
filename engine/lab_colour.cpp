#include "engine/lab_colour.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

#include "engine/cpu_features.h"
#include "engine/lane_sums.h"
#include "engine/sample_arithmetic.h"
#include "engine/times_gain_avx2.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace tesselor {

namespace {

// sRGB decoding of each byte value to linear light, computed once.
struct LinearTable {
  std::array<float, 256> value{};
  LinearTable() {
    for (int i = 0; i < 256; ++i) {
      const double c = i / 255.0;
      value[static_cast<size_t>(i)] =
          static_cast<float>(c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4));
    }
  }
};

// Made as the program starts, so that the batch kernels read it with no
// guard to pass; no static initialiser converts colours.
const LinearTable kLinearTable;

const LinearTable& Linear() { return kLinearTable; }

// Cube root for the range Lab needs (about 0.008 to 1.1): a guess from the
// exponent bits and three Newton steps reach float precision at a fraction
// of the library call's cost, which matters as every scored sample takes
// three of them.
float CubeRoot(float x) {
  uint32_t bits;
  std::memcpy(&bits, &x, sizeof bits);
  bits = bits / 3 + 709921077u;
  float y;
  std::memcpy(&y, &bits, sizeof y);
  for (int step = 0; step < 3; ++step) y = (2.0f * y + x / (y * y)) * (1.0f / 3.0f);
  return y;
}

constexpr float kLabEdge = 216.0f / 24389.0f;    // (6/29)^3
constexpr float kLabSlope = 24389.0f / 3132.0f;  // 1 / (3 (6/29)^2)

// The CIELAB companding function f(t), linear near black.
float LabF(float t) {
  return t > kLabEdge ? CubeRoot(t) : kLabSlope * t + 4.0f / 29.0f;
}

// Linear sRGB to XYZ, and the D65 white's X and Z.
constexpr float kXr = 0.4124564f, kXg = 0.3575761f, kXb = 0.1804375f;
constexpr float kYr = 0.2126729f, kYg = 0.7151522f, kYb = 0.0721750f;
constexpr float kZr = 0.0193339f, kZg = 0.1191920f, kZb = 0.9503041f;
constexpr float kWhiteX = 0.95047f, kWhiteZ = 1.08883f;

// The companded Y of linear light r, g, b: lightness follows from it alone.
float CompandedY(float r, float g, float b) {
  return LabF(kYr * r + kYg * g + kYb * b);
}

// a* and b* of linear light r, g, b whose companded Y is fy. X and Z are
// each divided by the D65 white's coordinate.
void Chroma(float r, float g, float b, float fy, float& a, float& bOut) {
  const float fx = LabF((kXr * r + kXg * g + kXb * b) * (1.0f / kWhiteX));
  const float fz = LabF((kZr * r + kZg * g + kZb * b) * (1.0f / kWhiteZ));
  a = 500.0f * (fx - fy);
  bOut = 200.0f * (fy - fz);
}

}  // namespace

LabColour LabFromRgb(uint8_t red, uint8_t green, uint8_t blue) {
  const LinearTable& linear = Linear();
  const float r = linear.value[red];
  const float g = linear.value[green];
  const float b = linear.value[blue];
  const float fy = CompandedY(r, g, b);
  LabColour lab{116.0f * fy - 16.0f, 0, 0};
  Chroma(r, g, b, fy, lab.a, lab.b);
  return lab;
}

float DeltaE(const LabColour& x, const LabColour& y) {
  const float dl = x.l - y.l;
  const float da = x.a - y.a;
  const float db = x.b - y.b;
  return std::sqrt(dl * dl + da * da + db * db);
}

#if defined(__SSE2__)
namespace {

// CubeRoot on four lanes, step for step: the same guess and Newton steps in
// the same float operations, which SSE rounds as the scalar code does.
__m128 CubeRoot4(__m128 x) {
  const __m128i bits = _mm_castps_si128(x);
  // bits / 3 in each unsigned lane: the product with 0xAAAAAAAB over 2^33,
  // taken for the even lanes and then for the odd ones.
  const __m128i magic = _mm_set1_epi32(static_cast<int>(0xAAAAAAABu));
  const __m128i even = _mm_srli_epi64(_mm_mul_epu32(bits, magic), 33);
  const __m128i odd = _mm_srli_epi64(_mm_mul_epu32(_mm_srli_epi64(bits, 32), magic), 33);
  const __m128i third = _mm_or_si128(even, _mm_slli_epi64(odd, 32));
  __m128 y = _mm_castsi128_ps(_mm_add_epi32(third, _mm_set1_epi32(709921077)));
  const __m128 two = _mm_set1_ps(2.0f);
  const __m128 oneThird = _mm_set1_ps(1.0f / 3.0f);
  for (int step = 0; step < 3; ++step)
    y = _mm_mul_ps(_mm_add_ps(_mm_mul_ps(two, y), _mm_div_ps(x, _mm_mul_ps(y, y))), oneThird);
  return y;
}

__m128 LabF4(__m128 t) {
  const __m128 aboveEdge = _mm_cmpgt_ps(t, _mm_set1_ps(kLabEdge));
  const __m128 linear =
      _mm_add_ps(_mm_mul_ps(_mm_set1_ps(kLabSlope), t), _mm_set1_ps(4.0f / 29.0f));
  return _mm_or_ps(_mm_and_ps(aboveEdge, CubeRoot4(t)), _mm_andnot_ps(aboveEdge, linear));
}

__m128 Weighted(__m128 r, __m128 g, __m128 b, float wr, float wg, float wb) {
  return _mm_add_ps(_mm_add_ps(_mm_mul_ps(_mm_set1_ps(wr), r), _mm_mul_ps(_mm_set1_ps(wg), g)),
                    _mm_mul_ps(_mm_set1_ps(wb), b));
}

#if defined(TESSELOR_AVX2_KERNELS)
// The same steps on a whole batch at once, operation for operation, so
// each lane rounds as CubeRoot4's, LabF4's and Weighted's do.
[[gnu::target("avx2"), gnu::always_inline]] inline __m256 CubeRoot8(__m256 x) {
  const __m256i bits = _mm256_castps_si256(x);
  const __m256i magic = _mm256_set1_epi32(static_cast<int>(0xAAAAAAABu));
  const __m256i even = _mm256_srli_epi64(_mm256_mul_epu32(bits, magic), 33);
  const __m256i odd = _mm256_srli_epi64(_mm256_mul_epu32(_mm256_srli_epi64(bits, 32), magic), 33);
  const __m256i third = _mm256_or_si256(even, _mm256_slli_epi64(odd, 32));
  __m256 y = _mm256_castsi256_ps(_mm256_add_epi32(third, _mm256_set1_epi32(709921077)));
  const __m256 two = _mm256_set1_ps(2.0f);
  const __m256 oneThird = _mm256_set1_ps(1.0f / 3.0f);
  for (int step = 0; step < 3; ++step)
    y = _mm256_mul_ps(_mm256_add_ps(_mm256_mul_ps(two, y), _mm256_div_ps(x, _mm256_mul_ps(y, y))),
                      oneThird);
  return y;
}

[[gnu::target("avx2"), gnu::always_inline]] inline __m256 LabF8(__m256 t) {
  const __m256 aboveEdge = _mm256_cmp_ps(t, _mm256_set1_ps(kLabEdge), _CMP_GT_OS);
  const __m256 linear =
      _mm256_add_ps(_mm256_mul_ps(_mm256_set1_ps(kLabSlope), t), _mm256_set1_ps(4.0f / 29.0f));
  return _mm256_or_ps(_mm256_and_ps(aboveEdge, CubeRoot8(t)), _mm256_andnot_ps(aboveEdge, linear));
}

[[gnu::target("avx2"), gnu::always_inline]] inline __m256 Weighted8(__m256 r, __m256 g, __m256 b,
                                                                    float wr, float wg, float wb) {
  return _mm256_add_ps(
      _mm256_add_ps(_mm256_mul_ps(_mm256_set1_ps(wr), r), _mm256_mul_ps(_mm256_set1_ps(wg), g)),
      _mm256_mul_ps(_mm256_set1_ps(wb), b));
}

// table[i] for each of eight indices. Read one by one, they cost less than
// a gather instruction on some processors (a fifth less in all on AMD's Zen
// 3) and no more on others.
[[gnu::target("avx2"), gnu::always_inline]] inline __m256 TableLookup8(const float* table,
                                                                       __m256i indices) {
  const __m128i low = _mm256_castsi256_si128(indices);
  const __m128i high = _mm256_extracti128_si256(indices, 1);
  const auto a = static_cast<uint64_t>(_mm_cvtsi128_si64(low));
  const auto b = static_cast<uint64_t>(_mm_extract_epi64(low, 1));
  const auto c = static_cast<uint64_t>(_mm_cvtsi128_si64(high));
  const auto d = static_cast<uint64_t>(_mm_extract_epi64(high, 1));
  const __m128 first =
      _mm_setr_ps(table[uint32_t(a)], table[a >> 32], table[uint32_t(b)], table[b >> 32]);
  const __m128 second =
      _mm_setr_ps(table[uint32_t(c)], table[c >> 32], table[uint32_t(d)], table[d >> 32]);
  return _mm256_set_m128(second, first);
}

// The linear light of eight bytes, from the table.
[[gnu::target("avx2"), gnu::always_inline]] inline __m256 Linear8(const float* table,
                                                                  const uint8_t* bytes) {
  return TableLookup8(
      table, _mm256_cvtepu8_epi32(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(bytes))));
}

// Stores the start of a batch from its linear light and returns its
// lightness.
[[gnu::target("avx2"), gnu::always_inline]] inline __m256 StartFromLinear8(__m256 r, __m256 g,
                                                                           __m256 b,
                                                                           LabBatchStart& start,
                                                                           LabBatch& out) {
  const __m256 fy = LabF8(Weighted8(r, g, b, kYr, kYg, kYb));
  _mm256_storeu_ps(start.red.data(), r);
  _mm256_storeu_ps(start.green.data(), g);
  _mm256_storeu_ps(start.blue.data(), b);
  _mm256_storeu_ps(start.fy.data(), fy);
  const __m256 l = _mm256_sub_ps(_mm256_mul_ps(_mm256_set1_ps(116.0f), fy), _mm256_set1_ps(16.0f));
  _mm256_storeu_ps(out.l.data(), l);
  return l;
}

[[gnu::target("avx2")]] void StartLabBatchAvx2(const uint8_t* red, const uint8_t* green,
                                               const uint8_t* blue, LabBatchStart& start,
                                               LabBatch& out) {
  const float* table = Linear().value.data();
  StartFromLinear8(Linear8(table, red), Linear8(table, green), Linear8(table, blue), start, out);
}

// The linear light of eight tile values adjusted by gain: AdjustedValue's
// clamp on the products, then the table.
[[gnu::target("avx2"), gnu::always_inline]] inline __m256 AdjustedLinear8(const float* table,
                                                                          const uint8_t* values,
                                                                          double gain) {
  __m128i low;
  __m128i high;
  TimesGainEight(values, _mm256_set1_pd(gain), low, high);
  const __m256i adjusted =
      _mm256_min_epi32(_mm256_max_epi32(_mm256_set_m128i(high, low), _mm256_setzero_si256()),
                       _mm256_set1_epi32(255));
  return TableLookup8(table, adjusted);
}

[[gnu::target("avx2")]] float StartAdjustedLabBatchAvx2(const uint8_t* red, const uint8_t* green,
                                                        const uint8_t* blue,
                                                        const ColourGains& gains,
                                                        const LabBatch& cell, int count,
                                                        LabBatchStart& start, LabBatch& out) {
  const float* table = Linear().value.data();
  const __m256 l = StartFromLinear8(AdjustedLinear8(table, red, gains.channel[0]),
                                    AdjustedLinear8(table, green, gains.channel[1]),
                                    AdjustedLinear8(table, blue, gains.channel[2]), start, out);
  const __m256 kept =
      _mm256_loadu_ps(reinterpret_cast<const float*>(kLaneBelow + kLabBatch - count));
  const __m256 magnitude = _mm256_castsi256_ps(_mm256_set1_epi32(0x7FFFFFFF));
  const __m256 gaps = _mm256_and_ps(
      _mm256_and_ps(_mm256_sub_ps(l, _mm256_loadu_ps(cell.l.data())), magnitude), kept);
  // The halves added first, as LightnessGapSum's two steps of four do.
  return LaneSum(_mm_add_ps(_mm256_castps256_ps128(gaps), _mm256_extractf128_ps(gaps, 1)));
}

[[gnu::target("avx2")]] void FinishLabBatchAvx2(const LabBatchStart& start, LabBatch& out) {
  const __m256 r = _mm256_loadu_ps(start.red.data());
  const __m256 g = _mm256_loadu_ps(start.green.data());
  const __m256 b = _mm256_loadu_ps(start.blue.data());
  const __m256 fy = _mm256_loadu_ps(start.fy.data());
  const __m256 x = _mm256_mul_ps(Weighted8(r, g, b, kXr, kXg, kXb), _mm256_set1_ps(1.0f / kWhiteX));
  const __m256 z = _mm256_mul_ps(Weighted8(r, g, b, kZr, kZg, kZb), _mm256_set1_ps(1.0f / kWhiteZ));
  _mm256_storeu_ps(out.a.data(),
                   _mm256_mul_ps(_mm256_set1_ps(500.0f), _mm256_sub_ps(LabF8(x), fy)));
  _mm256_storeu_ps(out.b.data(),
                   _mm256_mul_ps(_mm256_set1_ps(200.0f), _mm256_sub_ps(fy, LabF8(z))));
}
static_assert(kLabBatch == 8, "an AVX register holds one batch");
#endif

}  // namespace

void StartLabBatch(const uint8_t* red, const uint8_t* green, const uint8_t* blue,
                   LabBatchStart& start, LabBatch& out) {
#if defined(TESSELOR_AVX2_KERNELS)
  if (HasAvx2()) return StartLabBatchAvx2(red, green, blue, start, out);
#endif
  const LinearTable& linear = Linear();
  const auto lanes = [&](const uint8_t* bytes, int i) {
    return _mm_setr_ps(linear.value[bytes[i]], linear.value[bytes[i + 1]],
                       linear.value[bytes[i + 2]], linear.value[bytes[i + 3]]);
  };
  for (int i = 0; i < kLabBatch; i += 4) {
    const __m128 r = lanes(red, i);
    const __m128 g = lanes(green, i);
    const __m128 b = lanes(blue, i);
    const __m128 y = Weighted(r, g, b, kYr, kYg, kYb);
    const __m128 fy = LabF4(y);
    _mm_store_ps(start.red.data() + i, r);
    _mm_store_ps(start.green.data() + i, g);
    _mm_store_ps(start.blue.data() + i, b);
    _mm_store_ps(start.fy.data() + i, fy);
    _mm_store_ps(out.l.data() + i,
                 _mm_sub_ps(_mm_mul_ps(_mm_set1_ps(116.0f), fy), _mm_set1_ps(16.0f)));
  }
}

void FinishLabBatch(const LabBatchStart& start, LabBatch& out) {
#if defined(TESSELOR_AVX2_KERNELS)
  if (HasAvx2()) return FinishLabBatchAvx2(start, out);
#endif
  for (int i = 0; i < kLabBatch; i += 4) {
    const __m128 r = _mm_load_ps(start.red.data() + i);
    const __m128 g = _mm_load_ps(start.green.data() + i);
    const __m128 b = _mm_load_ps(start.blue.data() + i);
    const __m128 fy = _mm_load_ps(start.fy.data() + i);
    const __m128 x = _mm_mul_ps(Weighted(r, g, b, kXr, kXg, kXb), _mm_set1_ps(1.0f / kWhiteX));
    const __m128 z = _mm_mul_ps(Weighted(r, g, b, kZr, kZg, kZb), _mm_set1_ps(1.0f / kWhiteZ));
    const __m128 fx = LabF4(x);
    const __m128 fz = LabF4(z);
    _mm_store_ps(out.a.data() + i, _mm_mul_ps(_mm_set1_ps(500.0f), _mm_sub_ps(fx, fy)));
    _mm_store_ps(out.b.data() + i, _mm_mul_ps(_mm_set1_ps(200.0f), _mm_sub_ps(fy, fz)));
  }
}

std::array<float, kLabBatch> DeltaEBatch(const LabBatch& x, const LabBatch& y) {
  alignas(16) std::array<float, kLabBatch> distances;
  for (int i = 0; i < kLabBatch; i += 4) {
    const __m128 dl = _mm_sub_ps(_mm_load_ps(x.l.data() + i), _mm_load_ps(y.l.data() + i));
    const __m128 da = _mm_sub_ps(_mm_load_ps(x.a.data() + i), _mm_load_ps(y.a.data() + i));
    const __m128 db = _mm_sub_ps(_mm_load_ps(x.b.data() + i), _mm_load_ps(y.b.data() + i));
    const __m128 squares =
        _mm_add_ps(_mm_add_ps(_mm_mul_ps(dl, dl), _mm_mul_ps(da, da)), _mm_mul_ps(db, db));
    _mm_store_ps(distances.data() + i, _mm_sqrt_ps(squares));
  }
  return distances;
}

float LightnessGapSum(const LabBatch& x, const LabBatch& y, int count) {
  const __m128 magnitude = _mm_castsi128_ps(_mm_set1_epi32(0x7FFFFFFF));
  __m128 total = _mm_setzero_ps();
  for (int i = 0; i < kLabBatch; i += 4) {
    const __m128 kept =
        _mm_loadu_ps(reinterpret_cast<const float*>(kLaneBelow + kLabBatch - count + i));
    const __m128 gap = _mm_sub_ps(_mm_load_ps(x.l.data() + i), _mm_load_ps(y.l.data() + i));
    total = _mm_add_ps(total, _mm_and_ps(_mm_and_ps(gap, magnitude), kept));
  }
  return LaneSum(total);
}
#else
void StartLabBatch(const uint8_t* red, const uint8_t* green, const uint8_t* blue,
                   LabBatchStart& start, LabBatch& out) {
  const LinearTable& linear = Linear();
  for (int i = 0; i < kLabBatch; ++i) {
    start.red[i] = linear.value[red[i]];
    start.green[i] = linear.value[green[i]];
    start.blue[i] = linear.value[blue[i]];
    start.fy[i] = CompandedY(start.red[i], start.green[i], start.blue[i]);
    out.l[i] = 116.0f * start.fy[i] - 16.0f;
  }
}

void FinishLabBatch(const LabBatchStart& start, LabBatch& out) {
  for (int i = 0; i < kLabBatch; ++i)
    Chroma(start.red[i], start.green[i], start.blue[i], start.fy[i], out.a[i], out.b[i]);
}

std::array<float, kLabBatch> DeltaEBatch(const LabBatch& x, const LabBatch& y) {
  std::array<float, kLabBatch> distances;
  for (int i = 0; i < kLabBatch; ++i)
    distances[i] = DeltaE({x.l[i], x.a[i], x.b[i]}, {y.l[i], y.a[i], y.b[i]});
  return distances;
}

float LightnessGapSum(const LabBatch& x, const LabBatch& y, int count) {
  float total = 0;
  for (int i = 0; i < count; ++i) total += std::abs(x.l[i] - y.l[i]);
  return total;
}
#endif

float StartAdjustedLabBatch(const uint8_t* red, const uint8_t* green, const uint8_t* blue,
                            const ColourGains& gains, const LabBatch& cell, int count,
                            LabBatchStart& start, LabBatch& out) {
#if defined(TESSELOR_AVX2_KERNELS)
  if (HasAvx2()) return StartAdjustedLabBatchAvx2(red, green, blue, gains, cell, count, start, out);
#endif
  std::array<std::array<uint8_t, kLabBatch>, 3> adjusted;
  const uint8_t* values[3] = {red, green, blue};
  for (size_t c = 0; c < adjusted.size(); ++c)
    AdjustEight(values[c], gains.channel[c], adjusted[c].data());
  StartLabBatch(adjusted[0].data(), adjusted[1].data(), adjusted[2].data(), start, out);
  return LightnessGapSum(out, cell, count);
}

float FloatNotBelow(double x) {
  const auto nearest = static_cast<float>(x);
  return nearest < x ? std::nextafter(nearest, std::numeric_limits<float>::infinity()) : nearest;
}

float FloatNotAbove(double x) {
  const auto nearest = static_cast<float>(x);
  return nearest > x ? std::nextafter(nearest, -std::numeric_limits<float>::infinity()) : nearest;
}

void LabFromRgbBatch(const uint8_t* red, const uint8_t* green, const uint8_t* blue, LabBatch& out) {
  LabBatchStart start;
  StartLabBatch(red, green, blue, start, out);
  FinishLabBatch(start, out);
}

}  // namespace tesselor
