#include "imagelib/eps_decoder.h"

#include "imagelib/byte_order.h"
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
  source.ReadBytes(LittleEndian32(header + kTiffOffsetField));
  tiffDecoder_.DecodeImage(bmp, palette, bitsPerPixel, source);
}

}  // namespace tesselor
