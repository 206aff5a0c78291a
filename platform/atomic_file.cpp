#include "platform/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace tesselor {

AtomicFile::~AtomicFile() { Discard(); }

bool AtomicFile::Open(const std::string& targetPath) {
  Discard();
  targetPath_ = targetPath;
  const size_t slash = targetPath.find_last_of('/');
  const std::string folder = slash == std::string::npos ? "" : targetPath.substr(0, slash + 1);
  std::string pattern = folder + ".tesselor-XXXXXX";
  fd_ = mkstemp(pattern.data());
  if (fd_ < 0) return false;
  tempPath_ = pattern;
  // mkstemp makes the file private; give it the usual permissions instead.
  const mode_t mask = umask(0);
  umask(mask);
  fchmod(fd_, 0666 & ~mask);
  return true;
}

bool AtomicFile::Write(const void* data, size_t count) {
  const auto* bytes = static_cast<const char*>(data);
  while (count > 0) {
    const ssize_t written = ::write(fd_, bytes, count);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) {
      if (written == 0) errno = ENOSPC;
      return false;
    }
    bytes += written;
    count -= static_cast<size_t>(written);
  }
  return true;
}

bool AtomicFile::Commit() {
  return Finish(true);
}

bool AtomicFile::CommitWithoutReplacing() {
  return Finish(false);
}

bool RenameWithoutReplacing(const char* from, const char* to) {
  if (renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE) == 0) return true;
  if (errno != EINVAL && errno != ENOSYS) return false;
  if (link(from, to) != 0) return false;
  unlink(from);
  return true;
}

bool AtomicFile::Finish(bool replace) {
  if (fd_ < 0) return false;
  const bool synced = fsync(fd_) == 0;
  const int error = errno;
  const bool closed = ::close(fd_) == 0;
  fd_ = -1;
  const bool moved = synced && closed &&
                     (replace ? std::rename(tempPath_.c_str(), targetPath_.c_str()) == 0
                              : RenameWithoutReplacing(tempPath_.c_str(), targetPath_.c_str()));
  if (!moved) {
    const int failure = synced && closed ? errno : error;
    unlink(tempPath_.c_str());
    tempPath_.clear();
    errno = failure;
    return false;
  }
  tempPath_.clear();
  return true;
}

void AtomicFile::Discard() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  if (!tempPath_.empty()) unlink(tempPath_.c_str());
  tempPath_.clear();
}

std::string ErrnoText() { return std::strerror(errno); }

}  // namespace tesselor
