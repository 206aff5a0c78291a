#include "imagelib/jpeg_decoder.h"

#include <jerror.h>

#include <cstring>
#include <mutex>
#include <vector>

#include "imagelib/cmyk_conversion.h"
#include "imagelib/jpeg_errors.h"
#include "imagelib/jpeg_limits.h"
#include "imagelib/text_exception.h"
#include "imagelib/top_left_limit.h"

namespace tesselor {

namespace {

constexpr int kGreyTargetDepth = 8;
constexpr int kColourDepth = 32;

// Put in place of the missing rest of a truncated file, so the library
// finishes the image instead of failing.
const JOCTET kFakeEndOfImage[2] = {0xFF, JPEG_EOI};

// The whole file is already in memory, so the source manager only hands the
// library that block.
void InitSource(j_decompress_ptr) {}
void TerminateSource(j_decompress_ptr) {}

boolean SupplyFakeEndOfImage(j_decompress_ptr cinfo) {
  WARNMS(cinfo, JWRN_JPEG_EOF);
  cinfo->src->next_input_byte = kFakeEndOfImage;
  cinfo->src->bytes_in_buffer = sizeof kFakeEndOfImage;
  return TRUE;
}

void SkipInputData(j_decompress_ptr cinfo, long count) {
  if (count <= 0) return;
  jpeg_source_mgr* src = cinfo->src;
  if (static_cast<size_t>(count) < src->bytes_in_buffer) {
    src->next_input_byte += count;
    src->bytes_in_buffer -= static_cast<size_t>(count);
  } else {
    SupplyFakeEndOfImage(cinfo);
  }
}

// Progress notifiers of every decoder are called one at a time.
std::mutex& ProgressMutex() {
  static std::mutex mutex;
  return mutex;
}

struct ProgressMonitor {
  jpeg_progress_mgr manager{};  // first, so the library's pointer is ours
  ProgressNotifier* notifier = nullptr;
};

void ReportProgress(j_common_ptr cinfo) {
  if (cinfo->is_decompressor && JpegScansOverLimit(reinterpret_cast<j_decompress_ptr>(cinfo)))
    RunCallback(cinfo, [] {
      RaiseError(kErrUnsupported, "JPEG decoder: more than " + std::to_string(kMostJpegScans) +
                                      " scans in one file.");
    });
  auto* monitor = reinterpret_cast<ProgressMonitor*>(cinfo->progress);
  if (!monitor->notifier) return;
  const jpeg_progress_mgr& m = monitor->manager;
  const double passFraction =
      m.pass_limit > 0 ? static_cast<double>(m.pass_counter) / static_cast<double>(m.pass_limit)
                       : 0.0;
  const double fraction =
      m.total_passes > 0 ? (passFraction + m.completed_passes) / m.total_passes : 0.0;
  RunCallback(cinfo, [monitor, fraction] {
    std::lock_guard lock(ProgressMutex());
    monitor->notifier->OnProgress(fraction);
  });
}

// The library writes 255 into the fourth byte of the pixels it decodes; a
// bitmap's fourth byte stays as created (0), as the other formats leave it.
void ClearFourthBytes(uint8_t* pixels, int width) {
  for (int x = 0; x < width; ++x) pixels[4 * x + 3] = 0;
}

void SpreadGrey(const uint8_t* samples, uint8_t* pixels, int width) {
  for (int x = 0; x < width; ++x) {
    uint8_t* p = pixels + 4 * x;
    p[0] = p[1] = p[2] = samples[x];
    p[3] = 255;
  }
}

}  // namespace

struct CJPEGDecoder::Impl {
  JpegErrors errors;
  jpeg_decompress_struct decompressor{};
  jpeg_source_mgr sourceManager{};
  ProgressMonitor progress;
  std::vector<uint8_t> rowBuffer;
  TopLeftLimit limit;

  Impl() {
    decompressor.client_data = &errors;
    errors.Check(JpegGuardCreateDecompress(&errors.guard, &decompressor));
    sourceManager.init_source = InitSource;
    sourceManager.fill_input_buffer = SupplyFakeEndOfImage;
    sourceManager.skip_input_data = SkipInputData;
    sourceManager.resync_to_restart = jpeg_resync_to_restart;
    sourceManager.term_source = TerminateSource;
    progress.manager.progress_monitor = ReportProgress;
  }
  ~Impl() { jpeg_destroy_decompress(&decompressor); }

  void Attach(CDataSource& source) {
    // The library reads the block directly, bypassing the source's own
    // accounting; recognition only peeked, so this is the whole file.
    sourceManager.next_input_byte = source.CurrentPointer();
    sourceManager.bytes_in_buffer = static_cast<size_t>(source.BytesLeft());
    decompressor.src = &sourceManager;
    progress.notifier = source.Notifier();
    decompressor.progress = &progress.manager;
  }

