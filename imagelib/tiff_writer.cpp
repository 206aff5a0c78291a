#include <tiffio.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <vector>

#include "imagelib/picture_file_writer.h"
#include "platform/atomic_file.h"
#include "platform/file_error.h"

namespace tesselor {

namespace {

// As for PNG: photographs gain little from harder work.
constexpr int kDeflateLevel = 3;
// Strips of about this many bytes before compression: large enough for
// deflate to do well, small enough for a reader to fetch a part cheaply.
constexpr int64_t kStripBytes = 256 * 1024;
// A classic TIFF addresses 4 GB. Deflate can add a little to what it is
// given, so files whose pixels come near that are written as BigTIFF.
constexpr int64_t kClassicTiffPixelBytes = int64_t{4000} << 20;

class TiffFileWriter : public PictureFileWriter {
 public:
  TiffFileWriter(const std::string& path, int width, int height)
      : path_(path), width_(width), height_(height), row_(size_t(3) * size_t(width)) {
    if (!file_.Open(path)) AbandonPicture(file_, path_, ErrnoText());
    const int descriptor = dup(file_.Descriptor());  // libtiff closes the one it is given
    if (descriptor < 0) AbandonPicture(file_, path_, ErrnoText());
    TIFFOpenOptions* options = TIFFOpenOptionsAlloc();
    if (options) TIFFOpenOptionsSetErrorHandlerExtR(options, &TiffFileWriter::OnError, this);
    if (options) TIFFOpenOptionsSetWarningHandlerExtR(options, &TiffFileWriter::OnWarning, this);
    const bool big = int64_t{3} * width * height > kClassicTiffPixelBytes;
    tiff_ = options ? TIFFFdOpenExt(descriptor, path.c_str(), big ? "w8" : "w", options) : nullptr;
    TIFFOpenOptionsFree(options);
    if (!tiff_) {
      close(descriptor);
      Fail();
    }
    const auto rowsPerStrip =
        static_cast<uint32_t>(std::max<int64_t>(1, kStripBytes / (3 * int64_t{width})));
    if (!TIFFSetField(tiff_, TIFFTAG_IMAGEWIDTH, static_cast<uint32_t>(width)) ||
        !TIFFSetField(tiff_, TIFFTAG_IMAGELENGTH, static_cast<uint32_t>(height)) ||
        !TIFFSetField(tiff_, TIFFTAG_BITSPERSAMPLE, 8) ||
        !TIFFSetField(tiff_, TIFFTAG_SAMPLESPERPIXEL, 3) ||
        !TIFFSetField(tiff_, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB) ||
        !TIFFSetField(tiff_, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG) ||
        !TIFFSetField(tiff_, TIFFTAG_COMPRESSION, COMPRESSION_ADOBE_DEFLATE) ||
        !TIFFSetField(tiff_, TIFFTAG_PREDICTOR, PREDICTOR_HORIZONTAL) ||
        !TIFFSetField(tiff_, TIFFTAG_ZIPQUALITY, kDeflateLevel) ||
        !TIFFSetField(tiff_, TIFFTAG_ROWSPERSTRIP, rowsPerStrip))
      Fail();
  }

  ~TiffFileWriter() override {
    if (tiff_) TIFFClose(tiff_);
  }

  void WriteRows(const uint8_t* const* rows, int count) override {
    for (int k = 0; k < count; ++k) {
      // Blue, green, red and a fourth byte become red, green, blue.
      const uint8_t* pixel = rows[k];
      for (size_t x = 0; x < size_t(width_); ++x, pixel += 4) {
        row_[3 * x] = pixel[2];
        row_[3 * x + 1] = pixel[1];
        row_[3 * x + 2] = pixel[0];
      }
      if (TIFFWriteScanline(tiff_, row_.data(), static_cast<uint32_t>(written_), 0) < 0) Fail();
      ++written_;
    }
  }

  void Commit() override {
    if (written_ != height_) AbandonPicture(file_, path_, "The picture was not written whole.");
    errno = 0;
    const bool flushed = TIFFFlush(tiff_) == 1;
    TIFFClose(tiff_);
    tiff_ = nullptr;
    if (!flushed) Fail();
    if (!file_.Commit()) AbandonPicture(file_, path_, ErrnoText());
  }

 private:
  static int OnError(TIFF*, void* user, const char*, const char* format, va_list args) {
    auto* self = static_cast<TiffFileWriter*>(user);
    self->writeError_ = errno;
    std::vsnprintf(self->message_, sizeof self->message_, format, args);
    return 1;
  }
  static int OnWarning(TIFF*, void*, const char*, const char*, va_list) { return 1; }

  [[noreturn]] void Fail() {
    // A refused write leaves its errno; libtiff's own text says less.
    if (writeError_ == ENOSPC || writeError_ == EIO || writeError_ == EDQUOT ||
        writeError_ == EFBIG) {
      errno = writeError_;
      AbandonPicture(file_, path_, ErrnoText());
    }
    AbandonPicture(file_, path_,
                   std::string("TIFF encoder: ") +
                       (message_[0] ? message_ : "libtiff could not write the image."));
  }

  std::string path_;
  int width_;
  int height_;
  int written_ = 0;
  std::vector<uint8_t> row_;
  AtomicFile file_;
  TIFF* tiff_ = nullptr;
  int writeError_ = 0;
  char message_[512] = "";
};

}  // namespace

std::unique_ptr<PictureFileWriter> OpenTiffWriter(const std::string& path, int width, int height) {
  return std::make_unique<TiffFileWriter>(path, width, height);
}

}  // namespace tesselor
