// Files whose headers claim pictures far beyond what the program can hold:
// every format is refused through format recognition, as the program opens
// files, with a message that says why, and at once, before any storage for
// the claimed pixels is set up.
#include <gtest/gtest.h>
#include <zlib.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "imagelib/any_pic_decoder.h"
#include "imagelib/data_sink.h"
#include "imagelib/draw_dib_bmp.h"
#include "imagelib/jpeg_encoder.h"
#include "imagelib/text_exception.h"
#include "tests/support/hand_made_pictures.h"
#include "tests/support/test_support.h"

namespace tesselor {
namespace {

using Bytes = std::vector<uint8_t>;
using testing::PutBigEndian32;

// Each header is followed by a little data, far less than the size claims.
Bytes WithSomeData(Bytes header, size_t bytes = 64) {
  header.resize(header.size() + bytes, 0x55);
  return header;
}

Bytes BmpHeader(uint32_t width, uint32_t height) {
  testing::BmpFile bmp;
  bmp.width = int32_t(width);
  bmp.height = int32_t(height);
  return WithSomeData(bmp.Build());
}

Bytes TgaHeader(uint32_t width, uint32_t height) {
  return WithSomeData(testing::TgaHeader(2, uint16_t(width), uint16_t(height), 24));
}

Bytes PcxHeader(uint32_t width, uint32_t height) {
  testing::PcxFile pcx;
  pcx.width = int(width);
  pcx.height = int(height);
  pcx.planes = 3;
  pcx.bytesPerLine = int(width);
  return WithSomeData(pcx.Bytes());
}

void PutPngChunk(Bytes& b, const char* type, const Bytes& data) {
  PutBigEndian32(b, uint32_t(data.size()));
  Bytes typed(type, type + 4);
  typed.insert(typed.end(), data.begin(), data.end());
  b.insert(b.end(), typed.begin(), typed.end());
  PutBigEndian32(b, uint32_t(crc32(0, typed.data(), uInt(typed.size()))));
}

Bytes PngHeader(uint32_t width, uint32_t height) {
  Bytes b = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  Bytes header;
  PutBigEndian32(header, width);
  PutBigEndian32(header, height);
  header.insert(header.end(), {8, 2, 0, 0, 0});  // 8-bit RGB, not interlaced
  PutPngChunk(b, "IHDR", header);
  PutPngChunk(b, "IDAT", Bytes(16, 0x55));
  PutPngChunk(b, "IEND", {});
  return b;
}

// One uncompressed grey strip, far shorter than the size claims.
Bytes TiffHeader(uint32_t width, uint32_t height) {
  return testing::TinyTiff(width, height, 8, 1, 1, Bytes(4096, 0x55));
}

// A real 16 x 16 JPEG whose frame header is made to claim the size.
Bytes JpegHeader(uint32_t width, uint32_t height) {
  CDrawDibBmp small;
  testing::FillBitmap(small, 16, 16, [](int x, int y) {
    return testing::Rgb{uint8_t(x * 16), uint8_t(y * 16), 90};
  });
  Bytes b(static_cast<size_t>(CJPEGEncoder::SinkCapacity(small)));
  CDataSink sink;
  sink.Open("small.jpg", b.data(), int64_t(b.size()));
  CJPEGEncoder().EncodeImage(small, sink);
  b.resize(static_cast<size_t>(sink.BytesWritten()));
  for (size_t i = 2; i + 9 < b.size(); ++i)
    if (b[i] == 0xFF && b[i + 1] == 0xC0) {  // length, precision, height, width
      b[i + 5] = uint8_t(height >> 8);
      b[i + 6] = uint8_t(height);
      b[i + 7] = uint8_t(width >> 8);
      b[i + 8] = uint8_t(width);
      return b;
    }
  ADD_FAILURE() << "no frame header";
  return b;
}

struct Format {
  const char* name;
  std::function<Bytes(uint32_t, uint32_t)> header;
};

const Format kFormats[] = {
    {"bmp", BmpHeader}, {"tga", TgaHeader},   {"pcx", PcxHeader},
    {"png", PngHeader}, {"tiff", TiffHeader}, {"jpeg", JpegHeader},
};

class AbsurdSize : public ::testing::TestWithParam<Format> {};

// 65535 x 65535 is the largest size most of these headers can state (JPEG
// stops at 65500, which its library refuses itself); 40000 x 40000 fits every
// header but is 6.4 GB of pixels, past what one bitmap may take; 20000 x 20000
// fits a bitmap and the pixel budget, but no file this small can fill it.
TEST_P(AbsurdSize, IsRefusedAtOnceSayingWhy) {
  const Format& format = GetParam();
  testing::TempDir dir;
  for (const auto& [width, height] :
       {std::pair{65535u, 65535u}, {40000u, 40000u}, {20000u, 20000u}}) {
    const std::string size = std::to_string(width) + " x " + std::to_string(height);
    const std::string path = dir.File(std::string("huge.") + format.name);
    testing::WriteFileBytes(path, format.header(width, height));
    CDrawDibBmp bmp;
    const auto start = std::chrono::steady_clock::now();
    try {
      CAnyPicDecoder().DecodeFile(path, bmp, 32);
      ADD_FAILURE() << size << " decoded";
    } catch (const CTextException& e) {
      const bool ours = e.GetText().find(size) != std::string::npos;
      const bool jpegLibrarys =
          e.GetText().find("Maximum supported image dimension") != std::string::npos;
      EXPECT_TRUE(ours || (format.name == std::string("jpeg") && jpegLibrarys)) << e.GetText();
      EXPECT_EQ(e.GetCode(), ours ? kErrBadHeader : kErrUnsupported) << e.GetText();
    }
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2)) << size;
  }
}

