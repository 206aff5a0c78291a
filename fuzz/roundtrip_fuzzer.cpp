// Decodes arbitrary bytes and, when they hold an image, encodes it as JPEG
// and as a Windows bitmap and decodes both again: the writers must take
// whatever the decoders produce, and the decoders must read back what the
// writers wrote with the same size.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "fuzz/fuzz_bitmap.h"
#include "fuzz/scratch_folder.h"
#include "imagelib/any_pic_decoder.h"
#include "imagelib/jpeg_encoder.h"
#include "imagelib/text_exception.h"

using namespace tesselor;

namespace {

void ExpectSameSize(const std::string& path, const CBmp& original) {
  CAnyPicDecoder decoder;
  CDrawDibBmp again;
  decoder.DecodeFile(path, again, 32);
  if (again.width != original.width || again.height != original.height) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static CAnyPicDecoder decoder;
  CMemorySource source(data, static_cast<int64_t>(size), "fuzz-input");
  FuzzBitmap bmp;
  try {
    decoder.DecodeSource(source, bmp, 32);
  } catch (const CTextException&) {
    return 0;
  }
  // Keep each run quick: large pictures add time, not coverage.
  if (int64_t{bmp.width} * bmp.height > 512 * 512) return 0;
  // A JPEG holds at most 65500 pixels a side, and the encoder rightly says
  // so for a picture of, say, 70000 x 1.
  constexpr int kMostJpegPixelsASide = 65500;
  if (bmp.width > kMostJpegPixelsASide || bmp.height > kMostJpegPixelsASide) return 0;
  const std::string jpegPath = ScratchFolder() + "roundtrip.jpg";
  const std::string bmpPath = ScratchFolder() + "roundtrip.bmp";
  CJPEGEncoder encoder;
  encoder.EncodeFile(jpegPath, bmp);
  ExpectSameSize(jpegPath, bmp);
  bmp.SaveAsBmp(bmpPath);
  ExpectSameSize(bmpPath, bmp);
  return 0;
}
