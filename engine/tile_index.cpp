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

#include "engine/cpu_features.h"
#include "engine/sample_arithmetic.h"

namespace tesselor {

static_assert(kLabBatch == 8, "a Lab batch is adjusted eight samples at a time");

namespace {

int SampleAxisCount(int tileSize, int step) {
  return (tileSize + step - 1) / step;
}

// Gathers the compared values of one n x n plane, columns outer, rows inner.
void GatherSamples(const uint8_t* plane, int tileSize, int step, uint8_t* out) {
  for (int u = 0; u < tileSize; u += step)
    for (int v = 0; v < tileSize; v += step) *out++ = plane[v * tileSize + u];
}

// What WithinLightnessFloor reads of a cell: the lightness plus 16 of its
// first floorSamples samples, its averages, and the bounds GainsFor holds
// every gain to at colourAdjust.
FloorScreenCell FloorScreenCellFor(const std::array<float, kGapFloorSamples>& lightness,
                                   int floorSamples, int samples,
                                   const std::array<int, kChannels>& average, int colourAdjust) {
  FloorScreenCell cell;
  cell.lightness = lightness.data();
  for (size_t c = 0; c < kChannels; ++c) cell.average[c] = static_cast<float>(average[c]);
  const GainRange gains = GainRangeFor(colourAdjust);
  cell.leastGain = FloatNotAbove(gains.least);
  cell.mostGain = FloatNotBelow(gains.most);
  cell.floorSamples = floorSamples;
  cell.samples = samples;
  return cell;
}

}  // namespace

#if defined(TESSELOR_AVX2_KERNELS)
namespace {

// What the spread floor reads of sixteen tiles side by side, and of the cell.
struct FloorInputs {
  std::array<const uint8_t*, kChannels> average;  // the tiles', from the first of them
  std::array<const double*, kChannels> mean;
  std::array<const double*, kChannels> deviation;
  std::array<const double*, kChannels> largest;
  std::array<const double*, kChannels> gains;  // the gain table's rows for the cell's averages
  std::array<double, kChannels> cellAverage;
  std::array<double, kChannels> cellMean;
  std::array<double, kChannels> cellDeviation;
};

[[gnu::target("avx2"), gnu::always_inline]] inline __m256d Absolute(__m256d x) {
  return _mm256_andnot_pd(_mm256_set1_pd(-0.0), x);
}

// Bit i set where averageDifference + SampleTermFloor of tile i, with the
// gains of the gain table, stays within limit; the same operations in the
// same order, four tiles a step.
[[gnu::target("avx2")]] uint32_t SpreadFloorsWithin(const FloorInputs& in, uint32_t close,
                                                    double limit) {
  const __m256d zero = _mm256_setzero_pd();
  const __m256d half = _mm256_set1_pd(0.5);
  uint32_t within = 0;
  for (size_t i = 0; i < 16; i += 4) {
    if ((close >> i & 0xFu) == 0) continue;
    __m256d averageDifference = zero;
    __m256d floor = zero;
    for (size_t c = 0; c < kChannels; ++c) {
      int32_t bytes;
      std::memcpy(&bytes, in.average[c] + i, 4);
      const __m128i tileAverages = _mm_cvtepu8_epi32(_mm_cvtsi32_si128(bytes));
      averageDifference = _mm256_add_pd(averageDifference,
                                        Absolute(_mm256_sub_pd(_mm256_set1_pd(in.cellAverage[c]),
                                                               _mm256_cvtepi32_pd(tileAverages))));
      // The masked form, every lane on: the plain one leaves GCC warning of
      // an undefined source it never reads.
      const __m256d gain = _mm256_mask_i32gather_pd(zero, in.gains[c], tileAverages,
                                                    _mm256_castsi256_pd(_mm256_set1_epi64x(-1)), 8);
      const __m256d largest = _mm256_loadu_pd(in.largest[c] + i);
      const __m256d usable =
          _mm256_cmp_pd(_mm256_mul_pd(gain, largest), _mm256_set1_pd(255), _CMP_LE_OQ);
      const __m256d deviationGap =
          Absolute(_mm256_sub_pd(_mm256_mul_pd(gain, _mm256_loadu_pd(in.deviation[c] + i)),
                                 _mm256_set1_pd(in.cellDeviation[c])));
      const __m256d meanGap = Absolute(
          _mm256_sub_pd(_mm256_sub_pd(_mm256_mul_pd(gain, _mm256_loadu_pd(in.mean[c] + i)), half),
                        _mm256_set1_pd(in.cellMean[c])));
      const __m256d channelFloor = _mm256_sub_pd(_mm256_sub_pd(deviationGap, meanGap), half);
      floor = _mm256_add_pd(floor, _mm256_and_pd(usable, _mm256_max_pd(channelFloor, zero)));
    }
    const __m256d bound =
        _mm256_add_pd(averageDifference, _mm256_sub_pd(floor, _mm256_set1_pd(1e-9)));
    const int lanes = _mm256_movemask_pd(_mm256_cmp_pd(bound, _mm256_set1_pd(limit), _CMP_LE_OQ));
    within |= static_cast<uint32_t>(lanes) << i;
  }
  return close & within;
}

}  // namespace
#endif

TileIndex::TileIndex(const TileSet& tiles, int accuracyStep, ColourMetric metric)
    : tileSize_(tiles.Count() > 0 ? tiles[0].Size() : 0),
      step_(accuracyStep),
      samplesPerChannel_(tileSize_ > 0 ? SampleAxisCount(tileSize_, accuracyStep) *
                                             SampleAxisCount(tileSize_, accuracyStep)
                                       : 0),
      metric_(metric) {
  const int count = tiles.Count();
  byKey_.reserve(static_cast<size_t>(count));
  for (int t = 0; t < count; ++t) {
    const TileBuffer& tile = tiles[t];
    const std::array<uint8_t, kChannels> average{tile.Average(0), tile.Average(1), tile.Average(2)};
    const double key = metric == ColourMetric::kLab
                           ? LabFromRgb(average[0], average[1], average[2]).l
                           : average[0] + average[1] + average[2];
    byKey_.push_back({key, t, tiles.Origin(t).photo, average});
  }
  std::sort(byKey_.begin(), byKey_.end(), [](const Entry& a, const Entry& b) {
    return a.key != b.key ? a.key < b.key : a.tile < b.tile;
  });
  keyPosition_.resize(byKey_.size());
  for (size_t k = 0; k < byKey_.size(); ++k) keyPosition_[static_cast<size_t>(byKey_[k].tile)] = k;
  // Padded so that a batch of Lab samples may read a whole batch past the end.
  samples_.resize(static_cast<size_t>(count) * kChannels * samplesPerChannel_ + kLabBatch);
  if (metric == ColourMetric::kLab) {
    // A screened block may reach past the last tile; those lanes are never read.
    floorPlaneStride_ = byKey_.size() + kScanBlock;
    floorPlanes_.resize(kFloorScreenPlanes * floorPlaneStride_);
  }
  for (size_t k = 0; k < byKey_.size(); ++k) {
    const Entry& entry = byKey_[k];
    uint8_t* out = samples_.data() + k * kChannels * samplesPerChannel_;
    for (int c = 0; c < kChannels; ++c)
      GatherSamples(tiles[entry.tile].Plane(c), tileSize_, step_, out + c * samplesPerChannel_);
    for (int c = 0; c < kChannels; ++c)
      averagePlanes_[static_cast<size_t>(c)].push_back(entry.average[static_cast<size_t>(c)]);
    if (metric == ColourMetric::kLab) {
      AddFloorLightness(k, out);
      const LabColour lab = LabFromRgb(entry.average[0], entry.average[1], entry.average[2]);
      averageLab_[0].push_back(lab.l);
      averageLab_[1].push_back(lab.a);
      averageLab_[2].push_back(lab.b);
    } else {
      const Spreads spreads = SpreadsOf(out, samplesPerChannel_);
      for (size_t c = 0; c < kChannels; ++c) {
        spreads_.mean[c].push_back(spreads[c].mean);
        spreads_.deviation[c].push_back(spreads[c].deviation);
        spreads_.largest[c].push_back(spreads[c].largest);
      }
    }
  }
  // A screened block may reach past the last tile; those lanes are never read.
  for (std::vector<uint8_t>& plane : averagePlanes_) plane.resize(byKey_.size() + kScanBlock);
  if (metric == ColourMetric::kLab) {
    for (std::vector<float>& plane : averageLab_) plane.resize(byKey_.size() + kScanBlock);
    // LightnessGapFloor reads the last tile's in runs of eight.
    lightness_.resize(lightness_.size() + kLabBatch);
    lightnessLessTwo_.resize(lightnessLessTwo_.size() + kLabBatch);
  } else
    for (auto* field : {&spreads_.mean, &spreads_.deviation, &spreads_.largest})
      for (std::vector<double>& plane : *field) plane.resize(byKey_.size() + kScanBlock);
}

void TileIndex::AddFloorLightness(size_t k, const uint8_t* samples) {
  const int m = samplesPerChannel_;
  const int count = std::min(m, kGapFloorSamples);
  const auto plane = [&](size_t p) { return floorPlanes_.begin() + p * floorPlaneStride_ + k; };
  for (int first = 0; first < count; first += kLabBatch) {
    std::array<std::array<uint8_t, kLabBatch>, kChannels> bytes{};
    std::array<std::array<uint8_t, kLabBatch>, kChannels> lessTwo{};
    for (int c = 0; c < kChannels; ++c)
      for (int i = first; i < std::min(count, first + kLabBatch); ++i) {
        const uint8_t value = samples[c * m + i];
        bytes[c][i - first] = value;
        lessTwo[c][i - first] = static_cast<uint8_t>(std::max(value - 2, 0));
      }
    LabBatch lab;
    LabBatch labLessTwo;
    LabFromRgbBatch(bytes[0].data(), bytes[1].data(), bytes[2].data(), lab);
    LabFromRgbBatch(lessTwo[0].data(), lessTwo[1].data(), lessTwo[2].data(), labLessTwo);
    for (int i = 0; i < std::min(kLabBatch, count - first); ++i) {
      const auto sample = static_cast<size_t>(first + i);
      lightness_.push_back(lab.l[size_t(i)] + 16.0f);
      lightnessLessTwo_.push_back(labLessTwo.l[size_t(i)] + 16.0f);
      *plane(sample) = lightness_.back();
      *plane(kLessTwoPlanes + sample) = lightnessLessTwo_.back();
    }
  }
  for (size_t c = 0; c < kChannels; ++c) {
    const uint8_t average = byKey_[k].average[c];
    *plane(kInverseAveragePlanes + c) = average > 0 ? 1.0f / average : kZeroInverse;
  }
}

TileIndex::Spreads TileIndex::SpreadsOf(const uint8_t* samples, int samplesPerChannel) {
  Spreads spreads{};
  for (int c = 0; c < kChannels; ++c) {
    const uint8_t* values = samples + c * samplesPerChannel;
    int sum = 0;
    for (int i = 0; i < samplesPerChannel; ++i) {
      sum += values[i];
      spreads[c].largest = std::max<int>(spreads[c].largest, values[i]);
    }
    const double mean = static_cast<double>(sum) / samplesPerChannel;
    double deviation = 0;
    for (int i = 0; i < samplesPerChannel; ++i) deviation += std::abs(values[i] - mean);
    spreads[c] = {mean, deviation / samplesPerChannel, spreads[c].largest};
  }
  return spreads;
}

TileIndex::Spreads TileIndex::SpreadsAt(size_t k) const {
  Spreads spreads;
  for (size_t c = 0; c < kChannels; ++c)
    spreads[c] = {spreads_.mean[c][k], spreads_.deviation[c][k],
                  static_cast<int>(spreads_.largest[c][k])};
  return spreads;
}

double TileIndex::SampleTermFloor(const Spreads& tile, const Spreads& cell,
                                  const ColourGains& gains) {
  // Per channel, with x = gain x tile value: the adjusted value is x
  // truncated, so within a half of x - 1/2; and the mean distance of x - 1/2
  // from the cell's values is at least the gap of their deviations less the
  // gap of their means. A channel whose adjusted values may be held to 255
  // gives no floor.
  double floor = 0;
  for (int c = 0; c < kChannels; ++c) {
    const double gain = gains.channel[c];
    if (gain * tile[c].largest > 255) continue;
    const double channelFloor = std::abs(gain * tile[c].deviation - cell[c].deviation) -
                                std::abs(gain * tile[c].mean - 0.5 - cell[c].mean) - 0.5;
    floor += std::max(0.0, channelFloor);
  }
  // Rounding in the score's own arithmetic must not lift the floor over it.
  return floor - 1e-9;
}

double TileIndex::SampleDifference(const uint8_t* tileSamples, const uint8_t* cellSamples,
                                   const ColourGains& gains, int averageDifference,
                                   double limit) const {
  const int m = samplesPerChannel_;
  // The remaining channels only add, so a partial sum bounds the score. A
  // sum one past the limit's share is over it beyond any rounding, and the
  // test needs no division per channel.
  const double most = (limit - averageDifference) * m + 1;
  int sum = 0;
  for (int c = 0; c < kChannels; ++c) {
    const double gain = gains.channel[c];
    const uint8_t* a = tileSamples + c * m;
    const uint8_t* b = cellSamples + c * m;
    sum += gain == 1.0 ? AbsoluteDifference(a, b, m) : AdjustedDifference(a, b, m, gain);
    if (sum > most) return std::numeric_limits<double>::infinity();
  }
  return sum;
}

namespace {

// The summed square roots may round a hair under the gaps, and the gaps are
// summed in float and in another order than the score's distances; the
// factor keeps a bound made of gaps below the score it stands for.
constexpr double kBelowScore = 1 - 1e-6;

// The Lab limit as a sum of the m sample distances, so that the give-up
// tests divide nothing, a hair over it so that its own rounding cannot give
// up on a tile that ties.
double LabSumLimit(double limit, double averageDistance, int m) {
  return (limit - averageDistance) * m + 1e-6;
}

}  // namespace

bool TileIndex::LightnessRulesOut(size_t k, const float* cellLightness, const ColourGains& gains,
                                  double averageDistance, double limit) const {
  const int count = std::min(samplesPerChannel_, kGapFloorSamples);
  const size_t from = k * static_cast<size_t>(count);
  const float floor = LightnessGapFloor(lightness_.data() + from, lightnessLessTwo_.data() + from,
                                        gains, cellLightness, count);
  return floor * kBelowScore > LabSumLimit(limit, averageDistance, samplesPerChannel_);
}

double TileIndex::LabSampleDifference(const uint8_t* tileSamples, const LabBatch* cellSamples,
                                      const ColourGains& gains, double averageDistance,
                                      double limit, LabScratch& scratch) const {
  const int m = samplesPerChannel_;
  const auto batches = static_cast<size_t>((m + kLabBatch - 1) / kLabBatch);
  const auto samplesIn = [&](size_t b) { return std::min(kLabBatch, m - int(b) * kLabBatch); };
  const double most = LabSumLimit(limit, averageDistance, m);
  // A tile given up on scores as infinity.
  constexpr double kOver = std::numeric_limits<double>::infinity();
  // No distance is below its lightness gap, and lightness costs one cube
  // root of the three, so the gaps of every sample come first: they bound
  // the score from below before any a* or b* is paid for, already while
  // they are summed, and the gaps still to come keep bounding it while the
  // distances are summed.
  double gapsSoFar = 0;
  for (size_t b = 0; b < batches; ++b) {
    // A short last batch reads on into the next channel's samples, or the
    // padding after the last tile's; those lanes are never added.
    const uint8_t* red = tileSamples + int(b) * kLabBatch;
    const double gaps = StartAdjustedLabBatch(red, red + m, red + 2 * m, gains, cellSamples[b],
                                              samplesIn(b), scratch.starts[b], scratch.tiles[b]);
    scratch.lightnessFrom[b] = gaps;
    gapsSoFar += gaps;
    if (gapsSoFar * kBelowScore > most) return kOver;
  }
  // lightnessFrom[b]: the summed gaps of batches b onward.
  scratch.lightnessFrom[batches] = 0;
  for (size_t b = batches; b-- > 0;) scratch.lightnessFrom[b] += scratch.lightnessFrom[b + 1];
  double sum = 0;
  for (size_t b = 0; b < batches; ++b) {
    if ((sum + scratch.lightnessFrom[b]) * kBelowScore > most) return kOver;
    LabBatch& tile = scratch.tiles[b];
    FinishLabBatch(scratch.starts[b], tile);
    const std::array<float, kLabBatch> distances = DeltaEBatch(tile, cellSamples[b]);
    for (int i = 0; i < samplesIn(b); ++i) sum += distances[i];
  }
  return sum;
}

namespace {

// The first `wanted` slots of the fixed candidate list.
struct SlotsWanted {
  CandidateList list;
  int lastWanted;