TEST(PixelBudget, TheVariableSetsTheLimitAndTheRefusalNamesIt) {
  testing::TempDir dir;
  CDrawDibBmp picture;
  testing::FillBitmap(picture, 100, 50, [](int, int) { return testing::Rgb{9, 9, 9}; });
  CJPEGEncoder().EncodeFile(dir.File("p.jpg"), picture);
  auto decodes = [&dir](const char* budget) {
    setenv("TESSELOR_MAX_PIXELS", budget, 1);
    CDrawDibBmp bmp;
    try {
      CAnyPicDecoder().DecodeFile(dir.File("p.jpg"), bmp, 32);
    } catch (const CTextException& e) {
      EXPECT_EQ(e.GetCode(), kErrBadHeader);
      for (const char* part : {"100 x 50", budget, "TESSELOR_MAX_PIXELS"})
        EXPECT_NE(e.GetText().find(part), std::string::npos) << e.GetText();
      return false;
    }
    return true;
  };
  EXPECT_FALSE(decodes("4999"));
  EXPECT_TRUE(decodes("5000"));
  EXPECT_TRUE(decodes("plenty"));  // not a number: the default holds
  unsetenv("TESSELOR_MAX_PIXELS");
}

// A budget raised past what one bitmap holds still meets that limit, and
// the refusal says so rather than blaming memory.
TEST(PixelBudget, ARaisedBudgetStopsAtTheLargestPictureSayingSo) {
  testing::TempDir dir;
  Bytes file = BmpHeader(40000, 40000);  // 6.4 GB of pixels
  file.resize(200000, 0x55);             // data enough to be believed
  testing::WriteFileBytes(dir.File("huge.bmp"), file);
  setenv("TESSELOR_MAX_PIXELS", "2000000000", 1);
  CDrawDibBmp bmp;
  try {
    CAnyPicDecoder().DecodeFile(dir.File("huge.bmp"), bmp, 32);
    ADD_FAILURE() << "decoded";
  } catch (const CTextException& e) {
    EXPECT_NE(e.GetText().find("40000 x 40000 image is larger than the 4 GB"), std::string::npos)
        << e.GetText();
    EXPECT_EQ(e.GetText().find("memory for"), std::string::npos) << e.GetText();
  }
  unsetenv("TESSELOR_MAX_PIXELS");
}

INSTANTIATE_TEST_SUITE_P(Formats, AbsurdSize, ::testing::ValuesIn(kFormats),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tesselor
