#include "imagelib/heif_decoder.h"

#include <gtest/gtest.h>

#include "imagelib/any_pic_decoder.h"
#include "imagelib/file_source.h"
#include "imagelib/heif_frame_sizes.h"
#include "imagelib/image_formats.h"
#include "imagelib/png_decoder.h"
#include "tests/imagelib/decoder_checks.h"

namespace tesselor {
namespace {

using testing::HaveProgram;
using testing::ReadFileBytes;
using testing::TempDir;

// Encodes the test pattern with heif-enc (-A for AVIF); "" when this
// machine's libheif has no working encoder for it.
std::string HeifEncode(const TempDir& dir, const std::string& name, const std::string& options) {
  testing::WritePpm(dir.File("in.ppm"), testing::TestPattern(38, 24));
  if (testing::RunCommand("convert '" + dir.File("in.ppm") + "' '" + dir.File("in.png") + "'") != 0)
    return "";
  const std::string path = dir.File(name);
  const bool made = testing::RunCommand("heif-enc -q 90 " + options + " '" + dir.File("in.png") +
                                        "' -o '" + path + "' >/dev/null 2>&1") == 0;
  return made && testing::FileExists(path) ? path : "";
}

class HeifFiles : public ::testing::TestWithParam<const char*> {};

TEST_P(HeifFiles, MatchHeifConvert) {
  if (!HaveProgram("heif-enc") || !HaveProgram("heif-convert") || !HaveProgram("convert"))
    GTEST_SKIP() << "the libheif tools or ImageMagick are not installed";
  TempDir dir;
  const bool avif = std::string(GetParam()) == "-A";
  const std::string path = HeifEncode(dir, avif ? "p.avif" : "p.heic", GetParam());
  if (path.empty()) GTEST_SKIP() << "heif-enc cannot write this kind here";
  ASSERT_EQ(testing::RunCommand("heif-convert '" + path + "' '" + dir.File("ref.png") +
                                "' >/dev/null 2>&1"),
            0);
  CDrawDibBmp ours, reference;
  CAnyPicDecoder().DecodeFile(path, ours, 32);
  CPNGDecoder().DecodeFile(dir.File("ref.png"), reference, 32);
  EXPECT_EQ(testing::MaxDifference(testing::FromBitmap(ours), testing::FromBitmap(reference)), 0);
  CFileSource source;
  ASSERT_EQ(source.OpenFile(path), 0);
  EXPECT_STREQ(FormatName(CAnyPicDecoder::Recognize(source)), avif ? "AVIF" : "HEIF");
  if (avif) {
    // The size guard is only as good as its reading of real files.
    const std::vector<uint8_t> bytes = ReadFileBytes(path);
    const std::vector<FrameSize> frames = Av1FrameSizes(bytes.data(), bytes.size());
    ASSERT_FALSE(frames.empty());
    for (const FrameSize& frame : frames) {
      EXPECT_EQ(frame.width, 38);
      EXPECT_EQ(frame.height, 24);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Kinds, HeifFiles, ::testing::Values("", "-A"));

TEST(HeifDecoder, DamagedFilesFailCleanly) {
  if (!HaveProgram("heif-enc") || !HaveProgram("convert"))
    GTEST_SKIP() << "heif-enc or ImageMagick is not installed";
  TempDir dir;
  const std::string path = HeifEncode(dir, "p.heic", "");
  if (path.empty()) GTEST_SKIP() << "heif-enc cannot write HEIC here";
  CHEIFDecoder decoder;
  testing::ExpectDamageIsRefused(decoder, ReadFileBytes(path));
}

// Files whose 16 x 16 header hides a much larger picture to set up: 374
// bytes with an AV1 sequence header of 65533 x 1282 (the codec took 800 MB
// before giving up on it), 588 bytes with a grid of 2576 x 56832 (1 GB), and
// 919 bytes whose grid hides in a second meta box (780 MB), and 2350 bytes
// of HEVC whose parameter set asks for 4096 x 2048 (a 15 KB twin asking for
// 8000 x 8000 took 445 MB whatever pixel budget was set); a grid whose data
// runs past the end of its data box, as libheif reads it, cost 1.1 GB, as
// did one whose location fields have sizes the format does not allow (which
// libheif reads as absent), and 588 bytes with an overlay canvas of 4096 x
// 47872 cost 580 MB.
TEST(HeifDecoder, FramesBeyondTheDeclaredPictureAreRefusedBeforeDecoding) {
  const std::pair<const char*, const char*> cases[] = {
      {"av1-sequence-header-claims-65533-by-1282",
       "an AV1 frame of 65533 x 1282 is larger than the picture of 16 x 16"},
      {"grid-claims-2576-by-56832", "a grid of 2576 x 56832 is larger than the picture of 16 x 16"},
      {"second-meta-box-grid-claims-64528-by-4096",
       "a grid of 64528 x 4096 is larger than the picture of 16 x 16"},
      {"grid-read-past-its-data-box-claims-4096-by-47872",
       "a grid of 4096 x 47872 is larger than the picture of 16 x 16"},
      {"hevc-parameter-set-claims-4096-by-2048",
       "an HEVC frame of 4096 x 2048 is larger than the picture of 16 x 16"},
      {"overlay-claims-4096-by-47872",
       "an overlay of 4096 x 47872 is larger than the picture of 16 x 16"},
      {"location-field-sizes-read-as-none-grid-claims-2576-by-56832",
       "a grid of 2576 x 56832 is larger than the picture of 16 x 16"},
  };
  for (const auto& [file, message] : cases) {
    const std::vector<uint8_t> input =
        ReadFileBytes(std::string(TESSELOR_FUZZ_REGRESSIONS) + "/heif/" + file);
    ASSERT_GT(input.size(), 1u) << file;
    // The fuzz target's first byte picks the depth; the file follows.
    CMemorySource source(input.data() + 1, static_cast<int64_t>(input.size() - 1), "p.heic");
    CDrawDibBmp bmp;
    try {
      CHEIFDecoder().DecodeSource(source, bmp, 32);
      ADD_FAILURE() << file << " decoded";
    } catch (const CTextException& error) {
      EXPECT_EQ(error.GetCode(), kErrBadHeader) << file;
      EXPECT_NE(error.GetText().find(message), std::string::npos) << error.GetText();
    }
  }
}

}  // namespace
}  // namespace tesselor
