#include "imagelib/any_pic_decoder.h"

#include <algorithm>

#include "imagelib/text_exception.h"
#include "imagelib/trace.h"

namespace tesselor {

namespace {
// The PICT rule looks at bytes 522 to 525, behind the 512-byte preamble, so
// the look-ahead reaches past it.
constexpr int64_t kRecognitionBytes = 526;
constexpr int64_t kEpsHeaderBytes = 30;
constexpr int64_t kEpsTiffOffsetField = 20;
}  // namespace

FileType CAnyPicDecoder::Recognize(const CDataSource& source) {
  const FileType byName = RecognizeMetafileName(source.Name());
  if (byName != FileType::kUnknown) return byName;
  const int64_t available = std::min(kRecognitionBytes, source.BytesLeft());
  return RecognizeContent(source.Peek(), available, source.Size());
}

void CAnyPicDecoder::DecodeSource(CDataSource& source, CBmp& bmp, int bitsPerPixel) {
  const FileType type = Recognize(source);
  CPicDecoder* decoder = nullptr;
  switch (type) {
    case FileType::kUnknown:
      RaiseError(kErrUnknownFileType, "Unknown file type.");
    case FileType::kEpsTiffPreview: {
      Trace(2, "TIFF preview in EPS file recognized.\n");
      if (source.BytesLeft() < kEpsHeaderBytes) RaiseError(kErrBadHeader, "EPS header is cut short.");
      const uint8_t* header = source.Peek();
      const uint32_t offset = uint32_t{header[kEpsTiffOffsetField]} |
                              uint32_t{header[kEpsTiffOffsetField + 1]} << 8 |
                              uint32_t{header[kEpsTiffOffsetField + 2]} << 16 |
                              uint32_t{header[kEpsTiffOffsetField + 3]} << 24;
      source.ReadBytes(offset);
      tiffDecoder_.DecodeSource(source, bmp, bitsPerPixel);
      return;
    }
    case FileType::kWindowsBitmap:
      Trace(2, "Windows bitmap recognized.\n");
      decoder = &bmpDecoder_;
      break;
    case FileType::kMacPict:
      Trace(2, "Mac PICT recognized.\n");
      decoder = &pictDecoder_;
      break;
    case FileType::kTga:
      Trace(2, "TGA file recognized.\n");
      decoder = &tgaDecoder_;
      break;
    case FileType::kTiff:
      Trace(2, "TIFF file recognized.\n");
      decoder = &tiffDecoder_;
      break;
    case FileType::kJpeg:
      Trace(2, "JPEG file recognized.\n");
      decoder = &jpegDecoder_;
      break;
    case FileType::kPng:
      Trace(2, "PNG file recognized.\n");
      decoder = &pngDecoder_;
      break;
    case FileType::kWindowsMetafile:
      Trace(2, "WMF file recognized.\n");
      decoder = &wemfDecoder_;
      break;
    case FileType::kEnhancedMetafile:
      Trace(2, "EMF file recognized.\n");
      decoder = &wemfDecoder_;
      break;
    case FileType::kPcx:
      Trace(2, "PCX file recognized.\n");
      decoder = &pcxDecoder_;
      break;
  }
  decoder->DecodeSource(source, bmp, bitsPerPixel);
}

}  // namespace tesselor
