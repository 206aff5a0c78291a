#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "imagelib/image_formats.h"

namespace tesselor {
namespace {

std::string Detect(std::vector<uint8_t> bytes, int64_t size = -1) {
  return FormatName(
      RecognizeFormat(FileHead("", bytes.data(), static_cast<int64_t>(bytes.size()),
                               size < 0 ? static_cast<int64_t>(bytes.size()) : size)));
}

std::string DetectName(const std::string& name) {
  const uint8_t nothing = 0;
  return FormatName(RecognizeFormat(FileHead(name, &nothing, 0, 0)));
}

std::vector<uint8_t> Padded(std::vector<uint8_t> start, size_t size) {
  start.resize(size, 0x55);
  return start;
}

TEST(FormatDetection, SignaturesPickTheirFormats) {
  EXPECT_EQ(Detect(Padded({'B', 'M'}, 64)), "Windows bitmap");
  EXPECT_EQ(Detect(Padded({'I', 'I', 0x2A, 0}, 64)), "TIFF");
  EXPECT_EQ(Detect(Padded({'M', 'M', 0, 0x2A}, 64)), "TIFF");
  EXPECT_EQ(Detect(Padded({0xFF, 0xD8, 0xFF}, 64)), "JPEG");
  EXPECT_EQ(Detect(Padded({0x89, 'P', 'N', 'G'}, 64)), "PNG");
  EXPECT_EQ(Detect(Padded({0x0A, 5, 1}, 64)), "PCX");
  EXPECT_EQ(Detect(Padded({'h', 'e', 'l', 'l', 'o'}, 64)), "unknown");
}

TEST(FormatDetection, TgaNeedsEveryHeaderFieldPlausible) {
  std::vector<uint8_t> tga(64, 0);
  tga[2] = 2;
  tga[16] = 24;
  EXPECT_EQ(Detect(tga), "TGA");
  tga[16] = 7;
  EXPECT_EQ(Detect(tga), "unknown");
}

TEST(FormatDetection, PictOnlyInFilesOver540Bytes) {
  std::vector<uint8_t> pict(541, 0x55);
  pict[522] = 0x00;
  pict[523] = 0x11;
  pict[524] = 0x02;
  pict[525] = 0xFF;
  // The recogniser looks at 512 bytes only, so the PICT bytes lie beyond the
  // peeked block unless more is available.
  EXPECT_EQ(Detect(pict), "Macintosh PICT");
  pict.resize(540);
  EXPECT_EQ(Detect(pict), "unknown");
}

TEST(FormatDetection, EpsNeedsTiffOffsetAndLength) {
  std::vector<uint8_t> eps(64, 0x55);
  eps[0] = 0xC5;
  eps[1] = 0xD0;
  eps[2] = 0xD3;
  eps[3] = 0xC6;
  EXPECT_EQ(Detect(eps), "EPS with TIFF preview");
  for (int i = 24; i < 28; ++i) eps[i] = 0;
  EXPECT_EQ(Detect(eps), "unknown");
}

TEST(FormatDetection, BytesPastTheDataNeverMatch) {
  EXPECT_EQ(Detect({0xFF, 0xD8}), "unknown");
  EXPECT_EQ(Detect({0x0A, 0x05}), "unknown");
  EXPECT_EQ(Detect({}), "unknown");
}

TEST(FormatDetection, MetafileNamesCountOnlyInTheFilesOwnName) {
  EXPECT_EQ(DetectName("/x/pic.WmF"), "Windows metafile");
  EXPECT_EQ(DetectName("/a.emf/pic.jpg"), "unknown");
  EXPECT_EQ(DetectName("photos.WMF.d/p.jpg"), "unknown");
  EXPECT_EQ(DetectName("/x/pic.jpg"), "unknown");
}

TEST(FormatDetection, MetafilesByContentBeforeTheLooserTgaTest) {
  std::vector<uint8_t> emf = Padded({1, 0, 0, 0, 88}, 100);
  emf[16] = 16;  // bounds that also pass for a TGA pixel depth
  emf[7] = emf[2] = 0;
  std::copy_n(" EMF", 4, emf.begin() + 40);
  EXPECT_EQ(Detect(emf), "Enhanced metafile");
  EXPECT_EQ(Detect(Padded({0xD7, 0xCD, 0xC6, 0x9A}, 64)), "Windows metafile");
  EXPECT_EQ(Detect(Padded({1, 0, 9, 0, 0, 3}, 64)), "Windows metafile");
  EXPECT_EQ(Detect(Padded({2, 0, 9, 0, 0, 1}, 64)), "Windows metafile");
  EXPECT_NE(Detect(Padded({1, 0, 9, 0, 0, 2}, 64)), "Windows metafile");  // no such version
  const int64_t size = static_cast<int64_t>(emf.size());
  EXPECT_TRUE(ReadsAsEnhancedMetafile(FileHead("named.wmf", emf.data(), size, size)));
  EXPECT_FALSE(ReadsAsEnhancedMetafile(FileHead("named.wmf", emf.data(), 4, 4)));
}

TEST(FormatDetection, DecodedExtensionsIgnoreCaseButNotFolders) {
  EXPECT_TRUE(HasDecodedExtension("/x/beach.JPG"));
  EXPECT_TRUE(HasDecodedExtension("/x/scan.tiff"));
  EXPECT_FALSE(HasDecodedExtension("/x/notes.txt"));
  EXPECT_FALSE(HasDecodedExtension("/x.png/README"));
  EXPECT_FALSE(HasDecodedExtension("/x/png"));
}

}  // namespace
}  // namespace tesselor
