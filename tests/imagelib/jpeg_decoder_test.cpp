#include "imagelib/jpeg_decoder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <stdexcept>

#include "imagelib/any_pic_decoder.h"
#include "imagelib/draw_dib_bmp.h"
#include "imagelib/text_exception.h"
#include "tests/imagelib/tool_images.h"

namespace tesselor {
namespace {

using testing::MaxDifference;
using testing::ReadFileBytes;
using testing::RgbImage;
using testing::TempDir;

#define REQUIRE_PROGRAM(name) \
  if (!testing::HaveProgram(name)) GTEST_SKIP() << name " is not installed"

// A JPEG made by cjpeg from the test pattern with the given options.
std::string MakeJpeg(const TempDir& dir, const std::string& options, int width = 37,
                     int height = 23) {
  testing::WritePpm(dir.File("in.ppm"), testing::TestPattern(width, height));
  if (testing::RunCommand("cjpeg " + options + " '" + dir.File("in.ppm") + "' > '" +
                          dir.File("in.jpg") + "'") != 0)
    throw std::runtime_error("cjpeg failed");
  return dir.File("in.jpg");
}

// How djpeg decodes a file with the settings our decoder uses.
RgbImage DjpegDecoding(const std::string& jpeg) {
  return testing::ParsePnm(
      testing::CaptureOutput("djpeg -dct float -nosmooth -pnm '" + jpeg + "'"));
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
  const std::string jpeg = MakeJpeg(dir, GetParam());
  CDrawDibBmp bmp;
  CAnyPicDecoder().DecodeFile(jpeg, bmp, 32);
  ASSERT_EQ(bmp.bitsPerPixel, 32);
  EXPECT_LE(MaxDifference(testing::FromBitmap(bmp), DjpegDecoding(jpeg)), 1);
  for (int y = 0; y < bmp.height; ++y)
    for (int x = 0; x < bmp.width; ++x) ASSERT_EQ(bmp.lineArray[y][4 * x + 3], 0) << x << "," << y;
}

INSTANTIATE_TEST_SUITE_P(Variants, JpegFromCjpeg,
                         ::testing::Values("", "-progressive", "-sample 1x1", "-restart 1"));

TEST(JpegDecoder, TopLeftDecodeKeepsTheWholeDecodesPixels) {
  REQUIRE_PROGRAM("cjpeg");
  TempDir dir;
  CJPEGDecoder whole, corner;
  corner.LimitToTopLeft(64, 64);
  for (const char* options : {"", "-sample 1x1", "-sample 2x1", "-sample 1x2", "-sample 4x1",
                              "-grayscale", "-progressive", "-restart 1"})
    for (const auto& [width, height] : {std::pair{64, 64},
                                        {65, 64},
                                        {100, 70},
                                        {64, 200},
                                        {17, 90},
                                        {1000, 80},
                                        {333, 333},
                                        {129, 47}}) {
      const std::vector<uint8_t> bytes = ReadFileBytes(MakeJpeg(dir, options, width, height));
      CDrawDibBmp all, part;
      Decode(whole, bytes, all);
      Decode(corner, bytes, part);
      const std::string what =
          std::string(options) + " " + std::to_string(width) + "x" + std::to_string(height);
      ASSERT_EQ(part.width, std::min(width, 64)) << what;
      ASSERT_EQ(part.height, std::min(height, 64)) << what;
      for (int y = 0; y < part.height; ++y)
        ASSERT_EQ(std::memcmp(part.lineArray[y], all.lineArray[y], size_t(4) * part.width), 0)
            << what << " line " << y;
    }
}

TEST(JpegDecoder, GreyFileGivesOpaqueGreyPixelsOrEightBitsWithGreyTable) {
  REQUIRE_PROGRAM("cjpeg");
  REQUIRE_PROGRAM("djpeg");
  TempDir dir;
  const std::string jpeg = MakeJpeg(dir, "-grayscale");
  const RgbImage expected = DjpegDecoding(jpeg);
  CJPEGDecoder decoder;
  CDrawDibBmp colour;
  decoder.DecodeFile(jpeg, colour, 32);
  ASSERT_EQ(colour.bitsPerPixel, 32);
  EXPECT_LE(MaxDifference(testing::FromBitmap(colour), expected), 1);
  EXPECT_EQ(colour.lineArray[5][4 * 9 + 3], 255);

  CDrawDibBmp grey;
  int depth = 0;
  const std::vector<uint8_t> bytes = ReadFileBytes(jpeg);
  CMemorySource source(bytes.data(), static_cast<int64_t>(bytes.size()), jpeg);
  ColourTable palette;
  decoder.DecodeImage(grey, palette, depth, source);
  EXPECT_EQ(depth, 8);
  ASSERT_EQ(grey.bitsPerPixel, 8);
  EXPECT_EQ(grey.palette[4 * 200], 200);
  for (int y = 0; y < grey.height; ++y)
    for (int x = 0; x < grey.width; ++x)
      ASSERT_NEAR(grey.lineArray[y][x], expected.At(x, y)[0], 1) << x << "," << y;
}

// Four-component files as ImageMagick (YCCK) and Pillow (plain CMYK) write
// them; both store Adobe's inverted samples.
TEST(JpegDecoder, CmykAndYcckFilesShowTheColoursOtherDecodersShow) {
  REQUIRE_PROGRAM("convert");
  REQUIRE_PILLOW();
  TempDir dir;
  testing::WritePpm(dir.File("in.ppm"), testing::TestPattern(32, 16));
  const std::string ycck = dir.File("ycck.jpg"), cmyk = dir.File("cmyk.jpg");
  ASSERT_EQ(
      testing::RunCommand("convert '" + dir.File("in.ppm") +
                          "' -colorspace CMYK -sampling-factor 1x1 -quality 95 '" + ycck + "'"),
      0);
  ASSERT_EQ(testing::RunPillow("import sys; from PIL import Image; "
                               "Image.open(sys.argv[1]).convert('CMYK').save(sys.argv[2], "
                               "quality=95)",
                               "'" + dir.File("in.ppm") + "' '" + cmyk + "'"),
            0);
  for (const std::string& jpeg : {ycck, cmyk}) {
    CDrawDibBmp bmp;
    CAnyPicDecoder().DecodeFile(jpeg, bmp, 32);
    const testing::RgbImage ours = testing::FromBitmap(bmp);
    EXPECT_LE(MaxDifference(ours, testing::PillowRgb(jpeg)), 3) << jpeg;
    EXPECT_LE(MaxDifference(ours, testing::MagickRgb(jpeg, 32, 16)), 3) << jpeg;
    EXPECT_EQ(bmp.lineArray[3][4 * 7 + 3], 0) << "the fourth byte stays as created";
  }

  // The issue's own case: a pure red tile.
  const std::string red = dir.File("red.jpg");
  ASSERT_EQ(testing::RunCommand("convert -size 64x64 xc:red -colorspace CMYK '" + red + "'"), 0);
  CDrawDibBmp bmp;
  CAnyPicDecoder().DecodeFile(red, bmp, 32);
  EXPECT_EQ(testing::PixelAt(bmp, 10, 10), (testing::Rgb{255, 0, 0}));
}

// Where the contents of the first marker segment of that kind begin.
size_t MarkerSegment(const std::vector<uint8_t>& jpeg, uint8_t marker) {
  for (size_t i = 0; i + 3 < jpeg.size(); ++i)
    if (jpeg[i] == 0xFF && jpeg[i + 1] == marker) return i + 2;
  throw std::runtime_error("no such marker");
}

// Where the first scan's data begin: cuts after that leave a whole header.
size_t FirstScanData(const std::vector<uint8_t>& jpeg) {
  const size_t scan = MarkerSegment(jpeg, 0xDA);
  return scan + (size_t(jpeg[scan]) << 8 | jpeg[scan + 1]);
}

class TruncatedJpeg : public ::testing::TestWithParam<const char*> {};

TEST_P(TruncatedJpeg, DecodesAtHeaderSizeOrRaisesAndTheDecoderStaysUsable) {
  REQUIRE_PROGRAM("cjpeg");
  TempDir dir;
  const std::vector<uint8_t> whole = ReadFileBytes(MakeJpeg(dir, GetParam(), 64, 64));
  const bool progressive = std::string(GetParam()) == "-progressive";
  CJPEGDecoder decoder;
  CDrawDibBmp complete;
  Decode(decoder, whole, complete);
  for (size_t length = 0; length < whole.size(); length += 5) {
    CDrawDibBmp bmp;
    try {
      Decode(decoder, std::vector<uint8_t>(whole.begin(), whole.begin() + length), bmp);
      EXPECT_EQ(bmp.width, 64) << "cut at " << length;
      EXPECT_EQ(bmp.height, 64) << "cut at " << length;
    } catch (const CTextException& e) {
      EXPECT_EQ(e.GetCode(), 6) << "cut at " << length;
      // A single-scan file has no headers after its scan to cut into; a
      // progressive one has tables between scans.
      if (!progressive) {
        EXPECT_LT(length, FirstScanData(whole)) << "cut at " << length;
      }
    }
  }
  CDrawDibBmp again;
  Decode(decoder, whole, again);
  EXPECT_EQ(MaxDifference(testing::FromBitmap(again), testing::FromBitmap(complete)), 0);
}

INSTANTIATE_TEST_SUITE_P(Kinds, TruncatedJpeg, ::testing::Values("", "-progressive"));

TEST(JpegDecoder, AbsurdSizeIsRefusedBeforeTheLibraryAllocatesForIt) {
  REQUIRE_PROGRAM("cjpeg");
  TempDir dir;
  // A progressive decode would first set up coefficient buffers of many
  // gigabytes for a 65000 x 65000 image.
  std::vector<uint8_t> bytes = ReadFileBytes(MakeJpeg(dir, "-progressive"));
  const size_t frame = MarkerSegment(bytes, 0xC2);  // length, precision, height, width
  for (size_t field : {frame + 3, frame + 5}) {
    bytes[field] = 65000 >> 8;
    bytes[field + 1] = 65000 & 0xFF;
  }
  CJPEGDecoder decoder;
  CDrawDibBmp bmp;
  try {
    Decode(decoder, bytes, bmp);
    FAIL() << "no exception";
  } catch (const CTextException& e) {
    EXPECT_EQ(e.GetCode(), 2) << e.GetText();
  }
}

TEST(JpegDecoder, FilesOfHundredsOfScansAreRefused) {
  REQUIRE_PROGRAM("cjpeg");
  TempDir dir;
  // Every scan of a progressive file costs a pass over the whole image, so
  // its last scan repeated makes a small file cost hundreds of decodes.
  const std::vector<uint8_t> whole = ReadFileBytes(MakeJpeg(dir, "-progressive"));
  size_t lastScan = 0;
  for (size_t i = 0; i + 1 < whole.size(); ++i)
    if (whole[i] == 0xFF && whole[i + 1] == 0xDA) lastScan = i;
  std::vector<uint8_t> bytes(whole.begin(), whole.end() - 2);
  for (int repeat = 0; repeat < 600; ++repeat)
    bytes.insert(bytes.end(), whole.begin() + long(lastScan), whole.end() - 2);
  bytes.insert(bytes.end(), {0xFF, 0xD9});
  CJPEGDecoder decoder;
  CDrawDibBmp bmp;
  try {
    Decode(decoder, bytes, bmp);
    FAIL() << "no exception";
  } catch (const CTextException& e) {
    EXPECT_NE(e.GetText().find("500 scans"), std::string::npos) << e.GetText();
  }
  Decode(decoder, whole, bmp);  // the decoder stays usable
  EXPECT_EQ(bmp.width, 37);
}

TEST(JpegDecoder, DamagedHeaderRaisesCode6WithTheLibraryText) {
  REQUIRE_PROGRAM("cjpeg");
  TempDir dir;
  std::vector<uint8_t> bytes = ReadFileBytes(MakeJpeg(dir, ""));
  bytes[MarkerSegment(bytes, 0xC0) + 2] = 3;  // a sample precision of 3 bits
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

TEST(JpegDecoder, NotifierExceptionComesOutWithoutHarmingTheDecoder) {
  REQUIRE_PROGRAM("cjpeg");
  TempDir dir;
  const std::string jpeg = MakeJpeg(dir, "-progressive");
  CJPEGDecoder decoder;
  CDrawDibBmp bmp;
  ThrowingNotifier notifier;
  EXPECT_THROW(decoder.DecodeFile(jpeg, bmp, 32, &notifier), std::runtime_error);
  ASSERT_NO_THROW(decoder.DecodeFile(jpeg, bmp, 32));
  EXPECT_EQ(bmp.width, 37);
}

}  // namespace
}  // namespace tesselor
