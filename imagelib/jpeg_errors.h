// What the JPEG decoder and encoder share about failures: the library's
// errors, and exceptions from our own callbacks, both leave the library by
// its error exit and are raised as C++ exceptions only once back in our code.
#pragma once

#include <exception>

#include "imagelib/jpeg_error_guard.h"

namespace tesselor {

struct JpegErrors {
  JpegErrorGuard guard;
  // An exception one of our callbacks caught inside a library call.
  std::exception_ptr pending;

  // Prepares the guard; the codec object's client_data must point here so
  // callbacks can find it.
  JpegErrors();

  // Given a guarded call's result: returns on success, else raises the
  // pending exception or code 6 with the library's text.
  void Check(int completed);
};

// Runs body inside a library callback. An exception is kept in the codec's
// JpegErrors and the library is left through its error exit, so nothing
// unwinds through its frames.
template <typename Body>
void RunCallback(j_common_ptr cinfo, Body&& body) {
  bool failed = false;
  {
    auto* errors = static_cast<JpegErrors*>(cinfo->client_data);
    try {
      body();
    } catch (...) {
      errors->pending = std::current_exception();
      failed = true;
    }
  }
  // Only trivially destructible locals are alive here, so the jump is safe.
  if (failed) {
    cinfo->err->msg_code = 0;  // the text is never shown: the pending exception wins
    (*cinfo->err->error_exit)(cinfo);
  }
}

}  // namespace tesselor
