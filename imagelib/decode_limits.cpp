#include "imagelib/decode_limits.h"

#include <cerrno>
#include <cstdlib>

#include "imagelib/text_exception.h"

namespace tesselor {

int64_t PixelBudget() {
  const char* text = std::getenv(kPixelBudgetVariable);
  if (!text || !*text) return kDefaultPixelBudget;
  char* end = nullptr;
  errno = 0;
  const long long value = std::strtoll(text, &end, 10);
  // A setting that is not a positive whole number is a typing slip; the
  // default is safer than no limit at all.
  if (errno != 0 || *end != '\0' || value <= 0) return kDefaultPixelBudget;
  return value;
}

void CheckDeclaredSize(int64_t width, int64_t height, int64_t dataBytes, int64_t mostPixelsPerByte,
                       const std::string& format) {
  const int64_t pixels = width * height;  // each side is at most 65535 here
  const std::string size = std::to_string(width) + " x " + std::to_string(height);
  if (mostPixelsPerByte > 0 && dataBytes >= 0 && pixels / mostPixelsPerByte > dataBytes)
    RaiseError(kErrBadHeader, format + ": a file of " + std::to_string(dataBytes) +
                                  " bytes cannot hold a " + size + " image.");
  const int64_t budget = PixelBudget();
  if (pixels > budget)
    RaiseError(kErrBadHeader, format + ": a " + size + " image is over the limit of " +
                                  std::to_string(budget) + " pixels (" + kPixelBudgetVariable +
                                  " sets it).");
}

}  // namespace tesselor
