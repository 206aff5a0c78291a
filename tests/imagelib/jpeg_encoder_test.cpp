#include "imagelib/jpeg_encoder.h"

#include <gtest/gtest.h>

#include <random>

#include "imagelib/data_sink.h"
#include "imagelib/draw_dib_bmp.h"
#include "imagelib/jpeg_decoder.h"
#include "imagelib/text_exception.h"
#include "tests/imagelib/tool_images.h"

namespace tesselor {
namespace {

using testing::ReadFileBytes;
using testing::RgbImage;
using testing::TempDir;

// A sink over a vector, to look at the encoded bytes without a file.
class MemorySink : public CDataSink {
 public:
  explicit MemorySink(size_t capacity) : storage_(capacity) {
    Open("memory", storage_.data(), static_cast<int64_t>(capacity));
  }
  std::vector<uint8_t> Bytes() const {
    return {storage_.begin(), storage_.begin() + BytesWritten()};
  }

 private:
  std::vector<uint8_t> storage_;
};

void MakePattern(CBmp& bmp, int width, int height) {
  testing::FillFromImage(bmp, testing::TestPattern(width, height));
}

TEST(JpegEncoder, SinkCapacityAddsSlackToSmallBitmapsAndAFifthToLargeOnes) {
  CDrawDibBmp bmp;
  bmp.Create(64, 64, 32, false);
  EXPECT_EQ(CJPEGEncoder::SinkCapacity(bmp), 16460 + 4096);
  bmp.Create(1000, 1000, 32, false);
  EXPECT_EQ(CJPEGEncoder::SinkCapacity(bmp), 4800091);
}

TEST(JpegEncoder, RoundTripKeepsSizeAndColoursWithinJpegLoss) {
  TempDir dir;
  CDrawDibBmp original;
  MakePattern(original, 61, 47);
  CJPEGEncoder().EncodeFile(dir.File("out.jpg"), original);
  CDrawDibBmp decoded;
  CJPEGDecoder().DecodeFile(dir.File("out.jpg"), decoded, 32);
  ASSERT_EQ(decoded.width, 61);
  ASSERT_EQ(decoded.height, 47);
  const RgbImage a = testing::FromBitmap(original), b = testing::FromBitmap(decoded);
  EXPECT_LT(testing::MeanDifference(a, b), 8.0);
  EXPECT_LT(testing::MaxDifference(a, b), 80);
}

TEST(JpegEncoder, WritesWhatCjpegWritesAtTheSameSettings) {
  if (!testing::HaveProgram("cjpeg")) GTEST_SKIP() << "cjpeg is not installed";
  TempDir dir;
  const RgbImage pattern = testing::TestPattern(40, 30);
  testing::WritePpm(dir.File("in.ppm"), pattern);
  ASSERT_EQ(testing::RunCommand("cjpeg -dct float '" + dir.File("in.ppm") + "' > '" +
                                dir.File("cjpeg.jpg") + "'"),
            0);
  CDrawDibBmp bmp;
  testing::FillFromImage(bmp, pattern);
  CJPEGEncoder().EncodeFile(dir.File("ours.jpg"), bmp);
  const std::vector<uint8_t> ours = ReadFileBytes(dir.File("ours.jpg"));
  ASSERT_GE(ours.size(), 11u);
  EXPECT_EQ(std::string(ours.begin() + 6, ours.begin() + 11), std::string("JFIF\0", 5));
  EXPECT_EQ(ours, ReadFileBytes(dir.File("cjpeg.jpg")));
}

TEST(JpegEncoder, IgnoresTheFourthByte) {
  CDrawDibBmp bmp;
  MakePattern(bmp, 16, 16);
  MemorySink plain(100000), noisy(100000);
  CJPEGEncoder encoder;
  encoder.EncodeToSink(bmp, plain);
  std::mt19937 random(7);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) bmp.lineArray[y][4 * x + 3] = static_cast<uint8_t>(random());
  encoder.EncodeToSink(bmp, noisy);
  EXPECT_EQ(plain.Bytes(), noisy.Bytes());
}

TEST(JpegEncoder, OverflowingTheSinkRaisesCode11AndTheEncoderStaysUsable) {
  CDrawDibBmp bmp;
  MakePattern(bmp, 64, 64);
  CJPEGEncoder encoder;
  MemorySink small(300);
  try {
    encoder.EncodeToSink(bmp, small);
    FAIL() << "no exception";
  } catch (const CTextException& e) {
    EXPECT_EQ(e.GetCode(), 11);
    EXPECT_EQ(e.GetText(), "Buffer overflow while encoding.\n");
  }
  MemorySink large(100000);
  encoder.EncodeToSink(bmp, large);
  EXPECT_GT(large.Bytes().size(), 300u);
}

TEST(JpegEncoder, OnlyThirtyTwoBitBitmapsAreEncoded) {
  CDrawDibBmp bmp;  // 16 x 16 at 8 bits
  MemorySink sink(100000);
  try {
    CJPEGEncoder().EncodeToSink(bmp, sink);
    FAIL() << "no exception";
  } catch (const CTextException& e) {
    EXPECT_EQ(e.GetCode(), 6);
  }
  EXPECT_EQ(sink.Bytes().size(), 0u);
}

TEST(JpegEncoder, UnopenableFileRaisesCodeMinusOneNamingThePath) {
  TempDir dir;
  CDrawDibBmp bmp;
  MakePattern(bmp, 8, 8);
  const std::string path = dir.File("no such folder/100%s.jpg");
  try {
    CJPEGEncoder().EncodeFile(path, bmp);
    FAIL() << "no exception";
  } catch (const CTextException& e) {
    EXPECT_EQ(e.GetCode(), -1);
    EXPECT_EQ(e.GetText(), "Decoder error: Opening " + path + " failed\n");
  }
}

TEST(JpegEncoder, FailedEncodeLeavesTheOldFileAndNoTemporaryFile) {
  TempDir dir;
  const std::string path = dir.File("keep.jpg");
  testing::WriteFileBytes(path, {1, 2, 3});
  CDrawDibBmp bmp;  // 8 bits: refused before anything is written
  EXPECT_THROW(CJPEGEncoder().EncodeFile(path, bmp), CTextException);
  EXPECT_EQ(ReadFileBytes(path), (std::vector<uint8_t>{1, 2, 3}));
  EXPECT_EQ(testing::ListNames(dir.Path()), std::vector<std::string>{"keep.jpg"});
}

}  // namespace
}  // namespace tesselor
