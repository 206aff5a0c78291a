// A failed file operation outside the image library: which file and why.
// The front ends show it as a file-error message (stop icon).
#pragma once

#include <stdexcept>
#include <string>

namespace tesselor {

class FileError : public std::runtime_error {
 public:
  FileError(std::string path, std::string cause)
      : std::runtime_error(path + "\n" + cause), path_(std::move(path)), cause_(std::move(cause)) {}

  const std::string& Path() const { return path_; }
  const std::string& Cause() const { return cause_; }

 private:
  std::string path_;
  std::string cause_;
};

}  // namespace tesselor
