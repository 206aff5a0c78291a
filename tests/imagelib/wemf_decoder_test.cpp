#include "imagelib/wemf_decoder.h"

#include <gtest/gtest.h>

#include "imagelib/any_pic_decoder.h"
#include "tests/imagelib/decoder_checks.h"
#include "tests/support/byte_writing.h"

namespace tesselor {
namespace {

using testing::DecodeBytes;
using testing::PixelAt;
using testing::PutLittleEndian16;
using testing::PutLittleEndian32;
using testing::Rgb;
using testing::TempDir;
using testing::WriteFileBytes;

constexpr Rgb kWhite{255, 255, 255};
constexpr Rgb kRed{255, 0, 0};
constexpr Rgb kBlue{0, 0, 255};
constexpr Rgb kGreen{0, 255, 0};

uint32_t ColourRef(Rgb c) {
  return c.r | c.g << 8 | c.b << 16;
}

// A 2 x 2 bottom-up 24-bit DIB: top row red, blue; bottom row green, white.
std::vector<uint8_t> SmallDib() {
  std::vector<uint8_t> dib;
  PutLittleEndian32(dib, 40);
  PutLittleEndian32(dib, 2);
  PutLittleEndian32(dib, 2);
  PutLittleEndian16(dib, 1);
  PutLittleEndian16(dib, 24);
  for (int i = 0; i < 6; ++i) PutLittleEndian32(dib, 0);
  dib.insert(dib.end(), {0, 255, 0, 255, 255, 255, 0, 0});  // bottom row, padded to 8
  dib.insert(dib.end(), {0, 0, 255, 255, 0, 0, 0, 0});      // top row
  return dib;
}

// A Windows metafile, record by record, with a placeable header when given
// bounds.
class WmfWriter {
 public:
  WmfWriter& Record(int function, std::initializer_list<int> words) {
    return Record(function, std::vector<int>(words));
  }
  WmfWriter& Record(int function, const std::vector<int>& words,
                    const std::vector<uint8_t>& tail = {}) {
    PutLittleEndian32(records_, uint32_t(3 + words.size() + tail.size() / 2));
    PutLittleEndian16(records_, function);
    for (const int w : words) PutLittleEndian16(records_, w);
    records_.insert(records_.end(), tail.begin(), tail.end());
    return *this;
  }
  WmfWriter& Brush(Rgb colour, int style = 0, int hatch = 0) {
    const uint32_t c = ColourRef(colour);
    return Record(0x02FC, {style, int(c & 0xFFFF), int(c >> 16), hatch});
  }
  WmfWriter& Pen(Rgb colour, int style = 0, int width = 1) {
    const uint32_t c = ColourRef(colour);
    return Record(0x02FA, {style, width, 0, int(c & 0xFFFF), int(c >> 16)});
  }
  WmfWriter& Select(int slot) { return Record(0x012D, {slot}); }
  WmfWriter& Rectangle(int left, int top, int right, int bottom) {
    return Record(0x041B, {bottom, right, top, left});
  }

  std::vector<uint8_t> Bytes(bool placeable = true, int right = 1000, int bottom = 500,
                             int unitsPerInch = 1000) const {
    std::vector<uint8_t> out;
    if (placeable) {
      PutLittleEndian32(out, 0x9AC6CDD7);
      PutLittleEndian16(out, 0);
      for (const int v : {0, 0, right, bottom, unitsPerInch}) PutLittleEndian16(out, v);
      PutLittleEndian32(out, 0);
      PutLittleEndian16(out, 0);
    }
    for (const int v : {1, 9, 0x0300}) PutLittleEndian16(out, v);
    PutLittleEndian32(out, uint32_t(9 + records_.size() / 2 + 3));
    PutLittleEndian16(out, 8);
    PutLittleEndian32(out, 0);
    PutLittleEndian16(out, 0);
    out.insert(out.end(), records_.begin(), records_.end());
    PutLittleEndian32(out, 3);
    PutLittleEndian16(out, 0);  // end record
    return out;
  }

