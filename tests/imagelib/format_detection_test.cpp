#include "imagelib/format_detection.h"

#include <gtest/gtest.h>

#include <vector>

namespace tesselor {
namespace {

FileType Detect(std::vector<uint8_t> bytes, int64_t size = -1) {
  return RecognizeContent(bytes.data(), static_cast<int64_t>(bytes.size()),
                          size < 0 ? static_cast<int64_t>(bytes.size()) : size);
}

std::vector<uint8_t> Padded(std::vector<uint8_t> start, size_t size) {
  start.resize(size, 0x55);
  return start;
}

TEST(FormatDetection, SignaturesPickTheirFormats) {
  EXPECT_EQ(Detect(Padded({'B', 'M'}, 64)), FileType::kWindowsBitmap);
  EXPECT_EQ(Detect(Padded({'I', 'I', 0x2A, 0}, 64)), FileType::kTiff);
  EXPECT_EQ(Detect(Padded({'M', 'M', 0, 0x2A}, 64)), FileType::kTiff);
  EXPECT_EQ(Detect(Padded({0xFF, 0xD8, 0xFF}, 64)), FileType::kJpeg);
  EXPECT_EQ(Detect(Padded({0x89, 'P', 'N', 'G'}, 64)), FileType::kPng);
  EXPECT_EQ(Detect(Padded({0x0A, 5, 1}, 64)), FileType::kPcx);
  EXPECT_EQ(Detect(Padded({'h', 'e', 'l', 'l', 'o'}, 64)), FileType::kUnknown);
}

TEST(FormatDetection, TgaNeedsEveryHeaderFieldPlausible) {
  std::vector<uint8_t> tga(64, 0);
  tga[2] = 2;
  tga[16] = 24;
  EXPECT_EQ(Detect(tga), FileType::kTga);
  tga[16] = 7;
  EXPECT_EQ(Detect(tga), FileType::kUnknown);
}

TEST(FormatDetection, PictOnlyInFilesOver540Bytes) {
  std::vector<uint8_t> pict(541, 0x55);
  pict[522] = 0x00;
  pict[523] = 0x11;
  pict[524] = 0x02;
  pict[525] = 0xFF;
  // The recogniser looks at 512 bytes only, so the PICT bytes lie beyond the
  // peeked block unless more is available.
  EXPECT_EQ(Detect(pict), FileType::kMacPict);
  pict.resize(540);
  EXPECT_EQ(Detect(pict), FileType::kUnknown);
}

TEST(FormatDetection, EpsNeedsTiffOffsetAndLength) {
  std::vector<uint8_t> eps(64, 0x55);
  eps[0] = 0xC5;
  eps[1] = 0xD0;
  eps[2] = 0xD3;
  eps[3] = 0xC6;
  EXPECT_EQ(Detect(eps), FileType::kEpsTiffPreview);
  for (int i = 24; i < 28; ++i) eps[i] = 0;
  EXPECT_EQ(Detect(eps), FileType::kUnknown);
}

TEST(FormatDetection, BytesPastTheDataNeverMatch) {
  EXPECT_EQ(Detect({0xFF, 0xD8}), FileType::kUnknown);
  EXPECT_EQ(Detect({0x0A, 0x05}), FileType::kUnknown);
  EXPECT_EQ(Detect({}), FileType::kUnknown);
}

TEST(FormatDetection, MetafileNamesAnywhereInThePath) {
  EXPECT_EQ(RecognizeMetafileName("/x/pic.WmF"), FileType::kWindowsMetafile);
  EXPECT_EQ(RecognizeMetafileName("/a.emf/pic.jpg"), FileType::kEnhancedMetafile);
  EXPECT_EQ(RecognizeMetafileName("/x/pic.jpg"), FileType::kUnknown);
}

}  // namespace
}  // namespace tesselor
