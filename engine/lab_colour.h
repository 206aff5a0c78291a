// CIELAB colours for the perceptual metric: sRGB bytes through linear light
// and D65 XYZ to L*, a*, b*, and the Delta-E 1976 distance between two.
#pragma once

#include <array>
#include <cstdint>

#include "engine/colour_gains.h"

namespace tesselor {

struct LabColour {
  float l = 0;
  float a = 0;
  float b = 0;
};

// The Lab colour of an sRGB pixel given as red, green, blue bytes.
LabColour LabFromRgb(uint8_t red, uint8_t green, uint8_t blue);

// Euclidean distance in Lab (Delta-E 1976).
float DeltaE(const LabColour& x, const LabColour& y);

// Lab colours of kLabBatch pixels side by side, one array a component, so
// that scoring converts and compares several samples in one go.
constexpr int kLabBatch = 8;
struct LabBatch {
  alignas(16) std::array<float, kLabBatch> l{};
  alignas(16) std::array<float, kLabBatch> a{};
  alignas(16) std::array<float, kLabBatch> b{};
};

// LabFromRgb of red[i], green[i], blue[i] for each i below kLabBatch, to the
// bit: a batch scores exactly as the samples one by one would.
void LabFromRgbBatch(const uint8_t* red, const uint8_t* green, const uint8_t* blue, LabBatch& out);

// The same in two steps. Lightness alone takes one cube root of the three
// and already bounds a distance from below, so scoring can give up on a tile
// before it pays for a* and b*. StartLabBatch fills out.l and what
// FinishLabBatch needs to fill out.a and out.b; together they give
// LabFromRgbBatch's bits.
struct LabBatchStart {
  alignas(16) std::array<float, kLabBatch> red{};  // linear light
  alignas(16) std::array<float, kLabBatch> green{};
  alignas(16) std::array<float, kLabBatch> blue{};
  alignas(16) std::array<float, kLabBatch> fy{};  // the companded Y
};
void StartLabBatch(const uint8_t* red, const uint8_t* green, const uint8_t* blue,
                   LabBatchStart& start, LabBatch& out);
void FinishLabBatch(const LabBatchStart& start, LabBatch& out);

// StartLabBatch of eight tile samples whose red, green and blue values are
// first taken through AdjustedValue with gains' channels, returning the
// LightnessGapSum of the batch against cell over count lanes: the first step
// of scoring a batch of samples, in one go.
float StartAdjustedLabBatch(const uint8_t* red, const uint8_t* green, const uint8_t* blue,
                            const ColourGains& gains, const LabBatch& cell, int count,
                            LabBatchStart& start, LabBatch& out);

// The least float not below x, and the greatest not above it: a float test
// against them screens out only what the test against x would.
float FloatNotBelow(double x);
float FloatNotAbove(double x);

// DeltaE of the i-th colours of x and y for each i, to the bit.
std::array<float, kLabBatch> DeltaEBatch(const LabBatch& x, const LabBatch& y);

// The sum of |x.l[i] - y.l[i]| over the first count lanes (1 to kLabBatch),
// in float, added in any order: within a few parts in ten million of the
// exact sum, so fit for a bound that allows for that.
float LightnessGapSum(const LabBatch& x, const LabBatch& y, int count);

}  // namespace tesselor
