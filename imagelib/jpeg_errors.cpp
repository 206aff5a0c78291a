#include "imagelib/jpeg_errors.h"

#include <string>

#include "imagelib/text_exception.h"

namespace tesselor {

namespace {

// Warnings (a truncated file, say) are not failures and nobody is shown
// them; the library would print them to stderr.
void IgnoreWarning(j_common_ptr) {}

}  // namespace

JpegErrors::JpegErrors() {
  JpegGuardInit(&guard);
  guard.manager.output_message = IgnoreWarning;
}

void JpegErrors::Check(int completed) {
  if (completed) return;
  if (pending) {
    std::exception_ptr exception = pending;
    pending = nullptr;
    std::rethrow_exception(exception);
  }
  RaiseError(kErrUnsupported, std::string(guard.message) + "\n");
}

}  // namespace tesselor
