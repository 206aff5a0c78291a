#include "imagelib/jpeg_encoder.h"

#include "imagelib/file_sink.h"
#include "imagelib/jpeg_errors.h"
#include "imagelib/text_exception.h"
#include "platform/atomic_file.h"

namespace tesselor {

namespace {

constexpr size_t kOutputBufferBytes = 8192;

// Collects the library's output in a fixed buffer and hands it to the sink
// whenever it fills.
struct SinkDestination {
  jpeg_destination_mgr manager{};  // first, so the library's pointer is ours
  CDataSink* sink = nullptr;
  JOCTET buffer[kOutputBufferBytes];
};

SinkDestination& DestinationOf(j_compress_ptr cinfo) {
  return *reinterpret_cast<SinkDestination*>(cinfo->dest);
}

void ResetBuffer(SinkDestination& dest) {
  dest.manager.next_output_byte = dest.buffer;
  dest.manager.free_in_buffer = kOutputBufferBytes;
}

// The sink takes all of the bytes or raises code 11 (its buffer is full),
// which then comes out of the encoder as it is.
void WriteToSink(j_compress_ptr cinfo, size_t count) {
  SinkDestination& dest = DestinationOf(cinfo);
  RunCallback(reinterpret_cast<j_common_ptr>(cinfo),
              [&dest, count] { dest.sink->WriteBytes(static_cast<int64_t>(count), dest.buffer); });
}

void InitDestination(j_compress_ptr cinfo) {
  ResetBuffer(DestinationOf(cinfo));
}

boolean EmptyOutputBuffer(j_compress_ptr cinfo) {
  WriteToSink(cinfo, kOutputBufferBytes);
  ResetBuffer(DestinationOf(cinfo));
  return TRUE;
}

void TerminateDestination(j_compress_ptr cinfo) {
  const size_t used = kOutputBufferBytes - DestinationOf(cinfo).manager.free_in_buffer;
  if (used > 0) WriteToSink(cinfo, used);
}

}  // namespace

struct CJPEGEncoder::Impl {
  JpegErrors errors;
  jpeg_compress_struct compressor{};
  SinkDestination destination;

  Impl() {
    compressor.client_data = &errors;
    errors.Check(JpegGuardCreateCompress(&errors.guard, &compressor));
    destination.manager.init_destination = InitDestination;
    destination.manager.empty_output_buffer = EmptyOutputBuffer;
    destination.manager.term_destination = TerminateDestination;
  }
  ~Impl() { jpeg_destroy_compress(&compressor); }

  void Encode(const CBmp& bmp, CDataSink& sink);
};

void CJPEGEncoder::Impl::Encode(const CBmp& bmp, CDataSink& sink) {
  destination.sink = &sink;
  compressor.dest = &destination.manager;
  compressor.image_width = static_cast<JDIMENSION>(bmp.width);
  compressor.image_height = static_cast<JDIMENSION>(bmp.height);
  // Blue, green, red and an ignored fourth byte: the bitmap's own pixels.
  compressor.input_components = 4;
  compressor.in_color_space = JCS_EXT_BGRX;
  errors.Check(JpegGuardSetDefaults(&errors.guard, &compressor));
  compressor.dct_method = JDCT_FLOAT;
  errors.Check(JpegGuardStartCompress(&errors.guard, &compressor));
  for (int y = 0; y < bmp.height; ++y)
    errors.Check(JpegGuardWriteScanline(&errors.guard, &compressor, bmp.lineArray[y]));
  errors.Check(JpegGuardFinishCompress(&errors.guard, &compressor));
}

CJPEGEncoder::CJPEGEncoder() : impl_(std::make_unique<Impl>()) {}

CJPEGEncoder::~CJPEGEncoder() = default;

int64_t CJPEGEncoder::SinkCapacity(const CBmp& bmp) {
  const int64_t used = bmp.MemoryUsed();
  return used < 20000 ? used + 4096 : static_cast<int64_t>(static_cast<double>(used) * 1.2);
}

void CJPEGEncoder::EncodeFile(const std::string& path, const CBmp& bmp) {
  CFileSink sink;
  if (const int code = sink.OpenFile(path, SinkCapacity(bmp)))
    RaiseWriteError(code, "Opening " + path + " for writing failed: " + ErrnoText());
  EncodeToSink(bmp, sink);
  sink.Close();
}

void CJPEGEncoder::EncodeImage(const CBmp& bmp, CDataSink& sink) {
  // Rows of any other depth are shorter than four bytes a pixel; reading
  // them as such would run past the bitmap.
  if (bmp.bitsPerPixel != 32)
    RaiseError(kErrUnsupported, "JPEG encoder: only 32-bit bitmaps can be encoded.");
  try {
    impl_->Encode(bmp, sink);
  } catch (...) {
    // Back to idle, so the next image can use the same compressor.
    jpeg_abort_compress(&impl_->compressor);
    throw;
  }
}

}  // namespace tesselor
