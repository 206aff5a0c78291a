// A bitmap whose header, colour table and rows share one heap block.
#pragma once

#include <string>

#include "imagelib/bitmap_info_header.h"
#include "imagelib/bmp.h"

namespace tesselor {

class CWinBmp : public CBmp {
 public:
  // Starts with 16 x 16 pixels at 8 bits and a grey colour table.
  CWinBmp();
  ~CWinBmp() override;

  int64_t MemoryUsed() const override;
  int LineLength() const override;

  // Writes the bitmap as a Windows bitmap file (24 bits for deeper bitmaps),
  // replacing path only once the whole file is written. Throws FileError.
  void SaveAsBmp(const std::string& path) const;

  const BitmapInfoHeader& Header() const { return *header_; }

 protected:
  struct NoStorage {};
  explicit CWinBmp(NoStorage) {}

  void AllocateStorage(int width, int height, int bitsPerPixel, bool hasAlpha) override;
  void ReleaseStorage() override;
  void BuildLineArray() override;

  // Allocates header + colour table + extraBytes in one block and fills the
  // header; returns the start of the extra bytes.
  uint8_t* AllocateHeaderBlock(int width, int height, int bitsPerPixel, int64_t extraBytes);
  void FreeHeaderBlock();

  // Throws BitmapTooLarge for sizes no bitmap may have, std::bad_alloc for
  // a depth none may have.
  static void CheckSize(int width, int height, int bitsPerPixel);
  static int64_t ColourTableBytes(int bitsPerPixel);

  BitmapInfoHeader* header_ = nullptr;
};

}  // namespace tesselor
