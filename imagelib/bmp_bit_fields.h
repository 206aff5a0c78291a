// Pixels of 16, 24 and 32 bits whose channels sit where bit masks say: the
// bit-field bitmaps of paint programs and ImageMagick, and 16-bit files.
#pragma once

#include <cstdint>

#include "imagelib/bmp_file_header.h"

namespace tesselor {

class BmpBitFields {
 public:
  explicit BmpBitFields(const BmpChannelMasks& masks);

  // Decodes width little-endian pixels of bytesPerPixel bytes into blue,
  // green, red and fourth byte; a channel of n bits is scaled to 8 as
  // value x 255 / (2^n - 1). Without an alpha mask the fourth byte is 255.
  void DecodeRow(const uint8_t* row, int bytesPerPixel, int width, uint8_t* line) const;

  // The masks of 16-bit files that give none: five bits for each channel.
  static BmpChannelMasks FiveFiveFive();

 private:
  struct Channel {
    uint32_t mask = 0;
    int shift = 0;
    uint32_t largest = 0;  // the channel's largest value, 0 when it is absent
  };
  static Channel ChannelOf(uint32_t mask);
  static uint8_t Scaled(const Channel& channel, uint32_t pixel);

  Channel blue_, green_, red_, alpha_;
};

}  // namespace tesselor
