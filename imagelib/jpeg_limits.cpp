#include "imagelib/jpeg_limits.h"

#include <algorithm>
#include <climits>

#include "imagelib/decode_limits.h"

namespace tesselor {

namespace {
// Four components of two-byte coefficients for every pixel.
constexpr int64_t kMostCoefficientBytesPerPixel = 8;
}  // namespace

void BoundJpegMemory(j_decompress_ptr cinfo) {
  const int64_t budget = PixelBudget();
  cinfo->mem->max_memory_to_use =
      static_cast<long>(std::min<int64_t>(budget, LONG_MAX / kMostCoefficientBytesPerPixel) *
                        kMostCoefficientBytesPerPixel);
}

bool JpegScansOverLimit(j_decompress_ptr cinfo) {
  return cinfo->input_scan_number > kMostJpegScans;
}

int64_t JpegMostPixelsPerByte(j_decompress_ptr cinfo) {
  return cinfo->arith_code ? 0 : kMostPixelsPerByte;
}

}  // namespace tesselor
