#include "imagelib/pict_decoder.h"

#include <gtest/gtest.h>

#include "imagelib/any_pic_decoder.h"
#include "imagelib/jpeg_decoder.h"
#include "tests/imagelib/decoder_checks.h"
#include "tests/support/byte_writing.h"

namespace tesselor {
namespace {

using testing::Convert;
using testing::DecodeBytes;
using testing::DecodeFailure;
using testing::DifferenceFromMagick;
using testing::HaveProgram;
using testing::PixelAt;
using testing::ReadFileBytes;
using testing::Rgb;
using testing::TempDir;

// Builds a picture opcode by opcode, in version 2 form unless asked for 1.
class PictWriter {
 public:
  explicit PictWriter(int version = 2) : bytes_(512 + 10, 0), version_(version) {
    if (version == 1) {
      Bytes({0x11, 0x01});
    } else {
      Words({0x0011, 0x02FF, 0x0C00});
      bytes_.resize(bytes_.size() + 24, 0);
    }
  }
  PictWriter& Bytes(std::initializer_list<uint8_t> more) {
    bytes_.insert(bytes_.end(), more);
    return *this;
  }
  PictWriter& Words(std::initializer_list<int> words) {
    for (const int w : words) testing::PutBigEndian16(bytes_, uint32_t(w));
    return *this;
  }
  PictWriter& Opcode(int opcode) {
    if (version_ == 2 && bytes_.size() % 2) Bytes({0});
    return version_ == 2 ? Words({opcode}) : Bytes({uint8_t(opcode)});
  }
  // The pixel-map fields from version to reserved, for a pixel size.
  PictWriter& PixMapFields(int packType, int pixelSize, int cmpCount) {
    Words({0, packType, 0, 0, 0x48, 0, 0x48, 0, 0, pixelSize, cmpCount, 8});
    return Words({0, 0, 0, 0, 0, 0});
  }
  PictWriter& End() { return Opcode(0xFF); }
  const std::vector<uint8_t>& Data() const { return bytes_; }

