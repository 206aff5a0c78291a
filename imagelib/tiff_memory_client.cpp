#include "imagelib/tiff_memory_client.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace tesselor {

// The client record libtiff reads through. The callbacks never throw: they
// run inside libtiff's C frames.
struct TiffMemoryClient::MemSource {
  const uint8_t* data;
  uint64_t position;
  uint64_t size;

  static tmsize_t Read(thandle_t handle, void* buffer, tmsize_t count) {
    auto* self = static_cast<MemSource*>(handle);
    if (count <= 0 || self->position >= self->size) return 0;
    const uint64_t n =
        std::min<uint64_t>(static_cast<uint64_t>(count), self->size - self->position);
    std::memcpy(buffer, self->data + self->position, n);
    self->position += n;
    return static_cast<tmsize_t>(n);
  }
  static tmsize_t Write(thandle_t, void*, tmsize_t) { return 0; }
  static toff_t Seek(thandle_t handle, toff_t offset, int whence) {
    auto* self = static_cast<MemSource*>(handle);
    uint64_t base = 0;
    if (whence == SEEK_CUR) base = self->position;
    if (whence == SEEK_END) base = self->size;
    // libtiff passes negative offsets as wrapped unsigned values; the sum
    // wraps back the same way.
    self->position = base + offset;
    return self->position;
  }
  static int Close(thandle_t) { return 0; }
  static toff_t Size(thandle_t handle) { return static_cast<MemSource*>(handle)->size; }
  // The data is already in memory, so it is handed over as a mapping:
  // libtiff then reads it in place, and its read path for unmapped tiled
  // files refuses some valid uncompressed ones.
  static int Map(thandle_t handle, void** base, toff_t* size) {
    auto* self = static_cast<MemSource*>(handle);
    *base = const_cast<uint8_t*>(self->data);
    *size = self->size;
    return 1;
  }
  static void Unmap(thandle_t, void*, toff_t) {}
};

TiffMemoryClient::TiffMemoryClient(const uint8_t* data, int64_t size)
    : memSource_(new MemSource{data, 0, static_cast<uint64_t>(size)}) {
  TIFFOpenOptions* options = TIFFOpenOptionsAlloc();
  if (!options) return;
  TIFFOpenOptionsSetErrorHandlerExtR(options, &TiffMemoryClient::OnError, this);
  TIFFOpenOptionsSetWarningHandlerExtR(options, &TiffMemoryClient::OnWarning, this);
  tiff_ = TIFFClientOpenExt("MemSource", "r", memSource_.get(), &MemSource::Read, &MemSource::Write,
                            &MemSource::Seek, &MemSource::Close, &MemSource::Size, &MemSource::Map,
                            &MemSource::Unmap, options);
  TIFFOpenOptionsFree(options);
}

TiffMemoryClient::~TiffMemoryClient() {
  if (tiff_) TIFFClose(tiff_);
}

std::string TiffMemoryClient::LastError() const {
  return lastError_.empty() ? std::string("libtiff could not read the image.") : lastError_;
}

int TiffMemoryClient::OnError(TIFF*, void* user, const char* module, const char* format,
                              va_list args) {
  char message[512];
  std::vsnprintf(message, sizeof message, format, args);
  auto* self = static_cast<TiffMemoryClient*>(user);
  // Assigning may allocate; an exception must not cross libtiff's frames.
  try {
    self->lastError_ = module ? std::string(module) + ": " + message : std::string(message);
  } catch (...) {
  }
  return 1;
}

}  // namespace tesselor
