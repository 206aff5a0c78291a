// The part of a picture a caller will use when it reads only the top-left
// corner, as tile loading does: decoders may stop there.
#pragma once

#include <algorithm>
#include <cstdint>

namespace tesselor {

struct PictureSize {
  int64_t width = 0;
  int64_t height = 0;
};

struct TopLeftLimit {
  int width = 0;   // 0: every column
  int height = 0;  // 0: every row

  // The size of the part to decode from a picture of the given size.
  PictureSize Apply(PictureSize picture) const {
    if (width > 0) picture.width = std::min<int64_t>(picture.width, width);
    if (height > 0) picture.height = std::min<int64_t>(picture.height, height);
    return picture;
  }
};

}  // namespace tesselor
