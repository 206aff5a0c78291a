// Images made and read back by independent command-line tools (libjpeg's
// cjpeg/djpeg, ImageMagick), so our decoders can be checked against other
// people's decoding rather than against themselves.
#pragma once

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "imagelib/bmp.h"
#include "tests/support/test_support.h"

namespace tesselor::testing {

// Interleaved red, green, blue samples, top line first.
struct RgbImage {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> rgb;

  const uint8_t* At(int x, int y) const { return &rgb[(size_t(y) * width + x) * 3]; }
};

// Smooth ramps with a few hard edges: something JPEG has to work at.
inline RgbImage TestPattern(int width, int height) {
  RgbImage image{width, height, std::vector<uint8_t>(size_t(width) * height * 3)};
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      uint8_t* p = &image.rgb[(size_t(y) * width + x) * 3];
      p[0] = uint8_t(x * 255 / (width > 1 ? width - 1 : 1));
      p[1] = uint8_t(y * 255 / (height > 1 ? height - 1 : 1));
      p[2] = (x / 8 + y / 8) % 2 ? 200 : 40;
    }
  return image;
}

inline void WritePpm(const std::string& path, const RgbImage& image) {
  const std::string header =
      "P6\n" + std::to_string(image.width) + " " + std::to_string(image.height) + "\n255\n";
  std::vector<uint8_t> bytes(header.begin(), header.end());
  bytes.insert(bytes.end(), image.rgb.begin(), image.rgb.end());
  WriteFileBytes(path, bytes);
}

// Reads binary PGM or PPM data; grey samples are repeated into red, green, blue.
inline RgbImage ParsePnm(const std::vector<uint8_t>& bytes) {
  std::string text(bytes.begin(), bytes.begin() + std::min<size_t>(bytes.size(), 64));
  std::istringstream in(text);
  std::string magic;
  int width = 0, height = 0, maxValue = 0;
  in >> magic >> width >> height >> maxValue;
  if ((magic != "P5" && magic != "P6") || maxValue != 255 || width <= 0 || height <= 0)
    throw std::runtime_error("not an 8-bit PGM or PPM");
  const size_t start = static_cast<size_t>(in.tellg()) + 1;
  const int channels = magic == "P6" ? 3 : 1;
  if (bytes.size() < start + size_t(width) * height * channels)
    throw std::runtime_error("PNM data cut short");
  RgbImage image{width, height, std::vector<uint8_t>(size_t(width) * height * 3)};
  for (size_t i = 0; i < size_t(width) * height; ++i)
    for (int c = 0; c < 3; ++c) image.rgb[i * 3 + c] = bytes[start + i * channels + c % channels];
  return image;
}

// Runs a shell command and returns what it printed on stdout.
inline std::vector<uint8_t> CaptureOutput(const std::string& command) {
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
  if (!pipe) throw std::runtime_error("cannot run " + command);
  std::vector<uint8_t> output;
  uint8_t chunk[65536];
  while (size_t n = std::fread(chunk, 1, sizeof chunk, pipe.get()))
    output.insert(output.end(), chunk, chunk + n);
  return output;
}

// Raw samples as ImageMagick reads them ("rgb:-", "gray:-", "cmyk:-"), 8 bits each.
inline std::vector<uint8_t> MagickSamples(const std::string& path, const std::string& format) {
  return CaptureOutput("convert '" + path + "' -depth 8 " + format + ":- 2>/dev/null");
}

inline RgbImage MagickRgb(const std::string& path, int width, int height) {
  RgbImage image{width, height, MagickSamples(path, "rgb")};
  if (image.rgb.size() != size_t(width) * height * 3)
    throw std::runtime_error("ImageMagick gave " + std::to_string(image.rgb.size()) + " bytes");
  return image;
}

// A Python interpreter that has Pillow, or "" when there is none.
inline const std::string& PillowPython() {
  static const std::string found = [] {
    for (const char* python : {"/usr/bin/python3", "python3"})
      if (RunCommand(std::string(python) + " -c 'import PIL' 2>/dev/null") == 0)
        return std::string(python);
    return std::string();
  }();
  return found;
}

// The picture at path as Pillow decodes it, in red, green, blue.
inline RgbImage PillowRgb(const std::string& path) {
  return ParsePnm(CaptureOutput(PillowPython() +
                                " -c \"import sys; from PIL import Image; "
                                "Image.open(sys.argv[1]).convert('RGB').save(sys.stdout.buffer, "
                                "'PPM')\" '" +
                                path + "' 2>/dev/null"));
}

// Runs a Pillow script with the given arguments; its exit status.
inline int RunPillow(const std::string& script, const std::string& arguments) {
  return RunCommand(PillowPython() + " -c \"" + script + "\" " + arguments);
}

#define REQUIRE_PILLOW() \
  if (::tesselor::testing::PillowPython().empty()) GTEST_SKIP() << "Pillow is not installed"

// The red, green, blue of a 32-bit bitmap.
inline RgbImage FromBitmap(const CBmp& bmp) {
  RgbImage image{bmp.width, bmp.height, std::vector<uint8_t>(size_t(bmp.width) * bmp.height * 3)};
  for (int y = 0; y < bmp.height; ++y)
    for (int x = 0; x < bmp.width; ++x) {
      const uint8_t* p = bmp.lineArray[y] + 4 * x;
      uint8_t* q = &image.rgb[(size_t(y) * bmp.width + x) * 3];
      q[0] = p[2];
      q[1] = p[1];
      q[2] = p[0];
    }
  return image;
}

inline void FillFromImage(CBmp& bmp, const RgbImage& image) {
  FillBitmap(bmp, image.width, image.height, [&](int x, int y) {
    const uint8_t* p = image.At(x, y);
    return Rgb{p[0], p[1], p[2]};
  });
}

// The largest difference of any sample; images of another size differ by 256.
inline int MaxDifference(const RgbImage& a, const RgbImage& b) {
  if (a.width != b.width || a.height != b.height || a.rgb.size() != b.rgb.size()) return 256;
  int worst = 0;
  for (size_t i = 0; i < a.rgb.size(); ++i) worst = std::max(worst, std::abs(a.rgb[i] - b.rgb[i]));
  return worst;
}

// The mean absolute difference per sample.
inline double MeanDifference(const RgbImage& a, const RgbImage& b) {
  if (a.rgb.size() != b.rgb.size() || a.rgb.empty()) return 256;
  double sum = 0;
  for (size_t i = 0; i < a.rgb.size(); ++i) sum += std::abs(a.rgb[i] - b.rgb[i]);
  return sum / double(a.rgb.size());
}

}  // namespace tesselor::testing
