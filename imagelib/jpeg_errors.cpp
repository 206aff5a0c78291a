#include "imagelib/jpeg_errors.h"

#include <string>

#include "imagelib/text_exception.h"
#include "imagelib/trace.h"

namespace tesselor {

namespace {

// Warnings (a truncated file, say) are not failures and nobody is shown
// them; the library would print them to stderr, we only trace them.
void TraceWarning(j_common_ptr cinfo) {
  char text[kJpegMessageBytes];
  (*cinfo->err->format_message)(cinfo, text);
  try {
    Trace(2, std::string(text) + "\n");
  } catch (...) {
    // Tracing is best effort; nothing may unwind into the library.
  }
}

}  // namespace

JpegErrors::JpegErrors() {
  JpegGuardInit(&guard);
  guard.manager.output_message = TraceWarning;
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