 private:
  std::vector<uint8_t> records_;
};

// An enhanced metafile on a 96-dpi reference device, frame in 0.01 mm.
class EmfWriter {
 public:
  EmfWriter& Record(uint32_t type, std::initializer_list<uint32_t> values) {
    return Record(type, std::vector<uint32_t>(values));
  }
  EmfWriter& Record(uint32_t type, const std::vector<uint32_t>& values) {
    PutLittleEndian32(records_, type);
    PutLittleEndian32(records_, uint32_t(8 + 4 * values.size()));
    for (const uint32_t v : values) PutLittleEndian32(records_, v);
    return *this;
  }
  EmfWriter& Palette(const std::vector<Rgb>& entries) {
    palette_ = entries;
    return *this;
  }

  std::vector<uint8_t> Bytes(int frameRight = 2540, int frameBottom = 1270) const {
    std::vector<uint8_t> out;
    PutLittleEndian32(out, 1);
    PutLittleEndian32(out, 88);
    for (int i = 0; i < 4; ++i) PutLittleEndian32(out, 0);  // bounds
    for (const int v : {0, 0, frameRight, frameBottom}) PutLittleEndian32(out, uint32_t(v));
    PutLittleEndian32(out, 0x464D4520);
    for (int i = 0; i < 6; ++i) PutLittleEndian32(out, 0);  // version .. description offset
    PutLittleEndian32(out, uint32_t(palette_.size()));
    for (const int v : {960, 480, 254, 127})
      PutLittleEndian32(out, uint32_t(v));  // device pixels, mm
    out.insert(out.end(), records_.begin(), records_.end());
    PutLittleEndian32(out, 14);
    PutLittleEndian32(out, uint32_t(20 + 4 * palette_.size()));
    PutLittleEndian32(out, uint32_t(palette_.size()));
    PutLittleEndian32(out, 16);
    for (const Rgb& c : palette_) out.insert(out.end(), {c.r, c.g, c.b, 0});
    PutLittleEndian32(out, 0);
    return out;
  }

