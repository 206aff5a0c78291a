#include "engine/tile_index.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace tesselor {

namespace {

int SampleAxisCount(int tileSize, int step) {
  return (tileSize + step - 1) / step;
}

// Gathers the compared values of one n x n plane, columns outer, rows inner.
void GatherSamples(const uint8_t* plane, int tileSize, int step, uint8_t* out) {
  for (int u = 0; u < tileSize; u += step)
    for (int v = 0; v < tileSize; v += step) *out++ = plane[v * tileSize + u];
}

// Sum of |a[i] - b[i]|: the whole comparison when a channel's gain is 1.
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

// Sum of |AdjustedValue(a[i], gain) - b[i]|, in the same double arithmetic:
// SSE2's double multiply and truncating conversion are the scalar ones.
int AdjustedDifference(const uint8_t* a, const uint8_t* b, int count, double gain) {
  int sum = 0;
  int i = 0;
#if defined(__SSE2__)
  const __m128i zero = _mm_setzero_si128();
  const __m128i byteMax = _mm_set1_epi16(255);
  const __m128d gains = _mm_set1_pd(gain);
  __m128i total = _mm_setzero_si128();  // four 32-bit partial sums
  for (; i + 4 <= count; i += 4) {
    int32_t tileBytes, cellBytes;
    std::memcpy(&tileBytes, a + i, 4);
    std::memcpy(&cellBytes, b + i, 4);
    const __m128i tile32 =
        _mm_unpacklo_epi16(_mm_unpacklo_epi8(_mm_cvtsi32_si128(tileBytes), zero), zero);
    const __m128d low = _mm_mul_pd(_mm_cvtepi32_pd(tile32), gains);
    const __m128d high = _mm_mul_pd(_mm_cvtepi32_pd(_mm_shuffle_epi32(tile32, 0x4E)), gains);
    const __m128i adjusted32 = _mm_unpacklo_epi64(_mm_cvttpd_epi32(low), _mm_cvttpd_epi32(high));
    // Values are at most 2 x 255 here, so 16 bits hold them before the clamp.
    const __m128i adjusted = _mm_min_epi16(_mm_packs_epi32(adjusted32, zero), byteMax);
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

}  // namespace

TileIndex::TileIndex(const TileSet& tiles, int accuracyStep)
    : tiles_(tiles),
      tileSize_(tiles.Count() > 0 ? tiles[0].Size() : 0),
      step_(accuracyStep),
      samplesPerChannel_(tileSize_ > 0 ? SampleAxisCount(tileSize_, accuracyStep) *
                                             SampleAxisCount(tileSize_, accuracyStep)
                                       : 0) {
  const int count = tiles.Count();
  byTotal_.reserve(static_cast<size_t>(count));
  samples_.resize(static_cast<size_t>(count) * kChannels * samplesPerChannel_);
  for (int t = 0; t < count; ++t) {
    const TileBuffer& tile = tiles[t];
    byTotal_.push_back({tile.Average(0) + tile.Average(1) + tile.Average(2),
                        t,
                        {tile.Average(0), tile.Average(1), tile.Average(2)}});
    uint8_t* out = samples_.data() + static_cast<size_t>(t) * kChannels * samplesPerChannel_;
    for (int c = 0; c < kChannels; ++c)
      GatherSamples(tile.Plane(c), tileSize_, step_, out + c * samplesPerChannel_);
  }
  std::sort(byTotal_.begin(), byTotal_.end(), [](const Entry& a, const Entry& b) {
    return a.averageTotal != b.averageTotal ? a.averageTotal < b.averageTotal : a.tile < b.tile;
  });
}

int TileIndex::SampleDifference(const uint8_t* tileSamples, const uint8_t* cellSamples,
                                const ColourGains& gains, int averageDifference,
                                double limit) const {
  const int m = samplesPerChannel_;
  int sum = 0;
  for (int c = 0; c < kChannels; ++c) {
    const double gain = gains.channel[c];
    const uint8_t* a = tileSamples + c * m;
    const uint8_t* b = cellSamples + c * m;
    sum += gain == 1.0 ? AbsoluteDifference(a, b, m) : AdjustedDifference(a, b, m, gain);
    // The remaining channels only add, so this partial score is a bound.
    if (averageDifference + static_cast<double>(sum) / m > limit) return sum;
  }
  return sum;
}

CandidateList TileIndex::Rank(const CellBuffer& cell, int colourAdjust, int wanted) const {
  CandidateList list;
  if (byTotal_.empty()) return list;
  const int m = samplesPerChannel_;
  std::array<uint8_t, kChannels * kTileEdge * kTileEdge> cellSamples;
  for (int c = 0; c < kChannels; ++c)
    GatherSamples(cell.planes[c].data(), tileSize_, step_, cellSamples.data() + c * m);

  const int cellTotal = cell.average[0] + cell.average[1] + cell.average[2];
  const int lastWanted = std::clamp(wanted, 1, kCandidateSlots) - 1;
  // Until the last wanted slot is filled any tile may still take it.
  const auto limit = [&] {
    const Candidate& last = list.Slot(lastWanted);
    return last.tile >= 0 ? last.score : std::numeric_limits<double>::infinity();
  };

  const auto consider = [&](const Entry& entry) {
    const int t = entry.tile;
    int averageDifference = 0;
    for (int c = 0; c < kChannels; ++c)
      averageDifference += std::abs(cell.average[c] - entry.average[c]);
    const double bound = limit();
    if (averageDifference > bound) return;
    const ColourGains gains = GainsFor(cell, tiles_[t], colourAdjust);
    const uint8_t* tileSamples = samples_.data() + static_cast<size_t>(t) * kChannels * m;
    const int sum =
        SampleDifference(tileSamples, cellSamples.data(), gains, averageDifference, bound);
    const double score = averageDifference + static_cast<double>(sum) / m;
    // A tile that gave up early carries a partial score; it cannot be placed.
    if (score <= bound) list.Insert(score, t, gains);
  };

  // Walk outward from the cell's total, nearer side first.
  auto above = std::lower_bound(byTotal_.begin(), byTotal_.end(), cellTotal,
                                [](const Entry& e, int total) { return e.averageTotal < total; });
  auto below = above;
  while (true) {
    const bool haveAbove = above != byTotal_.end();
    const bool haveBelow = below != byTotal_.begin();
    if (!haveAbove && !haveBelow) break;
    const int gapAbove =
        haveAbove ? above->averageTotal - cellTotal : std::numeric_limits<int>::max();
    const int gapBelow =
        haveBelow ? cellTotal - (below - 1)->averageTotal : std::numeric_limits<int>::max();
    if (std::min(gapAbove, gapBelow) > limit()) break;
    if (gapAbove <= gapBelow)
      consider(*above++);
    else
      consider(*--below);
  }
  return list;
}

}  // namespace tesselor
