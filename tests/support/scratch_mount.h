// A file system that fails on purpose, for the tests of what the program does
// when a disk is full or read-only: a small tmpfs mounted on a fresh temporary
// folder for one test. Mounting needs privileges (tests run as root, as in
// CI); without them Mounted() is false and the tests that need one skip.
#pragma once

#include <gtest/gtest.h>
#include <sys/mount.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "tests/support/test_support.h"

namespace tesselor::testing {

class ScratchMount {
 public:
  // sizeBytes is rounded up to whole pages by the kernel.
  explicit ScratchMount(size_t sizeBytes) : options_("size=" + std::to_string(sizeBytes)) {
    mounted_ = mount("tesselor-test", Root().c_str(), "tmpfs", 0, options_.c_str()) == 0;
    if (!mounted_) failure_ = std::strerror(errno);
  }
  ~ScratchMount() {
    if (mounted_) umount2(Root().c_str(), MNT_DETACH);
  }
  ScratchMount(const ScratchMount&) = delete;
  ScratchMount& operator=(const ScratchMount&) = delete;

  bool Mounted() const { return mounted_; }
  const std::string& WhyNotMounted() const { return failure_; }
  // Ends in '/'.
  const std::string& Path() const { return dir_.Path(); }
  std::string File(const std::string& name) const { return dir_.File(name); }

  // Writes a filler file until the disk refuses more, so that every later
  // write fails for want of space.
  void FillUp() {
    std::FILE* file = std::fopen(File(".filler").c_str(), "wb");
    ASSERT_NE(file, nullptr);
    const std::vector<uint8_t> block(4096, 0x5A);
    while (std::fwrite(block.data(), 1, block.size(), file) == block.size() &&
           std::fflush(file) == 0) {
    }
    std::fclose(file);
  }
  // Gives the space FillUp took back.
  void MakeRoom() { std::remove(File(".filler").c_str()); }

  // From now on nothing can be written, created, renamed or removed here;
  // what the mount holds stays readable.
  bool MakeReadOnly() {
    return mount(nullptr, Root().c_str(), nullptr, MS_REMOUNT | MS_RDONLY, options_.c_str()) == 0;
  }

 private:
  std::string Root() const { return Path().substr(0, Path().size() - 1); }

  TempDir dir_;  // first, so it is made before the mount and removed after it
  std::string options_;
  bool mounted_ = false;
  std::string failure_;
};

}  // namespace tesselor::testing

// Skips the test when mount could not be mounted.
#define REQUIRE_MOUNT(mount) \
  if (!(mount).Mounted()) GTEST_SKIP() << "cannot mount a tmpfs: " << (mount).WhyNotMounted()
