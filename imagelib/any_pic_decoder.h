// The decoder the program uses for every file: it recognises the format by
// content (metafiles by name) and hands the source to that format's decoder.
#pragma once

#include "imagelib/bmp_decoder.h"
#include "imagelib/format_detection.h"
#include "imagelib/jpeg_decoder.h"
#include "imagelib/pcx_decoder.h"
#include "imagelib/pict_decoder.h"
#include "imagelib/png_decoder.h"
#include "imagelib/tga_decoder.h"
#include "imagelib/tiff_decoder.h"
#include "imagelib/wemf_decoder.h"

namespace tesselor {

class CAnyPicDecoder : public CPicDecoder {
 public:
  CAnyPicDecoder() : pictDecoder_(&jpegDecoder_) {}

  void DecodeSource(CDataSource& source, CBmp& bmp, int bitsPerPixel) override;

  // The type DecodeSource would route source to, without consuming anything.
  static FileType Recognize(const CDataSource& source);

 private:
  CBmpDecoder bmpDecoder_;
  CTGADecoder tgaDecoder_;
  CTIFFDecoder tiffDecoder_;
  CJPEGDecoder jpegDecoder_;
  CPictDecoder pictDecoder_;
  CPNGDecoder pngDecoder_;
  CWEMFDecoder wemfDecoder_;
  CPCXDecoder pcxDecoder_;
};

}  // namespace tesselor