 private:
  std::vector<uint8_t> bytes_;
  int version_;
};

// An indexed pixel map of 3 x 1 pixels of 8 bits, indices 0 1 2, behind a
// colour table of `entries` entries (entry i is red i * 100).
PictWriter IndexedPicture(int entries, uint8_t lastIndex = 2) {
  PictWriter pict;
  pict.Opcode(0x98).Words({0x8000 | 4, 0, 0, 1, 3}).PixMapFields(0, 8, 1);
  pict.Words({0, 0, 0, entries - 1});  // seed, flags, last entry
  for (int i = 0; i < entries; ++i) pict.Words({i, i * 100 << 8, 0, 0});
  pict.Words({0, 0, 1, 3, 0, 0, 1, 3, 0});
  return pict.Bytes({0, 1, lastIndex, 0});  // rows under 8 bytes are stored unpacked
}

TEST(PictDecoder, MatchesImageMagickForDirectAndIndexedPixelMaps) {
  if (!HaveProgram("convert")) GTEST_SKIP() << "ImageMagick is not installed";
  TempDir dir;
  testing::WritePpm(dir.File("in.ppm"), testing::TestPattern(37, 23));
  ASSERT_TRUE(Convert(dir.File("in.ppm") + " " + dir.File("direct.pict")));
  ASSERT_TRUE(
      Convert(dir.File("in.ppm") + " -colors 16 -type palette " + dir.File("indexed.pict")));
  CPictDecoder decoder(nullptr);
  for (const char* name : {"direct.pict", "indexed.pict"}) {
    CDrawDibBmp bmp;
    decoder.DecodeFile(dir.File(name), bmp, 32);
    ASSERT_EQ(bmp.width, 37) << name;
    ASSERT_EQ(bmp.height, 23) << name;
    // Colour tables hold 16-bit values: we keep the high byte where
    // ImageMagick rounds.
    EXPECT_LE(DifferenceFromMagick(bmp, dir.File(name)), 1) << name;
  }
  CDrawDibBmp own;
  decoder.DecodeFile(dir.File("indexed.pict"), own, 0);
  EXPECT_EQ(own.bitsPerPixel, 8);

  // Recognised by content: the signature lies behind the 512-byte preamble.
  CAnyPicDecoder any;
  CDrawDibBmp routed;
  any.DecodeFile(dir.File("direct.pict"), routed, 32);
  EXPECT_LE(DifferenceFromMagick(routed, dir.File("direct.pict")), 1);
}

TEST(PictDecoder, VectorOpcodesBeforeThePixelsAreSkipped) {
  PictWriter pict;
  pict.Opcode(0x01).Words({10, 0, 0, 5, 5});                  // clip region
  pict.Opcode(0x28).Words({1, 1}).Bytes({3, 'a', 'b', 'c'});  // long text
  pict.Opcode(0xA1).Words({100, 3}).Bytes({1, 2, 3});         // long comment
  pict.Opcode(0x13).Words({2, 0, 0, 0, 0, 1, 2, 3});          // RGB pen pattern
  pict.Opcode(0x70).Words({14, 0, 0, 1, 1, 0, 0});            // polygon
  pict.Opcode(0x31).Words({0, 0, 4, 4});                      // paintRect
  pict.Opcode(0xA5).Words({2, 0});                            // reserved, length word
  pict.Opcode(0xD0).Words({0, 2, 0});                         // reserved, 32-bit length
  pict.Opcode(0x0201).Words({0, 0});                          // reserved, twice its high byte
  // A direct 16-bit pixel map of 2 x 1, rows under 8 bytes stored unpacked.
  pict.Opcode(0x9A).Words({0, 0xFF, 0x8000 | 4, 0, 0, 1, 2}).PixMapFields(0, 16, 3);
  pict.Words({0, 0, 1, 2, 0, 0, 1, 2, 0});
  pict.Words({0x7C00, 0x03FF});  // pure red; green and blue
  CPictDecoder decoder(nullptr);
  CDrawDibBmp bmp;
  DecodeBytes(decoder, pict.Data(), bmp);
  ASSERT_EQ(bmp.width, 2);
  EXPECT_EQ(PixelAt(bmp, 0, 0), (Rgb{255, 0, 0}));
  EXPECT_EQ(PixelAt(bmp, 1, 0), (Rgb{0, 255, 255}));
}

TEST(PictDecoder, VersionOneBitmapsAreBlackOnWhite) {
  PictWriter pict(1);
  pict.Opcode(0x90).Words({2, 0, 0, 2, 10, 0, 0, 2, 10, 0, 0, 2, 10, 0});
  pict.Bytes({0x80, 0x40, 0x00, 0x00});
  CPictDecoder decoder(nullptr);
  CDrawDibBmp bmp;
  DecodeBytes(decoder, pict.Data(), bmp);
  ASSERT_EQ(bmp.width, 10);
  EXPECT_EQ(PixelAt(bmp, 0, 0), (Rgb{0, 0, 0}));
  EXPECT_EQ(PixelAt(bmp, 1, 0), (Rgb{255, 255, 255}));
  EXPECT_EQ(PixelAt(bmp, 9, 0), (Rgb{0, 0, 0}));
  EXPECT_EQ(PixelAt(bmp, 9, 1), (Rgb{255, 255, 255}));
}

TEST(PictDecoder, IndexedPixelsAsColoursOrAsIndices) {
  CPictDecoder decoder(nullptr);
  CDrawDibBmp bmp;
  DecodeBytes(decoder, IndexedPicture(3).Data(), bmp, 32);
  EXPECT_EQ(PixelAt(bmp, 2, 0), (Rgb{200, 0, 0}));
  DecodeBytes(decoder, IndexedPicture(3).Data(), bmp, 0);
  EXPECT_EQ(bmp.bitsPerPixel, 8);
  EXPECT_EQ(bmp.lineArray[0][2], 2);
  EXPECT_EQ(bmp.palette[4 * 2 + 2], 200);
}

// Records what it is handed instead of decoding it.
class RecordingJpegDecoder : public CJPEGDecoder {
 public:
  void DecodeSource(CDataSource& source, CBmp&, int bitsPerPixel) override {
    const int64_t size = source.BytesLeft();
    const uint8_t* data = source.ReadBytes(size);
    received.assign(data, data + size);
    requestedDepth = bitsPerPixel;
  }
  std::vector<uint8_t> received;
  int requestedDepth = -1;
};

PictWriter QuickTimePicture(const char* codec, const std::vector<uint8_t>& image) {
  const int matte = 4;  // a few matte bytes the reader must step over
  std::vector<uint8_t> data(68 + matte + 86, 0);
  data[41] = matte;
  const size_t description = 68 + matte;
  data[description + 3] = 86;
  std::copy(codec, codec + 4, data.begin() + static_cast<ptrdiff_t>(description + 4));
  data[description + 47] = uint8_t(image.size());
  data.insert(data.end(), image.begin(), image.end());
  data.insert(data.end(), {0xEE, 0xEE});  // padding beyond the image
  PictWriter pict;
  pict.Opcode(0x8200).Words({0, int(data.size())});
  for (const uint8_t b : data) pict.Bytes({b});
  return pict;
}

TEST(PictDecoder, QuickTimeJpegGoesToTheJpegDecoder) {
  RecordingJpegDecoder jpeg;
  CPictDecoder decoder(&jpeg);
  CDrawDibBmp bmp;
  const std::vector<uint8_t> image = {0xFF, 0xD8, 0xFF, 1, 2, 3, 0xFF, 0xD9};
  DecodeBytes(decoder, QuickTimePicture("jpeg", image).Data(), bmp, 32);
  EXPECT_EQ(jpeg.received, image);
  EXPECT_EQ(jpeg.requestedDepth, 32);

  const CTextException other = DecodeFailure(decoder, QuickTimePicture("rle ", image).Data());
  EXPECT_EQ(other.GetCode(), 6);
  EXPECT_EQ(other.GetText(), "Decoder error: PICT file contains unrecognized quicktime data.\n\n");
}

TEST(PictDecoder, QuickTimeJpegFromImageMagick) {
  if (!HaveProgram("convert")) GTEST_SKIP() << "ImageMagick is not installed";
  TempDir dir;
  testing::WritePpm(dir.File("in.ppm"), testing::TestPattern(40, 24));
  ASSERT_TRUE(Convert(dir.File("in.ppm") + " -compress JPEG " + dir.File("jpeg.pict")));
  CJPEGDecoder jpeg;
  CPictDecoder decoder(&jpeg);
  CDrawDibBmp bmp;
  decoder.DecodeFile(dir.File("jpeg.pict"), bmp, 32);
  ASSERT_EQ(bmp.width, 40);
  EXPECT_LE(DifferenceFromMagick(bmp, dir.File("jpeg.pict")), 2);
}

TEST(PictDecoder, RefusalsCarryTheirCodesAndTexts) {
  CPictDecoder decoder(nullptr);
  auto expectFailure = [&](const std::vector<uint8_t>& bytes, int code, const std::string& text) {
    const CTextException e = DecodeFailure(decoder, bytes);
    EXPECT_EQ(e.GetCode(), code) << text;
    EXPECT_EQ(e.GetText(), "Decoder error: " + text + "\n");
  };
  expectFailure(PictWriter().Opcode(0x31).Words({0, 0, 4, 4}).End().Data(), 6,
                "PICT contained only vector data!\n");

  std::vector<uint8_t> noVersion(530, 0);
  noVersion[522] = 0x12;
  expectFailure(noVersion, 1, "Error decoding pict: Version number missing.");
  noVersion[522] = 0x11;
  noVersion[523] = 0x03;
  expectFailure(noVersion, 1, "Illegal version number.");

  expectFailure(PictWriter().Opcode(0x12).Words({7, 0, 0, 0, 0}).End().Data(), 2,
                "Unknown pattern type in pixPat.");
  expectFailure(IndexedPicture(2).Data(), 2, "pixel value greater than colour table size.");

  PictWriter threeBits;
  threeBits.Opcode(0x98).Words({0x8000 | 4, 0, 0, 1, 3}).PixMapFields(0, 3, 1);
  threeBits.Words({0, 0, 0, 0, 0, 0, 0, 0});
  expectFailure(threeBits.Words({0, 0, 1, 3, 0, 0, 1, 3, 0, 0, 0}).Data(), 2,
                "Bad bits per pixel in expandBuf.");
}

TEST(PictDecoder, DamagedFilesFailCleanly) {
  CPictDecoder decoder(nullptr);
  testing::ExpectDamageIsRefused(decoder, IndexedPicture(3).Data());
  if (!HaveProgram("convert")) GTEST_SKIP() << "ImageMagick is not installed";
  TempDir dir;
  testing::WritePpm(dir.File("in.ppm"), testing::TestPattern(30, 12));
  ASSERT_TRUE(Convert(dir.File("in.ppm") + " " + dir.File("direct.pict")));
  testing::ExpectDamageIsRefused(decoder, ReadFileBytes(dir.File("direct.pict")));
}

}  // namespace
}  // namespace tesselor
