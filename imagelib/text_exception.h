// The image library's one exception, a numeric code and a text, and the one
// way the library raises it.
#pragma once

#include <exception>
#include <string>

namespace tesselor {

// Codes carried by CTextException.
enum ImageErrorCode : int {
  kErrOpenOutput = -1,      // output file could not be created or its buffer allocated
  kErrWrongSignature = 1,   // not this format
  kErrBadHeader = 2,        // malformed or unsupported header value, absurd size
  kErrPathNotFound = 3,     // folder of the file does not exist
  kErrFileNotFound = 4,     // file or resource not found, or could not be opened
  kErrAccessDenied = 5,     // access denied, or the file could not be mapped
  kErrUnsupported = 6,      // format feature not supported, or a codec error
  kErrInconsistent = 7,     // data inconsistent with itself
  kErrUnknownFileType = 8,  // format detection found nothing
  kErrOutOfMemory = 10,
  kErrEndOfData = 11,  // read past the end of a source, or write past a sink
};

class CTextException : public std::exception {
 public:
  CTextException(int code, std::string text) : code_(code), text_(std::move(text)) {}

  int GetCode() const { return code_; }
  const std::string& GetText() const { return text_; }
  const char* what() const noexcept override { return text_.c_str(); }

 private:
  int code_;
  std::string text_;
};

// Every failure the image library finds itself comes through here, so its
// texts share one shape. Concatenation, never a format string: paths may
// hold '%'.
[[noreturn]] inline void RaiseError(int code, const std::string& message) {
  throw CTextException(code, "Decoder error: " + message + "\n");
}

// For a file that could not be written: no decoder had a part in it, so the
// text says only what happened.
[[noreturn]] inline void RaiseWriteError(int code, const std::string& message) {
  throw CTextException(code, message + "\n");
}

}  // namespace tesselor
