#include "platform/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace tesselor {

namespace {

// The temporary files being written, where a signal handler can reach them
// without allocating or locking: a slot is claimed, filled, then marked
// ready; the handler removes only ready ones.
enum SlotState : int { kFree, kClaimed, kReady };
struct TemporaryFileSlot {
  std::atomic<int> state{kFree};
  char path[PATH_MAX];
};
std::array<TemporaryFileSlot, 8> temporaryFiles;

int RegisterTemporaryFile(const std::string& path) {
  if (path.size() >= PATH_MAX) return -1;
  for (size_t i = 0; i < temporaryFiles.size(); ++i) {
    int expected = kFree;
    if (!temporaryFiles[i].state.compare_exchange_strong(expected, kClaimed)) continue;
    std::memcpy(temporaryFiles[i].path, path.c_str(), path.size() + 1);
    temporaryFiles[i].state.store(kReady);
    return static_cast<int>(i);
  }
  return -1;  // more files at once than slots: this one is not reachable
}

void UnregisterTemporaryFile(int& slot) {
  if (slot >= 0) temporaryFiles[static_cast<size_t>(slot)].state.store(kFree);
  slot = -1;
}

// The file a write to path ends up in: a symbolic link is followed, so the
// file it points to is replaced and the link stays a link. A link that
// leads nowhere guards nothing and is itself the target.
std::string WriteThroughLinks(const std::string& path) {
  struct stat info {};
  if (lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return path;
  char resolved[PATH_MAX];
  return realpath(path.c_str(), resolved) ? std::string(resolved) : path;
}

}  // namespace

AtomicFile::~AtomicFile() {
  Discard();
}

bool AtomicFile::Open(const std::string& targetPath) {
  Discard();
  targetPath_ = WriteThroughLinks(targetPath);
  const size_t slash = targetPath_.find_last_of('/');
  const std::string folder = slash == std::string::npos ? "" : targetPath_.substr(0, slash + 1);
  std::string pattern = folder + ".tesselor-XXXXXX";
  fd_ = mkstemp(pattern.data());
  if (fd_ < 0) return false;
  tempPath_ = pattern;
  slot_ = RegisterTemporaryFile(tempPath_);
  // mkstemp makes the file private. A file that replaces another keeps that
  // one's permissions; a new one gets the usual permissions.
  struct stat old {};
  if (stat(targetPath_.c_str(), &old) == 0 && S_ISREG(old.st_mode)) {
    fchmod(fd_, old.st_mode & 07777);
  } else {
    const mode_t mask = umask(0);
    umask(mask);
    fchmod(fd_, 0666 & ~mask);
  }
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
  const bool synced = !sync_ || fsync(fd_) == 0;
  const int error = errno;
  const bool closed = ::close(fd_) == 0;
  fd_ = -1;
  const bool moved = synced && closed &&
                     (replace ? std::rename(tempPath_.c_str(), targetPath_.c_str()) == 0
                              : RenameWithoutReplacing(tempPath_.c_str(), targetPath_.c_str()));
  // Only now: an interrupt meanwhile must still find the file to remove.
  UnregisterTemporaryFile(slot_);
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
  UnregisterTemporaryFile(slot_);
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  if (!tempPath_.empty()) unlink(tempPath_.c_str());
  tempPath_.clear();
}

void RemoveTemporaryFilesNow() {
  for (TemporaryFileSlot& slot : temporaryFiles)
    if (slot.state.load() == kReady) unlink(slot.path);
}

std::string ErrnoText() {
  return std::strerror(errno);
}

}  // namespace tesselor
