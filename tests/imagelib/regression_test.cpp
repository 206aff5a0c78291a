// Inputs that once broke a decoder under the fuzz targets, kept under
// fuzz/regressions/<target>/ and named after what they broke. Each is fed to
// the decoder exactly as its fuzz target feeds it and must now decode or be
// refused with CTextException, in a few seconds at most; the sanitizer build
// also catches any read or write outside the data (scripts/test-sanitized.sh).
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <climits>
#include <cmath>
#include <ctime>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "fuzz/fuzz_input.h"
#include "imagelib/draw_dib_bmp.h"
#include "imagelib/metafile_canvas.h"
#include "imagelib/metafile_player.h"
#include "imagelib/text_exception.h"
#include "platform/directory_listing.h"
#include "tests/support/test_support.h"

namespace tesselor {
namespace {

using Replay = std::function<void(const std::vector<uint8_t>&, CBmp&)>;

template <class Decoder>
Replay Through(const char* sourceName) {
  return [sourceName](const std::vector<uint8_t>& input, CBmp& bmp) {
    DecodeFuzzInput<Decoder>(input.data(), input.size(), sourceName, bmp);
  };
}

// Each decoder target's folder, with the decoder and source name its target uses.
const std::map<std::string, Replay>& Targets() {
  static const std::map<std::string, Replay> targets = {
      {"any", Through<CAnyPicDecoder>("fuzz-input")},
      {"bmp", Through<CBmpDecoder>("fuzz-input")},
      {"jpeg", Through<CJPEGDecoder>("fuzz-input")},
      {"tga", Through<CTGADecoder>("fuzz-input")},
      {"tiff", Through<CTIFFDecoder>("fuzz-input")},
      {"png", Through<CPNGDecoder>("fuzz-input")},
      {"pcx", Through<CPCXDecoder>("fuzz-input")},
      {"pict", Through<CPictDecoder>("fuzz-input")},
      {"wmf", Through<CWEMFDecoder>("fuzz-input.wmf")},
      {"emf", Through<CWEMFDecoder>("fuzz-input.emf")},
      {"webp", Through<CWebPDecoder>("fuzz-input")},
      {"heif", Through<CHEIFDecoder>("fuzz-input")},
  };
  return targets;
}

struct KeptInput {
  std::string target;
  std::string name;
};

std::vector<KeptInput> KeptInputs() {
  std::vector<KeptInput> inputs;
  for (const auto& [target, replay] : Targets())
    for (const DirectoryEntry& entry :
         ListDirectory(std::string(TESSELOR_FUZZ_REGRESSIONS) + "/" + target, "*"))
      inputs.push_back({target, entry.name});
  return inputs;
}

// "tga/colour-map-past-256-entries" becomes "tga_colour_map_past_256_entries".
std::string TestName(const ::testing::TestParamInfo<KeptInput>& info) {
  std::string name = info.param.target + "_" + info.param.name;
  std::replace_if(
      name.begin(), name.end(), [](char c) { return !std::isalnum(c); }, '_');
  return name;
}

std::chrono::nanoseconds ThreadProcessorTime() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return std::chrono::seconds(now.tv_sec) + std::chrono::nanoseconds(now.tv_nsec);
}

class FuzzRegression : public ::testing::TestWithParam<KeptInput> {};

TEST_P(FuzzRegression, DecodesOrIsRefusedCleanly) {
  const KeptInput& kept = GetParam();
  const std::vector<uint8_t> input = testing::ReadFileBytes(std::string(TESSELOR_FUZZ_REGRESSIONS) +
                                                            "/" + kept.target + "/" + kept.name);
  CDrawDibBmp bmp;
  // Some were kept for taking minutes; none of them is large. The limit is
  // on this thread's processor time, which a busy machine does not stretch.
  const auto start = ThreadProcessorTime();
  try {
    Targets().at(kept.target)(input, bmp);
    EXPECT_GT(bmp.width, 0);
    EXPECT_GT(bmp.height, 0);
  } catch (const CTextException& e) {
    EXPECT_NE(e.GetCode(), 0) << e.GetText();
  }
  EXPECT_LT(ThreadProcessorTime() - start, std::chrono::seconds(3));
}

INSTANTIATE_TEST_SUITE_P(Kept, FuzzRegression, ::testing::ValuesIn(KeptInputs()), TestName);
// Until the fuzzers find something there is nothing to replay.
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(FuzzRegression);

TEST(FuzzRegression, EveryKeptInputBelongsToAKnownTarget) {
  for (const DirectoryEntry& folder : ListDirectory(TESSELOR_FUZZ_REGRESSIONS, "*"))
    EXPECT_TRUE(Targets().count(folder.name)) << folder.name;
}

// The first finding, where it broke: a metafile's records can put points
// anywhere, far beyond int's range or at NaN, and the canvas must clip them
// to the picture without converting such a double to int.
TEST(WildMetafileCoordinates, AreClippedToThePictureWithoutOverflow) {
  EXPECT_EQ(SaturatedInt(1e300), INT_MAX);
  EXPECT_EQ(SaturatedInt(-1e300), INT_MIN);
  EXPECT_EQ(SaturatedInt(NAN), 0);
  EXPECT_EQ(SaturatedInt(-2.9), -2);

  constexpr int kEdge = 8;
  std::vector<uint8_t> pixels(4 * kEdge * kEdge);
  std::vector<uint8_t*> rows;
  for (int y = 0; y < kEdge; ++y) rows.push_back(&pixels[size_t(4 * kEdge * y)]);
  MetafileCanvas canvas(rows.data(), kEdge, kEdge);
  canvas.Clear({255, 255, 255});
  const double huge = 1e300;
  const CanvasBrush red{CanvasBrush::kSolid, {255, 0, 0}, 0};
  canvas.FillPolygons({{{-huge, -huge}, {huge, -huge}, {huge, huge}, {-huge, huge}}}, red, false);
  for (size_t i = 0; i < pixels.size(); i += 4)
    ASSERT_EQ(pixels[i + 2], 255) << "pixel " << i / 4 << " not filled";
  canvas.FillPolygons({{{NAN, 0}, {4, NAN}, {huge, 8}}}, red, true);
  canvas.StrokePolyline({{-huge, 3}, {huge, NAN}, {3, huge}}, true, CanvasPen{true, {}, 3});
  canvas.DrawImage(CanvasImage{1, 1, {1, 2, 3, 255}}, 0, 0, 1, 1, {-huge, -huge}, {huge, huge});

  // The ellipse whose polygon had more sides than an int can count.
  const ColourTable palette(4 * 256, 0);
  MetafilePlayer player(canvas, palette);
  player.Ellipse({-huge, -huge}, {huge, huge});
  player.Ellipse({0, 0}, {NAN, 4});
}

}  // namespace
}  // namespace tesselor
