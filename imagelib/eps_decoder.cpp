#include "imagelib/eps_decoder.h"

#include "imagelib/text_exception.h"

namespace tesselor {

namespace {
constexpr int64_t kHeaderBytes = 30;
constexpr int64_t kTiffOffsetField = 20;
}  // namespace

void CEPSDecoder::DecodeImage(CBmp& bmp, ColourTable& palette, int& bitsPerPixel,
                              CDataSource& source) {
  if (source.BytesLeft() < kHeaderBytes) RaiseError(kErrBadHeader, "EPS header is cut short.");
  const uint8_t* header = source.Peek();
  const uint32_t offset =
      uint32_t{header[kTiffOffsetField]} | uint32_t{header[kTiffOffsetField + 1]} << 8 |
      uint32_t{header[kTiffOffsetField + 2]} << 16 | uint32_t{header[kTiffOffsetField + 3]} << 24;
  source.ReadBytes(offset);
  tiffDecoder_.DecodeImage(bmp, palette, bitsPerPixel, source);
}

}  // namespace tesselor
