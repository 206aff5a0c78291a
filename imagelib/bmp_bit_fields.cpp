#include "imagelib/bmp_bit_fields.h"

namespace tesselor {

BmpBitFields::BmpBitFields(const BmpChannelMasks& masks)
    : blue_(ChannelOf(masks.blue)),
      green_(ChannelOf(masks.green)),
      red_(ChannelOf(masks.red)),
      alpha_(ChannelOf(masks.alpha)) {}

BmpChannelMasks BmpBitFields::FiveFiveFive() {
  return {0x7C00, 0x03E0, 0x001F, 0};
}

BmpBitFields::Channel BmpBitFields::ChannelOf(uint32_t mask) {
  Channel channel;
  if (mask == 0) return channel;
  channel.mask = mask;
  while (!(mask >> channel.shift & 1)) ++channel.shift;
  channel.largest = mask >> channel.shift;
  return channel;
}

uint8_t BmpBitFields::Scaled(const Channel& channel, uint32_t pixel) {
  if (channel.largest == 0) return 0;
  const uint64_t value = (pixel & channel.mask) >> channel.shift;
  return static_cast<uint8_t>(value * 255 / channel.largest);
}

void BmpBitFields::DecodeRow(const uint8_t* row, int bytesPerPixel, int width,
                             uint8_t* line) const {
  for (int x = 0; x < width; ++x, row += bytesPerPixel, line += 4) {
    uint32_t pixel = 0;
    for (int i = bytesPerPixel - 1; i >= 0; --i) pixel = pixel << 8 | row[i];
    line[0] = Scaled(blue_, pixel);
    line[1] = Scaled(green_, pixel);
    line[2] = Scaled(red_, pixel);
    line[3] = alpha_.largest ? Scaled(alpha_, pixel) : 255;
  }
}

}  // namespace tesselor