  void ReadRow(uint8_t* row) {
    errors.Check(JpegGuardReadScanline(&errors.guard, &decompressor, row));
  }

  uint8_t* RowBuffer(size_t bytes) {
    rowBuffer.resize(bytes);
    return rowBuffer.data();
  }

  void Decode(const CJPEGDecoder& owner, CBmp& bmp, int& bitsPerPixel);
};

void CJPEGDecoder::Impl::Decode(const CJPEGDecoder& owner, CBmp& bmp, int& bitsPerPixel) {
  errors.Check(JpegGuardReadHeader(&errors.guard, &decompressor));
  BoundJpegMemory(&decompressor);
  // Tiles are decoded by the thousand; plain upsampling is much faster and
  // the difference does not show at tile size.
  decompressor.do_fancy_upsampling = FALSE;
  decompressor.dct_method = JDCT_FLOAT;
  // Colour goes straight into 4-byte pixels, with no row copied afterwards.
  if (decompressor.out_color_space == JCS_RGB) decompressor.out_color_space = JCS_EXT_BGRX;
  const J_COLOR_SPACE space = decompressor.out_color_space;
  if (space != JCS_GRAYSCALE && space != JCS_EXT_BGRX && space != JCS_CMYK)
    RaiseError(kErrUnsupported, "JPEG decoder: the colour space of this file is not supported.");

  // Only an 8-bit target can take grey samples as they are; any other
  // request gets 32-bit pixels rather than rows too short for them.
  const bool grey = space == JCS_GRAYSCALE;
  const int depth = grey && (bitsPerPixel == 0 || bitsPerPixel == kGreyTargetDepth)
                        ? kGreyTargetDepth
                        : kColourDepth;
  // Made before the library sets up its own buffers for the image, so a
  // header with an absurd size is refused before anything large is allocated.
  owner.RefuseImpossibleSize(decompressor.image_width, decompressor.image_height, "JPEG decoder");
  const PictureSize wanted = limit.Apply({decompressor.image_width, decompressor.image_height});
  owner.CreateBitmap(bmp, wanted.width, wanted.height, depth, false, "JPEG decoder");
  bitsPerPixel = depth;
  errors.Check(JpegGuardStartDecompress(&errors.guard, &decompressor));
  JDIMENSION cropOffset = 0, cropWidth = static_cast<JDIMENSION>(bmp.width);
  if (cropWidth < decompressor.output_width)
    errors.Check(JpegGuardCropScanline(&errors.guard, &decompressor, &cropOffset, &cropWidth));

  // Grey samples at 8 bits and colour pixels fill the rows as they are; CMYK
  // samples are converted into the pixels and grey ones spread into opaque
  // pixels. A cropped row may come wider than the bitmap, so it goes through
  // the row buffer and only the bitmap's part is kept.
  const bool eightBit = depth == kGreyTargetDepth;
  const bool colour = space == JCS_EXT_BGRX;
  const bool sameLayout = eightBit || colour;
  const bool direct =
      sameLayout && decompressor.output_width == static_cast<JDIMENSION>(bmp.width);
  void (*const convert)(const uint8_t*, uint8_t*, int) =
      space == JCS_CMYK ? InvertedCmykToBgr : SpreadGrey;
  uint8_t* samples =
      direct ? nullptr
             : RowBuffer(size_t{decompressor.output_width} * decompressor.output_components);
  for (int y = 0; y < bmp.height; ++y) {
    uint8_t* row = bmp.lineArray[y];
    if (direct) {
      ReadRow(row);
    } else {
      ReadRow(samples);
      if (sameLayout)
        std::memcpy(row, samples, static_cast<size_t>(bmp.width) * (eightBit ? 1 : 4));
      else
        convert(samples, row, bmp.width);
    }
    if (colour) ClearFourthBytes(row, bmp.width);
  }
  // Rows below the limit are left undecoded.
  if (decompressor.output_scanline < decompressor.output_height)
    jpeg_abort_decompress(&decompressor);
  else
    errors.Check(JpegGuardFinishDecompress(&errors.guard, &decompressor));
}

CJPEGDecoder::CJPEGDecoder() : impl_(std::make_unique<Impl>()) {}

CJPEGDecoder::~CJPEGDecoder() = default;

void CJPEGDecoder::LimitToTopLeft(int width, int height) {
  impl_->limit = {width, height};
}

int64_t CJPEGDecoder::MostPixelsPerByte() const {
  return JpegMostPixelsPerByte(&impl_->decompressor);
}

void CJPEGDecoder::DecodeImage(CBmp& bmp, ColourTable&, int& bitsPerPixel, CDataSource& source) {
  impl_->Attach(source);
  try {
    impl_->Decode(*this, bmp, bitsPerPixel);
  } catch (...) {
    // Back to idle, so the next file can use the same decompressor.
    jpeg_abort_decompress(&impl_->decompressor);
    throw;
  }
}

}  // namespace tesselor
