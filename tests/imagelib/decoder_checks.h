// Checks every format decoder's tests share: decoding a file or bytes,
// comparing with ImageMagick's reading of the same file, and feeding a
// decoder cut-short and scrambled copies of a good file.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "imagelib/data_source.h"
#include "imagelib/draw_dib_bmp.h"
#include "imagelib/pic_decoder.h"
#include "imagelib/text_exception.h"
#include "tests/imagelib/tool_images.h"

namespace tesselor::testing {

inline void DecodeBytes(CPicDecoder& decoder, const std::vector<uint8_t>& bytes, CBmp& bmp,
                        int bitsPerPixel = 32, const std::string& name = "memory") {
  CMemorySource source(bytes.data(), static_cast<int64_t>(bytes.size()), name);
  decoder.DecodeSource(source, bmp, bitsPerPixel);
}

// The code and text a decode of bytes fails with; code 0 when it succeeds.
inline CTextException DecodeFailure(CPicDecoder& decoder, const std::vector<uint8_t>& bytes,
                                    int bitsPerPixel = 32, const std::string& name = "memory") {
  CDrawDibBmp bmp;
  try {
    DecodeBytes(decoder, bytes, bmp, bitsPerPixel, name);
  } catch (const CTextException& e) {
    return e;
  }
  return CTextException(0, "");
}

// Runs ImageMagick's convert with the given arguments; false when it failed.
inline bool Convert(const std::string& arguments) {
  return RunCommand("convert " + arguments + " 2>/dev/null") == 0;
}

// Samples as ImageMagick reads them, turned upright: it keeps bottom-up
// files in file order and only notes their orientation.
inline std::vector<uint8_t> UprightMagickSamples(const std::string& path,
                                                 const std::string& format) {
  return CaptureOutput("convert '" + path + "[0]' -auto-orient -depth 8 " + format +
                       ":- 2>/dev/null");
}

// The largest sample difference between our 32-bit decoding of path and
// ImageMagick's.
inline int DifferenceFromMagick(const CBmp& bmp, const std::string& path) {
  return MaxDifference(FromBitmap(bmp),
                       RgbImage{bmp.width, bmp.height, UprightMagickSamples(path, "rgb")});
}

// Alpha samples as ImageMagick reads them, top line first.
inline std::vector<uint8_t> MagickAlpha(const std::string& path) {
  const std::vector<uint8_t> rgba = UprightMagickSamples(path, "rgba");
  std::vector<uint8_t> alpha;
  for (size_t i = 3; i < rgba.size(); i += 4) alpha.push_back(rgba[i]);
  return alpha;
}

inline std::vector<uint8_t> BitmapAlpha(const CBmp& bmp) {
  std::vector<uint8_t> alpha;
  for (int y = 0; y < bmp.height; ++y)
    for (int x = 0; x < bmp.width; ++x) alpha.push_back(bmp.lineArray[y][4 * x + 3]);
  return alpha;
}

// Every prefix length in a spread over the file, and copies with a few bytes
// replaced at random: each must decode or fail with CTextException, never
// crash or read outside the data (the sanitizer build sees that).
// The name reaches the decoder as the source's name.
inline void ExpectDamageIsRefused(CPicDecoder& decoder, const std::vector<uint8_t>& good,
                                  const std::string& name = "memory") {
  const size_t step = std::max<size_t>(1, good.size() / 97);
  for (size_t length = 0; length < good.size(); length += step) {
    // An exact-size copy, so reading past the end would touch unowned memory.
    const std::vector<uint8_t> cut(good.begin(), good.begin() + static_cast<ptrdiff_t>(length));
    DecodeFailure(decoder, cut, 32, name);
  }
  std::mt19937 random(20240611);
  for (int round = 0; round < 60; ++round) {
    std::vector<uint8_t> scrambled = good;
    for (int i = 0; i < 6; ++i) scrambled[random() % scrambled.size()] = uint8_t(random());
    DecodeFailure(decoder, scrambled, 32, name);
    DecodeFailure(decoder, scrambled, 0, name);
  }
}

}  // namespace tesselor::testing
