// A bitmap whose rows live in their own zero-filled block, as a DIB section's
// do; its header block holds only the header and colour table.
#pragma once

#include "imagelib/win_bmp.h"

namespace tesselor {

class CDIBSection : public CWinBmp {
 public:
  CDIBSection();
  ~CDIBSection() override;

 protected:
  void AllocateStorage(int width, int height, int bitsPerPixel, bool hasAlpha) override;
  void ReleaseStorage() override;

 private:
  uint8_t* sectionBits_ = nullptr;
};

}  // namespace tesselor
