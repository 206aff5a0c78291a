#include "engine/lab_colour.h"

#include <cmath>
#include <cstring>

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

const LinearTable& Linear() {
  static const LinearTable table;
  return table;
}

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

// The CIELAB companding function f(t), linear near black.
float LabF(float t) {
  constexpr float kEdge = 216.0f / 24389.0f;    // (6/29)^3
  constexpr float kSlope = 24389.0f / 3132.0f;  // 1 / (3 (6/29)^2)
  return t > kEdge ? CubeRoot(t) : kSlope * t + 4.0f / 29.0f;
}

}  // namespace

LabColour LabFromRgb(uint8_t red, uint8_t green, uint8_t blue) {
  const LinearTable& linear = Linear();
  const float r = linear.value[red];
  const float g = linear.value[green];
  const float b = linear.value[blue];
  // Linear sRGB to XYZ, each divided by the D65 white's coordinate.
  const float x = (0.4124564f * r + 0.3575761f * g + 0.1804375f * b) * (1.0f / 0.95047f);
  const float y = 0.2126729f * r + 0.7151522f * g + 0.0721750f * b;
  const float z = (0.0193339f * r + 0.1191920f * g + 0.9503041f * b) * (1.0f / 1.08883f);
  const float fx = LabF(x);
  const float fy = LabF(y);
  const float fz = LabF(z);
  return {116.0f * fy - 16.0f, 500.0f * (fx - fy), 200.0f * (fy - fz)};
}

float DeltaE(const LabColour& x, const LabColour& y) {
  const float dl = x.l - y.l;
  const float da = x.a - y.a;
  const float db = x.b - y.b;
  return std::sqrt(dl * dl + da * da + db * db);
}

}  // namespace tesselor
