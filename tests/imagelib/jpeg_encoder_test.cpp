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
using testing::TempDir;

// A sink over a vector, to look at the encoded bytes without a file.
class MemorySink : public CDataSink {
 public:
  explicit MemorySink(size_t capacity) : storage_(capacity) {
    Open("memory", storage_.data(), static_cast<int64_t>(capacity));
  }
  size_t Size() const { return static_cast<size_t>(BytesWritten()); }

 private:
  std::vector<uint8_t> storage_;
};

TEST(JpegEncoder, SinkCapacityAddsSlackToSmallBitmapsAndAFifthToLargeOnes) {
  CDrawDibBmp bmp;
  bmp.Create(64, 64, 32, false);
  EXPECT_EQ(CJPEGEncoder::SinkCapacity(bmp), 16460 + 4096);
  bmp.Create(1000, 1000, 32, false);
  EXPECT_EQ(CJPEGEncoder::SinkCapacity(bmp), 4800091);
}

TEST(JpegEncoder, WritesWhatCjpegWritesWhateverTheFourthByte) {
  if (!testing::HaveProgram("cjpeg")) GTEST_SKIP() << "cjpeg is not installed";
  TempDir dir;
  const testing::RgbImage pattern = testing::TestPattern(40, 30);
  testing::WritePpm(dir.File("in.ppm"), pattern);
  ASSERT_EQ(testing::RunCommand("cjpeg -dct float '" + dir.File("in.ppm") + "' > '" +
                                dir.File("cjpeg.jpg") + "'"),
            0);
  CDrawDibBmp bmp;
  testing::FillFromImage(bmp, pattern);
  std::mt19937 random(7);
  for (int y = 0; y < bmp.height; ++y)
    for (int x = 0; x < bmp.width; ++x) bmp.lineArray[y][4 * x + 3] = uint8_t(random());
  CJPEGEncoder().EncodeFile(dir.File("ours.jpg"), bmp);
  const std::vector<uint8_t> ours = ReadFileBytes(dir.File("ours.jpg"));
  ASSERT_GE(ours.size(), 11u);
  EXPECT_EQ(std::string(ours.begin() + 6, ours.begin() + 11), std::string("JFIF\0", 5));
  EXPECT_EQ(ours, ReadFileBytes(dir.File("cjpeg.jpg")));
}

TEST(JpegEncoder, RoundTripKeepsSizeAndColoursWithinJpegLoss) {
  TempDir dir;
  const testing::RgbImage pattern = testing::TestPattern(61, 47);
  CDrawDibBmp original;
  testing::FillFromImage(original, pattern);
  CJPEGEncoder().EncodeFile(dir.File("out.jpg"), original);
  CDrawDibBmp decoded;
  CJPEGDecoder().DecodeFile(dir.File("out.jpg"), decoded, 32);
  ASSERT_EQ(decoded.width, 61);
  ASSERT_EQ(decoded.height, 47);
  EXPECT_LT(testing::MeanDifference(testing::FromBitmap(decoded), pattern), 8.0);
}

TEST(JpegEncoder, OverflowingTheSinkRaisesCode11AndTheEncoderStaysUsable) {
  CDrawDibBmp bmp;
  testing::FillFromImage(bmp, testing::TestPattern(64, 64));
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
  EXPECT_GT(large.Size(), 300u);
}

TEST(JpegEncoder, RefusesOtherDepthsAndKeepsTheOldFile) {
  TempDir dir;
  const std::string path = dir.File("keep.jpg");
  testing::WriteFileBytes(path, {1, 2, 3});
  CDrawDibBmp bmp;  // 16 x 16 at 8 bits: rows too short for 4-byte pixels
  try {
    CJPEGEncoder().EncodeFile(path, bmp);
    FAIL() << "no exception";
  } catch (const CTextException& e) {
    EXPECT_EQ(e.GetCode(), 6);
  }
  EXPECT_EQ(ReadFileBytes(path), (std::vector<uint8_t>{1, 2, 3}));
  EXPECT_EQ(testing::ListNames(dir.Path()), std::vector<std::string>{"keep.jpg"});
}

TEST(JpegEncoder, UnopenableFileRaisesCodeMinusOneNamingThePath) {
  TempDir dir;
  CDrawDibBmp bmp;
  bmp.Create(8, 8, 32, false);
  const std::string path = dir.File("no such folder/100%s.jpg");
  try {
    CJPEGEncoder().EncodeFile(path, bmp);
    FAIL() << "no exception";
  } catch (const CTextException& e) {
    EXPECT_EQ(e.GetCode(), -1);
    EXPECT_EQ(e.GetText(), "Opening " + path + " for writing failed: No such file or directory\n");
  }
}

}  // namespace
}  // namespace tesselor
