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
  virtual void DecodeImage(CBmp& bmp, ColourTable& palette, int& bitsPerPixel, CDataSource& source);

  // For callers that use only the top-left width x height pixels (0: all of
  // them): a decoder that can stop early then makes a bitmap of at most that
  // size, with the pixels a whole decode would have there; the others go on
  // decoding whole pictures.
  virtual void LimitToTopLeft(int /*width*/, int /*height*/) {}

  // The same as DecodeFile for a resource compiled into the program
  // (a null type means RCDATA).
  void DecodeResource(int id, CBmp& bmp, int bitsPerPixel, const char* resourceType);

 protected:
  // Every decoder creates its bitmap through here, so absurd sizes, sizes
  // over the pixel budget and sizes the data cannot back are refused
  // (code 2) before anything is allocated, and a failed allocation becomes
  // an image-library error instead of escaping as std::bad_alloc.
  void CreateBitmap(CBmp& bmp, int64_t width, int64_t height, int bitsPerPixel, bool hasAlpha,
                    const std::string& format) const;
  // The checks CreateBitmap makes, for a decoder that makes a bitmap smaller
  // than the picture its header declares.
  void RefuseImpossibleSize(int64_t width, int64_t height, const std::string& format) const;

  // The most pixels a byte of this format's data can stand for (see
  // decode_limits.h); 0 when its pixels need not come from the data.
  virtual int64_t MostPixelsPerByte() const;

 private:
  // What the source held when this decode began; -1 outside DecodeSource
  // (a format's own step called directly), where no data bound applies.
  int64_t dataBytes_ = -1;
};

}  // namespace tesselor
