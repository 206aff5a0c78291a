#include "imagelib/pcx_decoder.h"

#include <gtest/gtest.h>

#include "tests/imagelib/decoder_checks.h"
#include "tests/support/hand_made_pictures.h"

namespace tesselor {
namespace {

using testing::Convert;
using testing::DecodeBytes;
using testing::DecodeFailure;
using testing::DifferenceFromMagick;
using testing::HaveProgram;
using testing::PcxFile;
using testing::PixelAt;
using testing::Rgb;
using testing::TempDir;
using testing::WriteFileBytes;

std::vector<uint8_t> SixteenColours() {
  std::vector<uint8_t> map;
  for (int i = 0; i < 16; ++i)
    map.insert(map.end(), {uint8_t(i * 16), uint8_t(255 - i * 8), uint8_t(i * 5)});
  return map;
}

TEST(PcxDecoder, OneBitPlanesCombineIntoIndices) {
  // Four planes of one bit: plane i gives bit i of the colour index.
  PcxFile pcx;
  pcx.width = 9;
  pcx.height = 2;
  pcx.bits = 1;
  pcx.planes = 4;
  pcx.bytesPerLine = 2;
  pcx.map16 = SixteenColours();
  for (int y = 0; y < pcx.height; ++y)
    for (int plane = 0; plane < 4; ++plane) {
      uint16_t row = 0;  // pixel x has index (x + y) % 16
      for (int x = 0; x < pcx.width; ++x)
        if ((((x + y) % 16) >> plane) & 1) row |= uint16_t(0x8000 >> x);
      pcx.pixels.insert(pcx.pixels.end(), {uint8_t(row >> 8), uint8_t(row)});
    }
  CDrawDibBmp bmp;
  CPCXDecoder decoder;
  DecodeBytes(decoder, pcx.Bytes(), bmp);
  ASSERT_EQ(bmp.width, 9);
  ASSERT_EQ(bmp.bitsPerPixel, 32);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 9; ++x) {
      const uint8_t* c = &pcx.map16[3 * ((x + y) % 16)];
      EXPECT_EQ(PixelAt(bmp, x, y), (Rgb{c[0], c[1], c[2]})) << x << "," << y;
      EXPECT_EQ(bmp.lineArray[y][4 * x + 3], 255);
    }

