#include "cli/print_size.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace tesselor::cli {

namespace {

constexpr double kCentimetresPerInch = 2.54;

// A positive, finite number at text, and where it ended.
std::optional<double> ParseLength(const char* text, char** end) {
  if (*text < '0' || *text > '9') return std::nullopt;  // no sign, no space, no "inf"
  const double value = std::strtod(text, end);
  if (!(value > 0.0 && std::isfinite(value))) return std::nullopt;
  return value;
}

}  // namespace

std::optional<PrintSize> ParsePrintSize(const std::string& text) {
  char* end = nullptr;
  const std::optional<double> width = ParseLength(text.c_str(), &end);
  if (!width || (*end != 'x' && *end != 'X')) return std::nullopt;
  const std::optional<double> height = ParseLength(end + 1, &end);
  if (!height) return std::nullopt;
  const std::string unit = end;
  if (unit == "in") return PrintSize{*width, *height};
  if (unit == "cm") return PrintSize{*width / kCentimetresPerInch, *height / kCentimetresPerInch};
  return std::nullopt;
}

PixelSize PixelsFor(const PrintSize& print, int dpi) {
  const auto pixels = [dpi](double inches) {
    // Sizes past any bitmap stay far inside int64_t: the caller refuses them.
    const double exact = std::min(inches * dpi, 1e15);
    return std::max<int64_t>(1, std::llround(exact));
  };
  return {pixels(print.widthInches), pixels(print.heightInches)};
}

double MagnificationReaching(int64_t wanted, int source) {
  double magnification = static_cast<double>(wanted) / source;
  while (static_cast<int64_t>(source * magnification) < wanted)
    magnification = std::nextafter(magnification, 2 * magnification);
  return magnification;
}

}  // namespace tesselor::cli
