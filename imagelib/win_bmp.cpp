#include "imagelib/win_bmp.h"

#include <cstdlib>
#include <cstring>
#include <new>

namespace tesselor {

namespace {
constexpr int kDefaultSize = 16;
constexpr int kDefaultDepth = 8;
// The storage block's own bookkeeping, counted beside header and rows so
// that MemoryUsed reports the whole block.
constexpr int kMemoryOverhead = 36;
}  // namespace

CWinBmp::CWinBmp() { AllocateStorage(kDefaultSize, kDefaultSize, kDefaultDepth, false); }

CWinBmp::~CWinBmp() { CWinBmp::ReleaseStorage(); }

int64_t CWinBmp::ColourTableBytes(int bitsPerPixel) {
  return bitsPerPixel <= 15 ? int64_t{4} << bitsPerPixel : 0;
}

int CWinBmp::LineLength() const { return static_cast<int>(LineLengthFor(width, bitsPerPixel)); }

int64_t CWinBmp::MemoryUsed() const {
  return LineLengthFor(width, bitsPerPixel) * height + kBitmapInfoHeaderSize +
         ColourTableBytes(bitsPerPixel) + kMemoryOverhead;
}

void CWinBmp::CheckSize(int width, int height, int bitsPerPixel) {
  const bool validDepth = bitsPerPixel == 1 || bitsPerPixel == 4 || bitsPerPixel == 8 ||
                          bitsPerPixel == 16 || bitsPerPixel == 24 || bitsPerPixel == 32;
  if (!validDepth) throw std::bad_alloc();
  if (!WithinBitmapLimits(width, height, bitsPerPixel)) throw BitmapTooLarge();
}

uint8_t* CWinBmp::AllocateHeaderBlock(int width, int height, int bitsPerPixel, int64_t extraBytes) {
  CheckSize(width, height, bitsPerPixel);
  const int64_t tableBytes = ColourTableBytes(bitsPerPixel);
  const int64_t total = kBitmapInfoHeaderSize + tableBytes + extraBytes;
  auto* block = static_cast<uint8_t*>(std::malloc(static_cast<size_t>(total)));
  if (!block) throw std::bad_alloc();
  header_ = reinterpret_cast<BitmapInfoHeader*>(block);
  *header_ = BitmapInfoHeader{kBitmapInfoHeaderSize,
                              width,
                              height,
                              1,
                              static_cast<uint16_t>(bitsPerPixel),
                              0,
                              0,
                              0,
                              0,
                              0,
                              0};
  palette = tableBytes ? block + kBitmapInfoHeaderSize : nullptr;
  return block + kBitmapInfoHeaderSize + tableBytes;
}

void CWinBmp::FreeHeaderBlock() {
  std::free(header_);
  header_ = nullptr;
  palette = nullptr;
}

void CWinBmp::AllocateStorage(int w, int h, int bpp, bool alpha) {
  bits = AllocateHeaderBlock(w, h, bpp, LineLengthFor(w, bpp) * h);
  SetDefaultState(w, h, bpp, alpha);
}

void CWinBmp::ReleaseStorage() {
  FreeHeaderBlock();
  lines_.clear();
  lines_.shrink_to_fit();
  lineArray = nullptr;
  bits = nullptr;
}

void CWinBmp::BuildLineArray() {
  const int64_t lineLength = LineLengthFor(width, bitsPerPixel);
  lines_.resize(static_cast<size_t>(height));
  for (int y = 0; y < height; ++y) lines_[y] = bits + (int64_t{height} - 1 - y) * lineLength;
  lineArray = lines_.data();
}

}  // namespace tesselor
