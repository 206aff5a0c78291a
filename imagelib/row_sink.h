// Where a picture goes when it is made band by band rather than held whole:
// rows arrive top line first, each of 32-bit pixels (blue, green, red, a
// fourth byte that is ignored).
#pragma once

#include <cstdint>

namespace tesselor {

class RowSink {
 public:
  virtual ~RowSink() = default;
  // The next count lines of the picture. Throws when they cannot be written.
  virtual void WriteRows(const uint8_t* const* rows, int count) = 0;
};

}  // namespace tesselor
