#include "engine/mosaic_bitmap.h"

#include <new>

namespace tesselor {

std::unique_ptr<CDrawDibBmp> NewMosaicBitmap(const CBmp& source, double magnification) {
  const double width = source.width * magnification;
  const double height = source.height * magnification;
  if (!WithinBitmapSides(width, height)) return nullptr;
  try {
    auto mosaic = std::make_unique<CDrawDibBmp>();
    mosaic->Create(static_cast<int>(width), static_cast<int>(height), 32, true);
    return mosaic;
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

}  // namespace tesselor
