// Feeds arbitrary bytes to one decoder, chosen at build time: FUZZ_DECODER
// names its class and FUZZ_SOURCE_NAME the name the data source carries
// (metafiles are told apart by name). A decoder may refuse the data with
// CTextException; anything else (a crash, a sanitizer report, a leak, any
// other exception) is a finding.
#include <cstddef>
#include <cstdint>

#include "fuzz/fuzz_bitmap.h"
#include "fuzz/fuzz_input.h"
#include "imagelib/text_exception.h"

using namespace tesselor;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzBitmap bmp;
  try {
    DecodeFuzzInput<FUZZ_DECODER>(data, size, FUZZ_SOURCE_NAME, bmp);
  } catch (const CTextException&) {
  }
  return 0;
}
