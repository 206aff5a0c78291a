// How the decoder targets read one input, shared with the unit test that
// replays the inputs kept under fuzz/regressions/: the first byte picks the
// requested depth (odd: 32 bits, even: the file's own), so both paths of
// every decoder are explored; the rest is the file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <type_traits>

#include "imagelib/any_pic_decoder.h"
#include "imagelib/bmp_decoder.h"
#include "imagelib/heif_decoder.h"
#include "imagelib/jpeg_decoder.h"
#include "imagelib/pcx_decoder.h"
#include "imagelib/photograph_decoder.h"
#include "imagelib/pict_decoder.h"
#include "imagelib/png_decoder.h"
#include "imagelib/tga_decoder.h"
#include "imagelib/tiff_decoder.h"
#include "imagelib/webp_decoder.h"
#include "imagelib/wemf_decoder.h"

namespace tesselor {

// One decoder of each kind for the whole process, as the program reuses its
// decoders: state left behind by one input must not hurt the next.
template <class Decoder>
Decoder& FuzzedDecoder() {
  if constexpr (std::is_same_v<Decoder, CPictDecoder>) {
    // The PICT decoder hands embedded JPEG data to a JPEG decoder of its own.
    static CJPEGDecoder jpeg;
    static CPictDecoder decoder(&jpeg);
    return decoder;
  } else {
    static Decoder decoder;
    return decoder;
  }
}

// Decodes input into bmp; throws what the decoder throws.
template <class Decoder>
void DecodeFuzzInput(const uint8_t* data, size_t size, const char* sourceName, CBmp& bmp) {
  if (size == 0) return;
  const int bitsPerPixel = data[0] & 1 ? 32 : 0;
  CMemorySource source(data + 1, static_cast<int64_t>(size - 1), sourceName);
  FuzzedDecoder<Decoder>().DecodeSource(source, bmp, bitsPerPixel);
}

}  // namespace tesselor
