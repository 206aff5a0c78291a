#include "imagelib/jpeg_decoder.h"

#include <gtest/gtest.h>

#include <random>
#include <stdexcept>

#include "imagelib/any_pic_decoder.h"
#include "imagelib/data_source.h"
#include "imagelib/draw_dib_bmp.h"
#include "imagelib/text_exception.h"
#include "tests/imagelib/tool_images.h"

namespace tesselor {
namespace {

using testing::CaptureOutput;
using testing::HaveProgram;
using testing::MaxDifference;
using testing::ParsePnm;
using testing::ReadFileBytes;
using testing::RgbImage;
using testing::TempDir;

#define REQUIRE_PROGRAM(name) \
  if (!HaveProgram(name)) GTEST_SKIP() << name " is not installed"

// A JPEG made by cjpeg from the test pattern with the given options.
std::string MakeJpeg(const TempDir& dir, const std::string& name, const std::string& options,
                     int width = 37, int height = 23) {
  const std::string ppm = dir.File(name + ".ppm");
  const std::string jpeg = dir.File(name + ".jpg");
  testing::WritePpm(ppm, testing::TestPattern(width, height));
  if (testing::RunCommand("cjpeg " + options + " '" + ppm + "' > '" + jpeg + "'") != 0)
    throw std::runtime_error("cjpeg failed");
  return jpeg;
}

// How djpeg decodes a file with the settings our decoder uses.
RgbImage DjpegDecoding(const std::string& jpeg) {
  return ParsePnm(CaptureOutput("djpeg -dct float -nosmooth -pnm '" + jpeg + "'"));
}

void Decode(CJPEGDecoder& decoder, const std::vector<uint8_t>& bytes, CBmp& bmp,
            int bitsPerPixel = 32) {
  CMemorySource source(bytes.data(), static_cast<int64_t>(bytes.size()), "memory.jpg");
  ColourTable palette;
  decoder.DecodeImage(bmp, palette, bitsPerPixel, source);
}

class JpegFromCjpeg : public ::testing::TestWithParam<const char*> {};

TEST_P(JpegFromCjpeg, MatchesDjpegAndLeavesTheFourthByteAsCreated) {
  REQUIRE_PROGRAM("cjpeg");
  REQUIRE_PROGRAM("djpeg");
  TempDir dir;
  const std::string jpeg = MakeJpeg(dir, "in", GetParam());
  CDrawDibBmp bmp;
  CAnyPicDecoder().DecodeFile(jpeg, bmp, 32);
  ASSERT_EQ(bmp.bitsPerPixel, 32);
  EXPECT_LE(MaxDifference(testing::FromBitmap(bmp), DjpegDecoding(jpeg)), 1);
  for (int y = 0; y < bmp.height; ++y)
    for (int x = 0; x < bmp.width; ++x) ASSERT_EQ(bmp.lineArray[y][4 * x + 3], 0) << x << "," << y;
}

INSTANTIATE_TEST_SUITE_P(Variants, JpegFromCjpeg,
                         ::testing::Values("", "-progressive", "-sample 1x1", "-restart 1",
                                           "-optimize -quality 95"));

TEST(JpegDecoder, GreyFileAt32BitsGivesOpaqueGreyPixels) {
  REQUIRE_PROGRAM("cjpeg");
  REQUIRE_PROGRAM("djpeg");
  TempDir dir;
  const std::string jpeg = MakeJpeg(dir, "grey", "-grayscale");
  CDrawDibBmp bmp;
  CAnyPicDecoder().DecodeFile(jpeg, bmp, 32);
  ASSERT_EQ(bmp.bitsPerPixel, 32);
  const RgbImage expected = DjpegDecoding(jpeg);
  EXPECT_LE(MaxDifference(testing::FromBitmap(bmp), expected), 1);
  const uint8_t* p = bmp.lineArray[5] + 4 * 9;
  EXPECT_EQ(p[0], p[1]);
  EXPECT_EQ(p[1], p[2]);
  EXPECT_EQ(p[3], 255);
}

TEST(JpegDecoder, GreyFileAtItsOwnDepthGivesEightBitsWithGreyTable) {
  REQUIRE_PROGRAM("cjpeg");
  REQUIRE_PROGRAM("djpeg");
  TempDir dir;
  const std::string jpeg = MakeJpeg(dir, "grey", "-grayscale");
  CJPEGDecoder decoder;
  CDrawDibBmp bmp;
  int depth = 0;
  const std::vector<uint8_t> bytes = ReadFileBytes(jpeg);
  CMemorySource source(bytes.data(), static_cast<int64_t>(bytes.size()), jpeg);
  ColourTable palette;
  decoder.DecodeImage(bmp, palette, depth, source);
  EXPECT_EQ(depth, 8);
  ASSERT_EQ(bmp.bitsPerPixel, 8);
  ASSERT_NE(bmp.palette, nullptr);
  EXPECT_EQ(bmp.palette[4 * 200], 200);
  const RgbImage expected = DjpegDecoding(jpeg);
  for (int y = 0; y < bmp.height; ++y)
    for (int x = 0; x < bmp.width; ++x)
      ASSERT_NEAR(bmp.lineArray[y][x], expected.At(x, y)[0], 1) << x << "," << y;
}

TEST(JpegDecoder, CmykFileKeepsTheRawSamples) {
  REQUIRE_PROGRAM("convert");
  TempDir dir;
  testing::WritePpm(dir.File("in.ppm"), testing::TestPattern(32, 16));
  const std::string jpeg = dir.File("cmyk.jpg");
  ASSERT_EQ(
      testing::RunCommand("convert '" + dir.File("in.ppm") +
                          "' -colorspace CMYK -sampling-factor 1x1 -quality 95 '" + jpeg + "'"),
      0);
  CDrawDibBmp bmp;
  CAnyPicDecoder().DecodeFile(jpeg, bmp, 32);
  ASSERT_EQ(bmp.bitsPerPixel, 32);
  // ImageMagick writes Adobe CMYK, whose samples are stored inverted, and
  // reports them uninverted.
  const std::vector<uint8_t> cmyk = testing::MagickSamples(jpeg, "cmyk");
  ASSERT_EQ(cmyk.size(), size_t(32) * 16 * 4);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 32; ++x)
      for (int c = 0; c < 4; ++c)
        ASSERT_NEAR(bmp.lineArray[y][4 * x + c], 255 - cmyk[(size_t(y) * 32 + x) * 4 + c], 3)
            << x << "," << y << " component " << c;
}

TEST(JpegDecoder, TruncatedFileDecodesAtHeaderSizeAndKeepsItsStart) {
  REQUIRE_PROGRAM("cjpeg");
  TempDir dir;
  const std::vector<uint8_t> whole = ReadFileBytes(MakeJpeg(dir, "big", "", 64, 64));
  CJPEGDecoder decoder;
  CDrawDibBmp complete;
  Decode(decoder, whole, complete);
  // Cut in the middle of the scan: the top rows are already in what is left.
  const std::vector<uint8_t> half(whole.begin(), whole.begin() + whole.size() * 2 / 3);
  CDrawDibBmp bmp;
  ASSERT_NO_THROW(Decode(decoder, half, bmp));
  EXPECT_EQ(bmp.width, 64);
  EXPECT_EQ(bmp.height, 64);
  EXPECT_EQ(testing::PixelAt(bmp, 3, 2), testing::PixelAt(complete, 3, 2));
}

TEST(JpegDecoder, DamagedHeaderRaisesCode6WithTheLibraryText) {
  REQUIRE_PROGRAM("cjpeg");
  TempDir dir;
  std::vector<uint8_t> bytes = ReadFileBytes(MakeJpeg(dir, "in", ""));
  // Overwrite everything after the start-of-image marker and the APP0
  // marker's first bytes.
  for (size_t i = 6; i < 40 && i < bytes.size(); ++i) bytes[i] = 0xFF;
  bytes[3] = 0x01;
  CJPEGDecoder decoder;
  CDrawDibBmp bmp;
  try {
    Decode(decoder, bytes, bmp);
    FAIL() << "no exception";
  } catch (const CTextException& e) {
    EXPECT_EQ(e.GetCode(), 6);
    EXPECT_EQ(e.GetText().rfind("Decoder error: ", 0), 0u) << e.GetText();
    EXPECT_EQ(e.GetText().substr(e.GetText().size() - 2), "\n\n");
  }
}

TEST(JpegDecoder, EveryTruncationPointDecodesOrRaisesAndTheDecoderStaysUsable) {
  REQUIRE_PROGRAM("cjpeg");
  TempDir dir;
  const std::vector<uint8_t> whole = ReadFileBytes(MakeJpeg(dir, "in", "-progressive"));
  CJPEGDecoder decoder;
  CDrawDibBmp reference;
  Decode(decoder, whole, reference);
  for (size_t length = 0; length < whole.size(); length += 7) {
    const std::vector<uint8_t> cut(whole.begin(), whole.begin() + length);
    CDrawDibBmp bmp;
    try {
      Decode(decoder, cut, bmp);
      EXPECT_EQ(bmp.width, 37) << "cut at " << length;
    } catch (const CTextException& e) {
      EXPECT_EQ(e.GetCode(), 6) << "cut at " << length;
    }
  }
  CDrawDibBmp again;
  Decode(decoder, whole, again);
  EXPECT_EQ(MaxDifference(testing::FromBitmap(again), testing::FromBitmap(reference)), 0);
}

TEST(JpegDecoder, RandomBytesAfterTheSignatureNeverCrash) {
  std::mt19937 random(20240607);
  CJPEGDecoder decoder;
  for (int round = 0; round < 300; ++round) {
    std::vector<uint8_t> bytes(3 + random() % 600);
    for (uint8_t& b : bytes) b = static_cast<uint8_t>(random());
    bytes[0] = 0xFF;
    bytes[1] = 0xD8;
    bytes[2] = 0xFF;
    CDrawDibBmp bmp;
    try {
      Decode(decoder, bytes, bmp);
    } catch (const CTextException&) {
    }
  }
}

class ThrowingNotifier : public ProgressNotifier {
 public:
  void OnProgress(double fraction) override {
    if (fraction < 1.0) throw std::runtime_error("stop");
  }
};

TEST(JpegDecoder, NotifierExceptionLeavesTheLibraryCleanly) {
  REQUIRE_PROGRAM("cjpeg");
  TempDir dir;
  const std::string jpeg = MakeJpeg(dir, "in", "-progressive");
  CJPEGDecoder decoder;
  CDrawDibBmp bmp;
  ThrowingNotifier notifier;
  EXPECT_THROW(decoder.DecodeFile(jpeg, bmp, 32, &notifier), std::runtime_error);
  ASSERT_NO_THROW(decoder.DecodeFile(jpeg, bmp, 32));
  EXPECT_EQ(bmp.width, 37);
}

}  // namespace
}  // namespace tesselor
