// Floors under the lightness gaps of a tile's adjusted samples from a
// cell's, worked out from the tile's unadjusted lightness alone: they let
// the Lab metric turn most tiles away before it converts any of their
// samples.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "engine/colour_gains.h"
#include "engine/lab_colour.h"

namespace tesselor {

// The most samples LightnessGapFloor takes.
constexpr int kGapFloorSamples = 2 * kLabBatch;

// A floor under the sum over i below count (1 to kGapFloorSamples) of
// |L_i - L_c|, L_i being the lightness StartAdjustedLabBatch gives the i-th
// tile sample under gains and L_c the cell sample's, whatever their float
// rounding. It needs no colour conversion. Every argument holds lightness
// plus 16 (116 times the companded Y): that of each tile sample as it is
// (tile) and with two taken off each channel's byte, held at 0
// (tileLessTwo), and that of each cell sample (cell). It reads all three in
// runs of eight, on past count.
float LightnessGapFloor(const float* tile, const float* tileLessTwo, const ColourGains& gains,
                        const float* cell, int count);

// LightnessGapFloor for sixteen tiles at a time, a little coarser: the
// gains are worked out from the averages rather than looked up. What it
// reads of the tiles lies in planes of one value a tile, each plane stride
// values after the one before, from the first of the sixteen on:
//   planes 0 to 15: the lightness plus 16 of floor sample i, as it is;
//   planes 16 to 31: the same with two taken off each byte;
//   planes 32 to 34: one over each channel's average (kZeroInverse for 0).
constexpr size_t kLessTwoPlanes = kGapFloorSamples;
constexpr size_t kInverseAveragePlanes = 2 * kGapFloorSamples;
constexpr size_t kFloorScreenPlanes = kInverseAveragePlanes + kChannels;
constexpr float kZeroInverse = 1e30f;
struct FloorScreenTiles {
  const float* planes = nullptr;
  size_t stride = 0;
};
// And of the cell.
struct FloorScreenCell {
  const float* lightness = nullptr;  // of its floor samples, plus 16
  std::array<float, kChannels> average{};
  float leastGain = 1;   // no gain at this colour adjustment lies below it
  float mostGain = 1;    // or above it
  int floorSamples = 0;  // how many samples the floor takes
  int samples = 0;       // how many a score averages over
};
constexpr int kFloorScreenTiles = 16;

// Whether WithinLightnessFloor screens at limit (a float no lower than the
// walk's limit): the processor has AVX2 and there is a limit.
bool LightnessFloorScreens(float limit);
// Clears the bits of close whose tiles the floor puts over limit, the i-th
// tile's average distance from the cell being distances[i]. Only where
// LightnessFloorScreens; elsewhere close comes back as it is.
uint32_t WithinLightnessFloor(const FloorScreenTiles& tiles, const FloorScreenCell& cell,
                              const float* distances, uint32_t close, float limit);

}  // namespace tesselor
