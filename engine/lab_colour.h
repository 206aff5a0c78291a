// CIELAB colours for the perceptual metric: sRGB bytes through linear light
// and D65 XYZ to L*, a*, b*, and the Delta-E 1976 distance between two.
#pragma once

#include <array>
#include <cstdint>

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

}  // namespace tesselor
