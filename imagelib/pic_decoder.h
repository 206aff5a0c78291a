// The common shape of every decoder: open a source, decode from it, close it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "imagelib/bmp.h"
#include "imagelib/data_source.h"

namespace tesselor {

// A colour table a decoder hands back: 4 bytes per entry (blue, green, red, 255).
using ColourTable = std::vector<uint8_t>;

class CPicDecoder {
 public:
  virtual ~CPicDecoder() = default;

  // Decodes the file at path into bmp. bitsPerPixel is 32, or 0 for the
  // file's own depth (8 for files of 8 bits or fewer, else 32). Throws
  // CTextException on any failure.
  virtual void DecodeFile(const std::string& path, CBmp& bmp, int bitsPerPixel,
                          ProgressNotifier* notifier = nullptr);
  virtual void DecodeSource(CDataSource& source, CBmp& bmp, int bitsPerPixel);
  // The format's own step; the base version does nothing.
  virtual void DecodeImage(CBmp& bmp, ColourTable& palette, int& bitsPerPixel,
                           CDataSource& source);

  // The same as DecodeFile for a resource compiled into the program
  // (a null type means RCDATA).
  void DecodeResource(int id, CBmp& bmp, int bitsPerPixel, const char* resourceType);

 protected:
  // Every decoder creates its bitmap through here, so absurd sizes are
  // refused (code 2) before anything is allocated and a failed allocation
  // becomes an image-library error instead of escaping as std::bad_alloc.
  static void CreateBitmap(CBmp& bmp, int64_t width, int64_t height, int bitsPerPixel,
                           bool hasAlpha, const std::string& format);
};

}  // namespace tesselor
