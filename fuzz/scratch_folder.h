// A private folder for the targets that work through files, made once per
// process. It lies on a memory-backed file system when there is one: every
// run syncs the files it writes, and on a real disk that costs far more than
// the rest of the run.
#pragma once

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace tesselor {

inline const std::string& ScratchFolder() {
  static const std::string folder = [] {
    const char* parent = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
    std::string pattern = std::string(parent) + "/tesselor-fuzz-XXXXXX";
    if (!mkdtemp(pattern.data())) std::abort();
    return pattern + "/";
  }();
  static const bool cleanUp = [] {
    return std::atexit([] {
             std::error_code ignored;
             std::filesystem::remove_all(folder, ignored);
           }) == 0;
  }();
  (void)cleanUp;
  return folder;
}

}  // namespace tesselor
