#include "imagelib/tiff_data_checks.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "imagelib/text_exception.h"

namespace tesselor {

namespace {
// Bytes one compressed byte can expand into: PackBits repeats a byte up to
// 128 times for two, deflate reaches about 1032 to 1, LZW's longest codes a
// little more.
constexpr int64_t kPackBitsExpansion = 64;
constexpr int64_t kDictionaryExpansion = 2048;
}  // namespace

int64_t TiffMostPixelsPerByte(TIFF* tiff, int bitsPerPixel) {
  uint16_t compression = COMPRESSION_NONE;
  TIFFGetFieldDefaulted(tiff, TIFFTAG_COMPRESSION, &compression);
  int64_t expansion = 0;
  if (compression == COMPRESSION_NONE) expansion = 1;
  if (compression == COMPRESSION_PACKBITS) expansion = kPackBitsExpansion;
  if (compression == COMPRESSION_LZW || compression == COMPRESSION_ADOBE_DEFLATE ||
      compression == COMPRESSION_DEFLATE)
    expansion = kDictionaryExpansion;
  if (expansion == 0) return 0;
  return expansion * 8 / (bitsPerPixel > 0 ? bitsPerPixel : 1) + 1;
}

void RefuseSharedStrips(TIFF* tiff) {
  const uint32_t count = TIFFIsTiled(tiff) ? TIFFNumberOfTiles(tiff) : TIFFNumberOfStrips(tiff);
  std::vector<std::pair<uint64_t, uint64_t>> spans;  // first byte, byte count
  spans.reserve(count);
  for (uint32_t i = 0; i < count; ++i) {
    const uint64_t bytes = TIFFGetStrileByteCount(tiff, i);
    // A strip without data is only missing, and shares nothing.
    if (bytes > 0) spans.emplace_back(TIFFGetStrileOffset(tiff, i), bytes);
  }
  std::sort(spans.begin(), spans.end());
  for (size_t i = 1; i < spans.size(); ++i)
    if (spans[i].first - spans[i - 1].first < spans[i - 1].second)
      RaiseError(kErrInconsistent, "TIFF strips share their data.");
}

}  // namespace tesselor
