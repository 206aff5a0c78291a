// Feeds arbitrary bytes to one decoder, chosen at build time: FUZZ_DECODER
// names its class and FUZZ_SOURCE_NAME the name the data source carries
// (metafiles are told apart by name). A decoder may refuse the data with
// CTextException; anything else (a crash, a sanitizer report, a leak, any
// other exception) is a finding.
#include <cstddef>
#include <cstdint>
#include <type_traits>

#include "imagelib/any_pic_decoder.h"
#include "imagelib/draw_dib_bmp.h"
#include "imagelib/text_exception.h"

using namespace tesselor;

namespace {

template <class Decoder>
Decoder& TheDecoder() {
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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  // The first byte picks the requested depth, so both the 32-bit and the
  // file's-own-depth paths are explored.
  const int bitsPerPixel = data[0] & 1 ? 32 : 0;
  CMemorySource source(data + 1, static_cast<int64_t>(size - 1), FUZZ_SOURCE_NAME);
  CDrawDibBmp bmp;
  try {
    TheDecoder<FUZZ_DECODER>().DecodeSource(source, bmp, bitsPerPixel);
  } catch (const CTextException&) {
  }
  return 0;
}