 private:
  std::vector<uint8_t> records_;
  std::vector<Rgb> palette_;
};

// Decodes bytes as a file of that name would be.
void DecodeAs(const std::string& name, const std::vector<uint8_t>& bytes, CBmp& bmp,
              int depth = 32) {
  CWEMFDecoder decoder;
  DecodeBytes(decoder, bytes, bmp, depth, name);
}

TEST(WemfDecoder, PlaceableBoundsGiveTheSizeAndShapesLandInIt) {
  // 1000 units per inch over 1000 x 500 units: 96 x 48 pixels, ten units
  // for each pixel and a bit.
  WmfWriter wmf;
  wmf.Brush(kRed).Select(0).Pen(kBlue).Select(1).Rectangle(250, 125, 750, 375);
  CDrawDibBmp bmp;
  DecodeAs("picture.wmf", wmf.Bytes(), bmp);
  ASSERT_EQ(bmp.width, 96);
  ASSERT_EQ(bmp.height, 48);
  EXPECT_EQ(bmp.bitsPerPixel, 32);
  EXPECT_EQ(PixelAt(bmp, 0, 0), kWhite);
  EXPECT_EQ(PixelAt(bmp, 48, 24), kRed);
  EXPECT_EQ(PixelAt(bmp, 24, 12), kBlue);  // the outline's top left corner
  EXPECT_EQ(PixelAt(bmp, 24, 24), kBlue);
  EXPECT_EQ(PixelAt(bmp, 23, 24), kWhite);
  EXPECT_EQ(PixelAt(bmp, 72, 24), kWhite);  // the right edge lies outside, as in GDI
  EXPECT_EQ(PixelAt(bmp, 71, 24), kBlue);
}

TEST(WemfDecoder, WindowRecordsMapLogicalUnitsOntoTheBitmap) {
  // A window of 10 x 5 units over the 96 x 48 picture, with a filled
  // polygon drawn in those units.
  WmfWriter wmf;
  wmf.Record(0x020B, {0, 0}).Record(0x020C, {5, 10});
  wmf.Brush(kGreen).Select(0).Record(0x02FA, {5, 0, 0, 0, 0}).Select(1);  // null pen
  wmf.Record(0x0324, {3, 0, 0, 10, 0, 0, 5});                             // triangle
  CDrawDibBmp bmp;
  DecodeAs("x.wmf", wmf.Bytes(), bmp);
  EXPECT_EQ(PixelAt(bmp, 5, 5), kGreen);
  EXPECT_EQ(PixelAt(bmp, 90, 40), kWhite);
  EXPECT_EQ(PixelAt(bmp, 40, 40), kWhite);
  EXPECT_EQ(PixelAt(bmp, 40, 10), kGreen);
}

TEST(WemfDecoder, FillModeDecidesOverlaps) {
  // Two overlapping squares drawn the same way round in one poly-polygon.
  for (const int mode : {1, 2}) {
    WmfWriter wmf;
    wmf.Record(0x0106, {mode}).Brush(kRed).Select(0).Record(0x02FA, {5, 0, 0, 0, 0}).Select(1);
    wmf.Record(0x0538, {2, 4, 4, 100, 100, 500, 100, 500, 400, 100, 400, 300, 50, 900, 50, 900, 450,
                        300, 450});
    CDrawDibBmp bmp;
    DecodeAs("x.wmf", wmf.Bytes(), bmp);
    EXPECT_EQ(PixelAt(bmp, 20, 20), kRed) << mode;
    EXPECT_EQ(PixelAt(bmp, 70, 20), kRed) << mode;
    EXPECT_EQ(PixelAt(bmp, 40, 20), mode == 2 ? kRed : kWhite) << mode;
  }
}

TEST(WemfDecoder, EllipsesLinesAndBitmapsInWindowsMetafiles) {
  WmfWriter wmf;
  wmf.Brush(kBlue).Select(0).Pen(kBlue).Select(1);
  wmf.Record(0x0418, {400, 400, 100, 100});  // ellipse 100..400 square
  wmf.Pen(kGreen, 0, 0).Select(2).Record(0x0214, {450, 0}).Record(0x0213, {450, 1000});
  // A 2 x 2 DIB stretched over 200 x 200 units at (600, 100).
  wmf.Record(0x0F43, {0x0020, 0x00CC, 0, 2, 2, 0, 0, 200, 200, 100, 600}, SmallDib());
  wmf.Record(0x0626, {1, 2, 3, 4});  // an escape: skipped
  CDrawDibBmp bmp;
  DecodeAs("x.wmf", wmf.Bytes(), bmp);
  EXPECT_EQ(PixelAt(bmp, 24, 24), kBlue);   // centre
  EXPECT_EQ(PixelAt(bmp, 11, 11), kWhite);  // inside the box, outside the ellipse
  EXPECT_EQ(PixelAt(bmp, 30, 43), kGreen);  // the line at y = 450 units
  EXPECT_EQ(PixelAt(bmp, 60, 11), kRed);
  EXPECT_EQ(PixelAt(bmp, 70, 11), kBlue);
  EXPECT_EQ(PixelAt(bmp, 60, 20), kGreen);
  EXPECT_EQ(PixelAt(bmp, 70, 20), kWhite);
  EXPECT_EQ(PixelAt(bmp, 80, 11), kWhite);  // right of the bitmap
}

TEST(WemfDecoder, EmptyFramesBecomeThreeHundredTwentyByTwoHundred) {
  CDrawDibBmp bmp;
  DecodeAs("a.wmf", WmfWriter().Bytes(true, 0, 0), bmp);
  EXPECT_EQ(bmp.width, 320);
  EXPECT_EQ(bmp.height, 200);
  DecodeAs("a.wmf", WmfWriter().Bytes(false), bmp);
  EXPECT_EQ(bmp.width, 320);
  DecodeAs("a.emf", EmfWriter().Bytes(0, 0), bmp);
  EXPECT_EQ(bmp.width, 320);
  EXPECT_EQ(bmp.height, 200);
  EXPECT_EQ(PixelAt(bmp, 319, 199), kWhite);
}

TEST(WemfDecoder, EnhancedMetafilesDrawInDeviceUnitsOfTheFrame) {
  // A frame of 25.4 x 12.7 mm on a 96-dpi device: 96 x 48 pixels.
  EmfWriter emf;
  emf.Record(39, {1, 0, ColourRef(kBlue), 0}).Record(37, {1});                   // brush
  emf.Record(37, {0x80000008});                                                  // null pen
  emf.Record(42, {10, 10, 50, 40});                                              // ellipse
  emf.Record(38, {2, 0, 3, 0, ColourRef(kRed)}).Record(37, {2});                 // pen 3 wide
  emf.Record(27, {60, 5}).Record(54, {90, 5});                                   // a line
  emf.Record(86, {0, 0, 0, 0, 3, 60 | 20 << 16, 90 | 20 << 16, 60 | 45 << 16});  // triangle
  std::vector<uint32_t> dib;
  const std::vector<uint8_t> bytes = SmallDib();
  for (size_t i = 0; i < bytes.size(); i += 4)
    dib.push_back(bytes[i] | bytes[i + 1] << 8 | bytes[i + 2] << 16 | uint32_t(bytes[i + 3]) << 24);
  std::vector<uint32_t> stretch = {0, 0,  0,  0,   0,  40, 0,          0,  2,
                                   2, 80, 40, 120, 16, 0,  0x00CC0020, 10, 8};
  stretch.insert(stretch.end(), dib.begin(), dib.end());
  emf.Record(81, stretch);
  emf.Record(70, {1, 2, 3});  // a comment: skipped
  CDrawDibBmp bmp;
  DecodeAs("/pictures/A.EMF", emf.Bytes(), bmp);
  ASSERT_EQ(bmp.width, 96);
  ASSERT_EQ(bmp.height, 48);
  EXPECT_EQ(PixelAt(bmp, 30, 25), kBlue);
  EXPECT_EQ(PixelAt(bmp, 11, 11), kWhite);
  EXPECT_EQ(PixelAt(bmp, 75, 5), kRed);
  EXPECT_EQ(PixelAt(bmp, 75, 6), kRed);  // the pen is 3 pixels wide
  EXPECT_EQ(PixelAt(bmp, 75, 8), kWhite);
  EXPECT_EQ(PixelAt(bmp, 63, 25), kBlue);  // inside the triangle: the brush
  EXPECT_EQ(PixelAt(bmp, 75, 21), kRed);   // on its top edge: the pen
  EXPECT_EQ(PixelAt(bmp, 2, 41), kRed);    // the DIB: top left quarter red
  EXPECT_EQ(PixelAt(bmp, 8, 46), kWhite);
  EXPECT_EQ(PixelAt(bmp, 2, 46), kGreen);
}

TEST(WemfDecoder, PalettesGiveEightBitPicturesWhenAskedForTheOwnDepth) {
  EmfWriter emf;
  emf.Palette({kWhite, kRed, kGreen});
  emf.Record(39, {1, 0, 0x01000002, 0}).Record(37, {1}).Record(37, {0x80000008});
  emf.Record(43, {0, 0, 48, 48});
  CDrawDibBmp bmp;
  DecodeAs("p.emf", emf.Bytes(), bmp, 0);
  ASSERT_EQ(bmp.bitsPerPixel, 8);
  EXPECT_EQ(bmp.lineArray[10][10], 2);
  EXPECT_EQ(bmp.lineArray[10][60], 0);
  EXPECT_EQ(bmp.palette[4 * 1 + 2], 255);
  DecodeAs("p.emf", emf.Bytes(), bmp, 32);
  EXPECT_EQ(bmp.bitsPerPixel, 32);
  EXPECT_TRUE(bmp.hasAlpha);
  EXPECT_EQ(PixelAt(bmp, 10, 10), kGreen);

  // The same through a Windows metafile's palette record.
  WmfWriter wmf;
  wmf.Record(0x00F7, {0x0300, 2, 0, 0, 0, 0xFF});  // black and blue
  wmf.Record(0x02FC, {0, 1, 0x0100, 0}).Select(1).Rectangle(0, 0, 500, 500);
  DecodeAs("p.wmf", wmf.Bytes(), bmp, 0);
  ASSERT_EQ(bmp.bitsPerPixel, 8);
  EXPECT_EQ(bmp.lineArray[10][10], 1);
  EXPECT_EQ(bmp.palette[4 * 1], 255);
}

TEST(WemfDecoder, RefusalsCarryTheirCodesAndTexts) {
  CWEMFDecoder decoder;
  auto failure = [&](const std::vector<uint8_t>& bytes, const std::string& name) {
    CDrawDibBmp bmp;
    try {
      DecodeBytes(decoder, bytes, bmp, 32, name);
    } catch (const CTextException& e) {
      return std::make_pair(e.GetCode(), e.GetText());
    }
    return std::make_pair(0, std::string());
  };
  const std::string loadFailed =
      "Decoder error: Windows Metafile functions failed to load this image.\n";
  EXPECT_EQ(failure({1, 0, 9, 0}, "a.wmf"),
            std::make_pair(2, std::string("Decoder error: No header information in metafile\n")));
  EXPECT_EQ(failure(std::vector<uint8_t>(40, 0x33), "a.wmf"), std::make_pair(6, loadFailed));
  EXPECT_EQ(failure(std::vector<uint8_t>(100, 0x33), "a.emf"), std::make_pair(6, loadFailed));

  std::vector<uint8_t> cut = WmfWriter().Brush(kRed).Rectangle(0, 0, 5, 5).Bytes();
  cut.resize(cut.size() - 8);  // the rectangle record now runs past the end
  EXPECT_EQ(failure(cut, "a.wmf"), std::make_pair(6, loadFailed));

  EXPECT_EQ(failure(WmfWriter().Bytes(true, 30000, 30000, 1), "a.wmf"),
            std::make_pair(10, std::string("Decoder error: Cannot allocate memory bitmap.\n")));
}

TEST(WemfDecoder, DrawingsBeyondTheWorkBudgetAreRefused) {
  // Each rectangle paints all 1000 x 500 pixels again.
  auto painted = [](int times) {
    WmfWriter wmf;
    wmf.Brush(kRed).Select(0);
    for (int i = 0; i < times; ++i) wmf.Rectangle(0, 0, 1000, 500);
    return wmf.Bytes(true, 1000, 500, 96);
  };
  CDrawDibBmp bmp;
  DecodeAs("x.wmf", painted(20), bmp);
  EXPECT_EQ(bmp.width, 1000);
  try {
    DecodeAs("x.wmf", painted(140), bmp);
    FAIL() << "no exception";
  } catch (const CTextException& e) {
    EXPECT_EQ(e.GetCode(), kErrUnsupported);
    EXPECT_NE(e.GetText().find("steps"), std::string::npos) << e.GetText();
  }
}

TEST(WemfDecoder, NamesRouteFilesToTheMetafileDecoder) {
  TempDir dir;
  const std::string path = dir.File("Drawing.WMF");
  WriteFileBytes(path, WmfWriter().Brush(kRed).Select(0).Rectangle(0, 0, 1000, 500).Bytes());
  CAnyPicDecoder decoder;
  CDrawDibBmp bmp;
  decoder.DecodeFile(path, bmp, 32);
  EXPECT_EQ(bmp.width, 96);
  EXPECT_EQ(PixelAt(bmp, 50, 20), kRed);
}

TEST(WemfDecoder, DamagedFilesFailCleanly) {
  WmfWriter wmf;
  wmf.Brush(kRed).Select(0).Pen(kBlue, 0, 30).Select(1).Rectangle(250, 125, 750, 375);
  wmf.Record(0x0418, {400, 400, 100, 100}).Record(0x0324, {3, 0, 0, 10, 0, 0, 5});
  wmf.Record(0x0F43, {0x0020, 0x00CC, 0, 2, 2, 0, 0, 200, 200, 100, 600}, SmallDib());
  CWEMFDecoder decoder;
  testing::ExpectDamageIsRefused(decoder, wmf.Bytes(true, 200, 100, 1000));

  EmfWriter emf;
  emf.Palette({kRed, kGreen}).Record(39, {1, 0, ColourRef(kBlue), 0}).Record(37, {1});
  emf.Record(42, {10, 10, 50, 40}).Record(86, {0, 0, 0, 0, 3, 60, 90, 60 | 45 << 16});
  testing::ExpectDamageIsRefused(decoder, emf.Bytes(800, 400), "d.emf");
}

}  // namespace
}  // namespace tesselor
