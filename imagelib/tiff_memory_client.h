// Opens libtiff on a block of memory through client callbacks, collecting
// the library's messages instead of letting it print them.
#pragma once

#include <tiffio.h>

#include <cstdint>
#include <memory>
#include <string>

namespace tesselor {

class TiffMemoryClient {
 public:
  // Opens the TIFF data; Handle() is null when libtiff refused it.
  TiffMemoryClient(const uint8_t* data, int64_t size);
  ~TiffMemoryClient();
  TiffMemoryClient(const TiffMemoryClient&) = delete;
  TiffMemoryClient& operator=(const TiffMemoryClient&) = delete;

  TIFF* Handle() const { return tiff_; }
  // The last error libtiff reported, or a general text when it said nothing.
  std::string LastError() const;

 private:
  struct MemSource;
  static int OnError(TIFF*, void* user, const char* module, const char* format, va_list args);
  static int OnWarning(TIFF*, void*, const char*, const char*, va_list) { return 1; }

  std::unique_ptr<MemSource> memSource_;
  std::string lastError_;
  TIFF* tiff_ = nullptr;
};

}  // namespace tesselor
