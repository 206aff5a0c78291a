#include "imagelib/webp_decoder.h"

#include <webp/decode.h>

#include "imagelib/text_exception.h"

namespace tesselor {

void CWebPDecoder::DecodeImage(CBmp& bmp, ColourTable&, int& bitsPerPixel, CDataSource& source) {
  // libwebp reads the block directly; the whole file is already in memory.
  const uint8_t* data = source.CurrentPointer();
  const size_t size = static_cast<size_t>(source.BytesLeft());
  WebPDecoderConfig config;
  if (!WebPInitDecoderConfig(&config)) RaiseError(kErrUnsupported, "WebP decoder: wrong libwebp.");
  if (WebPGetFeatures(data, size, &config.input) != VP8_STATUS_OK)
    RaiseError(kErrBadHeader, "WebP decoder: the header cannot be read.");
  if (config.input.has_animation)
    RaiseError(kErrUnsupported, "WebP decoder: animations are not supported.");

  // The bitmap is made first, so a size we refuse costs nothing.
  CreateBitmap(bmp, config.input.width, config.input.height, 32, config.input.has_alpha != 0,
               "WebP decoder");
  bitsPerPixel = 32;

  // The bitmap's rows are stored bottom-up in one block, so the library
  // writes them there flipped: its first row, the top line, goes last.
  config.options.flip = 1;
  config.output.colorspace = MODE_BGRA;
  config.output.is_external_memory = 1;
  config.output.u.RGBA.rgba = bmp.bits;
  config.output.u.RGBA.stride = bmp.LineLength();
  config.output.u.RGBA.size = static_cast<size_t>(bmp.LineLength()) * bmp.height;
  const VP8StatusCode status = WebPDecode(data, size, &config);
  WebPFreeDecBuffer(&config.output);
  if (status != VP8_STATUS_OK)
    RaiseError(kErrUnsupported, "WebP decoder: the data cannot be decoded (libwebp status " +
                                    std::to_string(static_cast<int>(status)) + ").");
}

}  // namespace tesselor