  double Limit() const {
    const Candidate& last = list.Slot(lastWanted);
    // Until the last wanted slot is filled any tile may still take it.
    return last.tile >= 0 ? last.score : std::numeric_limits<double>::infinity();
  }
  void Insert(double score, int tile, const ColourGains& gains) { list.Insert(score, tile, gains); }
};

// The `wanted` best tiles, every score listed.
struct DeepList {
  std::vector<Candidate> best;
  size_t wanted;
  // The walk asks for the limit at every tile it passes, so it is kept
  // rather than worked out: the last score once the list is full.
  double limit = std::numeric_limits<double>::infinity();

  double Limit() const { return limit; }
  void Insert(double score, int tile, const ColourGains& gains) {
    const auto place = std::find_if(best.begin(), best.end(), [&](const Candidate& other) {
      return score < other.score || (score == other.score && tile < other.tile);
    });
    if (place == best.end() && best.size() >= wanted) return;
    best.insert(place, {score, tile, gains});
    if (best.size() > wanted) best.pop_back();
    if (best.size() == wanted) limit = best.back().score;
  }
};

}  // namespace

template <class List>
void TileIndex::Walk(const CellBuffer& cell, int colourAdjust, const std::vector<uint8_t>* excluded,
                     const std::vector<int>* seeds, List& list) const {
  if (byKey_.empty()) return;
  const int m = samplesPerChannel_;
  std::array<uint8_t, kChannels * kTileEdge * kTileEdge> cellSamples;
  for (int c = 0; c < kChannels; ++c)
    GatherSamples(cell.planes[c].data(), tileSize_, step_, cellSamples.data() + c * m);

  const bool lab = metric_ == ColourMetric::kLab;
  const Spreads cellSpreads = lab ? Spreads{} : SpreadsOf(cellSamples.data(), m);
  std::vector<LabBatch> cellLab;
  // The lightness plus 16 of the first samples, in a row.
  std::array<float, kGapFloorSamples> cellLightness{};
  LabScratch labScratch;
  LabColour cellAverageLab;
  FloorScreenCell floorScreenCell;
  double cellKey = cell.average[0] + cell.average[1] + cell.average[2];
  if (lab) {
    // Converted once per cell, in batches padded with black.
    const auto batches = static_cast<size_t>((m + kLabBatch - 1) / kLabBatch);
    cellLab.resize(batches);
    labScratch.starts.resize(batches);
    labScratch.tiles.resize(batches);
    labScratch.lightnessFrom.resize(batches + 1);
    for (int first = 0; first < m; first += kLabBatch) {
      std::array<std::array<uint8_t, kLabBatch>, kChannels> bytes{};
      for (int c = 0; c < kChannels; ++c)
        for (int i = first; i < std::min(m, first + kLabBatch); ++i)
          bytes[c][i - first] = cellSamples[c * m + i];
      LabFromRgbBatch(bytes[0].data(), bytes[1].data(), bytes[2].data(),
                      cellLab[static_cast<size_t>(first / kLabBatch)]);
    }
    for (int i = 0; i < std::min(m, kGapFloorSamples); ++i)
      cellLightness[static_cast<size_t>(i)] =
          cellLab[size_t(i / kLabBatch)].l[size_t(i % kLabBatch)] + 16.0f;
    cellAverageLab =
        LabFromRgb(static_cast<uint8_t>(cell.average[0]), static_cast<uint8_t>(cell.average[1]),
                   static_cast<uint8_t>(cell.average[2]));
    cellKey = cellAverageLab.l;
    floorScreenCell = FloorScreenCellFor(cellLightness, std::min(m, kGapFloorSamples), m,
                                         cell.average, colourAdjust);
  }

  // Cell averages are byte means, so the table covers them; a cell made by
  // hand with others still scores through GainsFor itself.
  const GainTable* gainTable = GainTable::For(colourAdjust);
  for (const int average : cell.average)
    if (average < 0 || average > 255) gainTable = nullptr;
  const auto gainsFor = [&](const Entry& entry) {
    return gainTable ? gainTable->Gains(cell.average, entry.average)
                     : GainsFor(cell.average, entry.average, colourAdjust);
  };

  // The Lab screen works out the average distances of a block anyway, so
  // scoring takes them from there rather than again. consider(k, lane)
  // scores tile k, lane its lane in the screened block, or kNoLane for a
  // tile scored before the walk.
  std::array<float, kScanBlock> screenedDistances;
  bool spreadScreened = false;     // whether the rgb screen applied the spread floor
  bool lightnessScreened = false;  // whether the Lab screen applied the lightness floor
  constexpr size_t kNoLane = kScanBlock;
  const auto consider = [&](size_t k, size_t lane) {
    const Entry& entry = byKey_[k];
    const int t = entry.tile;
    if (excluded && (*excluded)[static_cast<size_t>(entry.photo)]) return;
    const double bound = list.Limit();
    const uint8_t* tileSamples = samples_.data() + k * kChannels * m;
    // Lists the tile if its score, the average term plus the mean sample
    // term, comes within bound. A tile given up on sums to infinity and
    // spares the division.
    const auto insertWithin = [&](double averageTerm, double sampleSum, const ColourGains& gains) {
      if (sampleSum == std::numeric_limits<double>::infinity()) return;
      const double score = averageTerm + sampleSum / m;
      if (score <= bound) list.Insert(score, t, gains);
    };
    if (lab) {
      const double averageDistance =
          lane != kNoLane
              ? screenedDistances[lane]
              : DeltaE(cellAverageLab, {averageLab_[0][k], averageLab_[1][k], averageLab_[2][k]});
      if (averageDistance > bound) return;
      const ColourGains gains = gainsFor(entry);
      // Most tiles that come this far go no further than this floor, which
      // costs a small part of converting their samples. The screen has held
      // the tiles of its block to it already.
      if (!(lane != kNoLane && lightnessScreened) &&
          LightnessRulesOut(k, cellLightness.data(), gains, averageDistance, bound))
        return;
      insertWithin(averageDistance,
                   LabSampleDifference(tileSamples, cellLab.data(), gains, averageDistance, bound,
                                       labScratch),
                   gains);
      return;
    }
    int averageDifference = 0;
    for (int c = 0; c < kChannels; ++c)
      averageDifference += std::abs(cell.average[c] - entry.average[c]);
    if (averageDifference > bound) return;
    const ColourGains gains = gainsFor(entry);
    // The spread screen has held the tiles of its block to the floor
    // already; where the bound has fallen since, the sample sum gives up
    // early instead.
    if (!(lane != kNoLane && spreadScreened) &&
        averageDifference + SampleTermFloor(SpreadsAt(k), cellSpreads, gains) > bound)
      return;
    insertWithin(averageDifference,
                 SampleDifference(tileSamples, cellSamples.data(), gains, averageDifference, bound),
                 gains);
  };

  std::array<size_t, kCandidateSlots> seeded;
  size_t seedCount = 0;
  const auto isSeeded = [&](size_t k) {
    return std::find(seeded.begin(), seeded.begin() + seedCount, k) != seeded.begin() + seedCount;
  };
  if (seeds)
    for (const int tile : *seeds) {
      const size_t k = keyPosition_[static_cast<size_t>(tile)];
      if (seedCount == seeded.size() || isSeeded(k)) continue;
      seeded[seedCount++] = k;
      consider(k, kNoLane);
    }
  // The walk passes the seeds by: each tile is scored once.
  const auto visit = [&](size_t k, size_t lane) {
    if (!isSeeded(k)) consider(k, lane);
  };

  // The tiles of a block that may still come within the limit as it stands.
  const auto screen = [&](size_t first) {
    const double limit = list.Limit();
    if (lab) {
      // Both tests compare floats, against the least float not below limit
      // so as to screen out only what limit would.
      const float most = FloatNotBelow(limit);
      const uint32_t close = CloseLabAverages(first, cellAverageLab, most, screenedDistances);
      lightnessScreened = LightnessFloorScreens(most);
      return WithinLightnessFloor({floorPlanes_.data() + first, floorPlaneStride_}, floorScreenCell,
                                  screenedDistances.data(), close, most);
    }
    const uint32_t close = CloseAverages(first, cell.average, limit);
    spreadScreened = SpreadScreenApplies(gainTable, limit);
    return spreadScreened
               ? WithinSpreadFloor(first, close, cell.average, cellSpreads, *gainTable, limit)
               : close;
  };

  // Lightness gaps come out of float arithmetic that the distances round
  // differently, so the Lab walk goes a hair further than the bound says.
  const double keySlack = lab ? 1e-3 : 0.0;
  // Walk outward from the cell's key, nearer side first.
  size_t above =
      static_cast<size_t>(std::lower_bound(byKey_.begin(), byKey_.end(), cellKey,
                                           [](const Entry& e, double key) { return e.key < key; }) -
                          byKey_.begin());
  size_t below = above;
  while (true) {
    const bool haveAbove = above != byKey_.size();
    const bool haveBelow = below != 0;
    if (!haveAbove && !haveBelow) break;
    const double gapAbove =
        haveAbove ? byKey_[above].key - cellKey : std::numeric_limits<double>::infinity();
    const double gapBelow =
        haveBelow ? cellKey - byKey_[below - 1].key : std::numeric_limits<double>::infinity();
    if (std::min(gapAbove, gapBelow) > list.Limit() + keySlack) break;
    // A block of tiles on the nearer side at a time: their averages are
    // screened together against the limit as it stands (it only falls), and
    // the side ends where the key gap passes the limit.
    if (gapAbove <= gapBelow) {
      const size_t end = std::min(byKey_.size(), above + kScanBlock);
      const uint32_t close = screen(above);
      for (const size_t first = above; above < end; ++above) {
        if (byKey_[above].key - cellKey > list.Limit() + keySlack) break;
        if (close >> (above - first) & 1) visit(above, above - first);
      }
    } else {
      const size_t first = below >= kScanBlock ? below - kScanBlock : 0;
      const uint32_t close = screen(first);
      for (; below > first; --below) {
        if (cellKey - byKey_[below - 1].key > list.Limit() + keySlack) break;
        if (close >> (below - 1 - first) & 1) visit(below - 1, below - 1 - first);
      }
    }
  }
}

uint32_t TileIndex::CloseAverages(size_t first, const std::array<int, kChannels>& cellAverage,
                                  double limit) const {
  // No three byte differences sum past 765.
  if (!(limit < 765)) return ~0u;
  const int most = static_cast<int>(limit);  // the sums are whole, so this is the same test
#if defined(__SSE2__)
  const __m128i zero = _mm_setzero_si128();
  __m128i low = zero;
  __m128i high = zero;
  for (int c = 0; c < kChannels; ++c) {
    const __m128i tile = _mm_loadu_si128(
        reinterpret_cast<const __m128i*>(averagePlanes_[static_cast<size_t>(c)].data() + first));
    const __m128i mine = _mm_set1_epi8(static_cast<char>(cellAverage[static_cast<size_t>(c)]));
    const __m128i difference = _mm_or_si128(_mm_subs_epu8(tile, mine), _mm_subs_epu8(mine, tile));
    low = _mm_add_epi16(low, _mm_unpacklo_epi8(difference, zero));
    high = _mm_add_epi16(high, _mm_unpackhi_epi8(difference, zero));
  }
  const __m128i bound = _mm_set1_epi16(static_cast<int16_t>(most));
  const __m128i over = _mm_packs_epi16(_mm_cmpgt_epi16(low, bound), _mm_cmpgt_epi16(high, bound));
  return ~static_cast<uint32_t>(_mm_movemask_epi8(over)) & 0xFFFFu;
#else
  uint32_t close = 0;
  for (int i = 0; i < kScanBlock; ++i) {
    int sum = 0;
    for (int c = 0; c < kChannels; ++c)
      sum += std::abs(averagePlanes_[static_cast<size_t>(c)][first + static_cast<size_t>(i)] -
                      cellAverage[static_cast<size_t>(c)]);
    if (sum <= most) close |= 1u << i;
  }
  return close;
#endif
}

bool TileIndex::SpreadScreenApplies(const GainTable* gainTable, double limit) {
#if defined(TESSELOR_AVX2_KERNELS)
  return gainTable && HasAvx2() && limit < std::numeric_limits<double>::infinity();
#else
  (void)gainTable, (void)limit;
  return false;
#endif
}

uint32_t TileIndex::WithinSpreadFloor(size_t first, uint32_t close,
                                      const std::array<int, kChannels>& cellAverage,
                                      const Spreads& cell, const GainTable& gainTable,
                                      double limit) const {
#if defined(TESSELOR_AVX2_KERNELS)
  static_assert(kScanBlock == 16, "the floors are worked out for sixteen tiles");
  if (close == 0) return close;
  FloorInputs in;
  for (size_t c = 0; c < kChannels; ++c) {
    in.average[c] = averagePlanes_[c].data() + first;
    in.mean[c] = spreads_.mean[c].data() + first;
    in.deviation[c] = spreads_.deviation[c].data() + first;
    in.largest[c] = spreads_.largest[c].data() + first;
    in.gains[c] = gainTable.Row(cellAverage[c]);
    in.cellAverage[c] = cellAverage[c];
    in.cellMean[c] = cell[c].mean;
    in.cellDeviation[c] = cell[c].deviation;
  }
  return SpreadFloorsWithin(in, close, limit);
#else
  (void)first, (void)cellAverage, (void)cell, (void)gainTable, (void)limit;
  return close;
#endif
}

uint32_t TileIndex::CloseLabAverages(size_t first, const LabColour& cellAverage, float limit,
                                     std::array<float, kScanBlock>& distances) const {
  const std::array<float, kChannels> mine{cellAverage.l, cellAverage.a, cellAverage.b};
  uint32_t close = 0;
#if defined(__SSE2__)
  for (size_t i = 0; i < kScanBlock; i += 4) {
    // DeltaE's own operations in its order, so each lane is its distance.
    __m128 squares = _mm_setzero_ps();
    for (size_t c = 0; c < kChannels; ++c) {
      const __m128 gap = _mm_sub_ps(_mm_set1_ps(mine[c]), _mm_loadu_ps(&averageLab_[c][first + i]));
      squares = c == 0 ? _mm_mul_ps(gap, gap) : _mm_add_ps(squares, _mm_mul_ps(gap, gap));
    }
    const __m128 distance = _mm_sqrt_ps(squares);
    _mm_storeu_ps(distances.data() + i, distance);
    close |= static_cast<uint32_t>(_mm_movemask_ps(_mm_cmple_ps(distance, _mm_set1_ps(limit))))
             << i;
  }
#else
  for (size_t i = 0; i < kScanBlock; ++i) {
    distances[i] = DeltaE(cellAverage, {averageLab_[0][first + i], averageLab_[1][first + i],
                                        averageLab_[2][first + i]});
    if (distances[i] <= limit) close |= 1u << i;
  }
#endif
  // No limit yet: every tile, whatever its distance.
  return limit < std::numeric_limits<float>::infinity() ? close : ~0u;
}

CandidateList TileIndex::Rank(const CellBuffer& cell, int colourAdjust, int wanted,
                              std::vector<int>* seeds) const {
  SlotsWanted slots{{}, std::clamp(wanted, 1, kCandidateSlots) - 1};
  Walk(cell, colourAdjust, nullptr, seeds, slots);
  if (seeds) {
    seeds->clear();
    for (int slot = 0; slot <= slots.lastWanted; ++slot)
      if (slots.list.Slot(slot).tile >= 0) seeds->push_back(slots.list.Slot(slot).tile);
  }
  return slots.list;
}

std::vector<Candidate> TileIndex::RankDeep(const CellBuffer& cell, int colourAdjust, int wanted,
                                           const std::vector<uint8_t>* excluded,
                                           std::vector<int>* seeds) const {
  DeepList deep{{}, static_cast<size_t>(std::max(wanted, 1))};
  deep.best.reserve(deep.wanted + 1);
  Walk(cell, colourAdjust, excluded, seeds, deep);
  if (seeds) {
    seeds->clear();
    for (const Candidate& c : deep.best) seeds->push_back(c.tile);
  }
  return std::move(deep.best);
}

}  // namespace tesselor
