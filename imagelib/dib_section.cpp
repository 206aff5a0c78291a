#include "imagelib/dib_section.h"

#include <cstdlib>
#include <new>

namespace tesselor {

CDIBSection::CDIBSection() : CWinBmp(NoStorage{}) { CDIBSection::AllocateStorage(16, 16, 8, false); }

CDIBSection::~CDIBSection() { CDIBSection::ReleaseStorage(); }

void CDIBSection::AllocateStorage(int w, int h, int bpp, bool alpha) {
  AllocateHeaderBlock(w, h, bpp, 0);
  const int64_t bytes = LineLengthFor(w, bpp) * h;
  // Zero-filled like a new DIB section: the colour JPEG path relies on it.
  sectionBits_ = static_cast<uint8_t*>(std::calloc(bytes > 0 ? static_cast<size_t>(bytes) : 1, 1));
  if (!sectionBits_) {
    FreeHeaderBlock();
    throw std::bad_alloc();
  }
  bits = sectionBits_;
  SetDefaultState(w, h, bpp, alpha);
}

void CDIBSection::ReleaseStorage() {
  CWinBmp::ReleaseStorage();
  std::free(sectionBits_);
  sectionBits_ = nullptr;
}

}  // namespace tesselor