  // ImageMagick reads the same file the same way.
  if (!HaveProgram("convert")) GTEST_SKIP() << "ImageMagick is not installed";
  TempDir dir;
  WriteFileBytes(dir.File("planes.pcx"), pcx.Bytes());
  EXPECT_EQ(DifferenceFromMagick(bmp, dir.File("planes.pcx")), 0);
}

TEST(PcxDecoder, PackedIndicesUseTheHeaderColourMap) {
  PcxFile pcx;
  pcx.width = 5;
  pcx.height = 1;
  pcx.bits = 2;
  pcx.bytesPerLine = 2;
  pcx.map16 = SixteenColours();
  pcx.pixels = {0b00011011, 0b01000000};  // indices 0 1 2 3 1
  CDrawDibBmp bmp;
  CPCXDecoder decoder;
  DecodeBytes(decoder, pcx.Bytes(), bmp);
  const int expected[] = {0, 1, 2, 3, 1};
  for (int x = 0; x < 5; ++x) {
    const uint8_t* c = &pcx.map16[3 * expected[x]];
    EXPECT_EQ(PixelAt(bmp, x, 0), (Rgb{c[0], c[1], c[2]}));
  }
}

TEST(PcxDecoder, MatchesImageMagickForItsOwnFiles) {
  if (!HaveProgram("convert")) GTEST_SKIP() << "ImageMagick is not installed";
  TempDir dir;
  // Odd width: each plane row of the 24-bit file carries a padding byte.
  testing::WritePpm(dir.File("in.ppm"), testing::TestPattern(37, 23));
  ASSERT_TRUE(Convert(dir.File("in.ppm") + " " + dir.File("rgb.pcx")));
  ASSERT_TRUE(Convert(dir.File("in.ppm") + " -colors 200 " + dir.File("indexed.pcx")));
  CPCXDecoder decoder;
  for (const char* name : {"rgb.pcx", "indexed.pcx"}) {
    CDrawDibBmp bmp;
    decoder.DecodeFile(dir.File(name), bmp, 0);
    ASSERT_EQ(bmp.width, 37) << name;
    ASSERT_EQ(bmp.height, 23) << name;
    EXPECT_EQ(bmp.bitsPerPixel, 32) << name;
    EXPECT_EQ(DifferenceFromMagick(bmp, dir.File(name)), 0) << name;
  }
}

// Pillow leaves the colour map of its monochrome files blank.
TEST(PcxDecoder, MonochromeFilesWithABlankMapShowAsPillowShowsThem) {
  REQUIRE_PILLOW();
  TempDir dir;
  const std::string path = dir.File("mono.pcx");
  ASSERT_EQ(testing::RunPillow("import sys; from PIL import Image, ImageDraw; "
                               "im = Image.new('1', (37, 23), 1); "
                               "ImageDraw.Draw(im).text((2, 4), 'Ab', fill=0); "
                               "im.save(sys.argv[1])",
                               "'" + path + "'"),
            0);
  CDrawDibBmp bmp;
  CPCXDecoder().DecodeFile(path, bmp, 32);
  EXPECT_EQ(testing::MaxDifference(testing::FromBitmap(bmp), testing::PillowRgb(path)), 0);
  EXPECT_EQ(PixelAt(bmp, 0, 0), (Rgb{255, 255, 255}));
}

TEST(PcxDecoder, TrueColourRowsWiderThanTheImage) {
  PcxFile pcx;
  pcx.width = 3;
  pcx.height = 1;
  pcx.planes = 3;
  pcx.bytesPerLine = 4;  // one padding byte per plane row
  pcx.pixels = {10, 20, 30, 99, 40, 50, 60, 99, 70, 80, 90, 99};
  CDrawDibBmp bmp;
  CPCXDecoder decoder;
  DecodeBytes(decoder, pcx.Bytes(), bmp);
  EXPECT_EQ(PixelAt(bmp, 0, 0), (Rgb{10, 40, 70}));
  EXPECT_EQ(PixelAt(bmp, 2, 0), (Rgb{30, 60, 90}));
}

TEST(PcxDecoder, RefusesWhatItCannotRead) {
  CPCXDecoder decoder;
  PcxFile good;
  good.pixels.assign(8, 1);
  good.map256.assign(768, 0);

  auto withHeaderByte = [&](size_t offset, uint8_t value) {
    std::vector<uint8_t> bytes = good.Bytes();
    bytes[offset] = value;
    return bytes;
  };
  auto expectFailure = [&](const std::vector<uint8_t>& bytes, int code, const std::string& text) {
    const CTextException e = DecodeFailure(decoder, bytes);
    EXPECT_EQ(e.GetCode(), code);
    EXPECT_EQ(e.GetText(), "Decoder error: " + text + "\n");
  };
  expectFailure(withHeaderByte(0, 11), 1, "Error decoding pcx: Not a PCX file.");
  expectFailure(withHeaderByte(2, 0), 1, "File has unknown encoding scheme.");
  std::vector<uint8_t> fivePlanes = withHeaderByte(65, 5);
  fivePlanes[3] = 1;
  expectFailure(fivePlanes, 2, "Can't handle image with more than 4 planes.");
  expectFailure(withHeaderByte(65, 2), 2, "Can't handle bits per pixel image with planes.");
  expectFailure(withHeaderByte(3, 3), 2, "Can't handle bits per pixel image with planes.");
  std::vector<uint8_t> fourBitsThreePlanes = withHeaderByte(65, 3);
  fourBitsThreePlanes[3] = 4;
  expectFailure(fourBitsThreePlanes, 7, "Can't handle more than 1 bit per pixel.");

  std::vector<uint8_t> badSignature = good.Bytes();
  badSignature[badSignature.size() - 769] = 13;
  expectFailure(badSignature, 7, "bad color map signature.");

  // A run of 9 where only 8 bytes remain in the image.
  std::vector<uint8_t> longRun = good.Bytes();
  longRun.resize(128);
  longRun.insert(longRun.end(), {0xC9, 1});
  expectFailure(longRun, 7, "repeat count spans end of image.");

  // Rows shorter than the width would read pixels from the next plane.
  expectFailure(withHeaderByte(66, 3), 7, "bytes per line too small for the image width.");
}

TEST(PcxDecoder, DamagedFilesFailCleanly) {
  PcxFile pcx;
  pcx.width = 20;
  pcx.height = 6;
  pcx.bytesPerLine = 20;
  for (int i = 0; i < 120; ++i) pcx.pixels.push_back(uint8_t(i * 37));
  pcx.map256.assign(768, 7);
  CPCXDecoder decoder;
  std::vector<uint8_t> cut = pcx.Bytes();
  cut.pop_back();
  EXPECT_EQ(DecodeFailure(decoder, cut).GetCode(), 11);
  testing::ExpectDamageIsRefused(decoder, pcx.Bytes());
}

}  // namespace
}  // namespace tesselor
