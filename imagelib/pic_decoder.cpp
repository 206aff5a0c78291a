#include "imagelib/pic_decoder.h"

#include <new>

#include "imagelib/decode_limits.h"
#include "imagelib/file_source.h"
#include "imagelib/resource_source.h"
#include "imagelib/text_exception.h"

namespace tesselor {

void CPicDecoder::DecodeFile(const std::string& path, CBmp& bmp, int bitsPerPixel,
                             ProgressNotifier* notifier) {
  CFileSource source(notifier);
  if (const int code = source.OpenFile(path)) RaiseError(code, "Opening " + path + " failed");
  DecodeSource(source, bmp, bitsPerPixel);
  source.Close();
}

void CPicDecoder::DecodeResource(int id, CBmp& bmp, int bitsPerPixel, const char* resourceType) {
  CResourceSource source;
  if (const int code = source.OpenResource(id, resourceType))
    RaiseError(code, "Opening resource " + std::to_string(id) + " failed");
  DecodeSource(source, bmp, bitsPerPixel);
  source.Close();
}

void CPicDecoder::DecodeSource(CDataSource& source, CBmp& bmp, int bitsPerPixel) {
  struct Forget {
    int64_t& bytes;
    ~Forget() { bytes = -1; }
  } forget{dataBytes_};
  dataBytes_ = source.BytesLeft();
  ColourTable palette;
  DecodeImage(bmp, palette, bitsPerPixel, source);
}

void CPicDecoder::DecodeImage(CBmp&, ColourTable&, int&, CDataSource&) {}

void CPicDecoder::RefuseImpossibleSize(int64_t width, int64_t height,
                                       const std::string& format) const {
  if (width <= 0 || height <= 0 || width > kMaxBitmapDimension || height > kMaxBitmapDimension)
    RaiseError(kErrBadHeader, format + ": image size " + std::to_string(width) + " x " +
                                  std::to_string(height) + " is not supported.");
  CheckDeclaredSize(width, height, dataBytes_, MostPixelsPerByte(), format);
}

int64_t CPicDecoder::MostPixelsPerByte() const {
  return kMostPixelsPerByte;
}

void CPicDecoder::CreateBitmap(CBmp& bmp, int64_t width, int64_t height, int bitsPerPixel,
                               bool hasAlpha, const std::string& format) const {
  RefuseImpossibleSize(width, height, format);
  try {
    bmp.Create(static_cast<int>(width), static_cast<int>(height), bitsPerPixel, hasAlpha);
  } catch (const BitmapTooLarge&) {
    // Reached only when the pixel budget is raised past what a bitmap holds.
    RaiseError(kErrBadHeader, format + ": a " + std::to_string(width) + " x " +
                                  std::to_string(height) +
                                  " image is larger than the 4 GB a picture may take in memory.");
  } catch (const std::bad_alloc&) {
    RaiseError(kErrBadHeader, format + ": not enough memory for a " + std::to_string(width) +
                                  " x " + std::to_string(height) + " image.");
  }
}

}  // namespace tesselor
