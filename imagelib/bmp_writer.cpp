#include <cstring>
#include <vector>

#include "imagelib/win_bmp.h"
#include "platform/atomic_file.h"
#include "platform/file_error.h"

namespace tesselor {

namespace {

constexpr int kFileHeaderSize = 14;
constexpr int kHeadersSize = kFileHeaderSize + kBitmapInfoHeaderSize;
// The bytes that pad 24-bit rows, as files written by this program always had them.
constexpr uint8_t kRowPadding[3] = {0x20, 0x00, 0x00};

void Append16(std::vector<uint8_t>& out, uint32_t value) {
  out.push_back(static_cast<uint8_t>(value));
  out.push_back(static_cast<uint8_t>(value >> 8));
}

void Append32(std::vector<uint8_t>& out, uint32_t value) {
  Append16(out, value & 0xFFFF);
  Append16(out, value >> 16);
}

void AppendInfoHeader(std::vector<uint8_t>& out, const BitmapInfoHeader& h) {
  Append32(out, h.biSize);
  Append32(out, static_cast<uint32_t>(h.biWidth));
  Append32(out, static_cast<uint32_t>(h.biHeight));
  Append16(out, h.biPlanes);
  Append16(out, h.biBitCount);
  Append32(out, h.biCompression);
  Append32(out, h.biSizeImage);
  Append32(out, static_cast<uint32_t>(h.biXPelsPerMeter));
  Append32(out, static_cast<uint32_t>(h.biYPelsPerMeter));
  Append32(out, h.biClrUsed);
  Append32(out, h.biClrImportant);
}

// Writes through an AtomicFile and turns every failure into a FileError,
// after which the target is as it was and no temporary file is left.
class BmpFileWriter {
 public:
  explicit BmpFileWriter(const std::string& path) : path_(path) {
    if (!file_.Open(path)) Fail();
  }

  void Write(const void* data, size_t count) {
    if (!file_.Write(data, count)) Fail();
  }

  void Commit() {
    if (!file_.Commit()) Fail();
  }

 private:
  [[noreturn]] void Fail() {
    const std::string cause = ErrnoText();
    file_.Discard();
    throw FileError(path_, cause);
  }

  std::string path_;
  AtomicFile file_;
};

}  // namespace

void CWinBmp::SaveAsBmp(const std::string& path) const {
  const bool indexed = bitsPerPixel <= 8;
  // Deeper bitmaps are written as 24 bits; only 24- and 32-bit pixels
  // carry the blue, green, red bytes that takes.
  if (!indexed && bitsPerPixel != 24 && bitsPerPixel != 32)
    throw FileError(path, "A " + std::to_string(bitsPerPixel) +
                              "-bit bitmap cannot be saved as a bitmap file.");
  const int64_t tableBytes = indexed ? ColourTableBytes(bitsPerPixel) : 0;
  const int64_t rowBytes = indexed ? LineLength() : (int64_t{3} * width + 3) / 4 * 4;
  const int64_t pixelBytes = rowBytes * height;

  std::vector<uint8_t> headers;
  headers.reserve(kHeadersSize);
  headers.push_back('B');
  headers.push_back('M');
  Append32(headers, static_cast<uint32_t>(kHeadersSize + tableBytes + pixelBytes));
  Append16(headers, 0);
  Append16(headers, 0);
  Append32(headers, static_cast<uint32_t>(kHeadersSize + tableBytes));
  BitmapInfoHeader info = Header();
  if (!indexed) info.biBitCount = 24;
  AppendInfoHeader(headers, info);

  BmpFileWriter file(path);
  file.Write(headers.data(), headers.size());
  if (indexed) {
    // Colour table and rows are stored just as the file has them.
    file.Write(palette, static_cast<size_t>(tableBytes));
    file.Write(bits, static_cast<size_t>(pixelBytes));
  } else {
    const int stride = bitsPerPixel / 8;
    const size_t padding = static_cast<size_t>(width % 4);
    std::vector<uint8_t> row(static_cast<size_t>(rowBytes));
    for (int y = height - 1; y >= 0; --y) {
      const uint8_t* pixel = lineArray[y];
      for (int x = 0; x < width; ++x, pixel += stride) std::memcpy(&row[3 * size_t(x)], pixel, 3);
      std::memcpy(&row[3 * size_t(width)], kRowPadding, padding);
      file.Write(row.data(), row.size());
    }
  }
  file.Commit();
}

}  // namespace tesselor
