#include "imagelib/file_source.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/directory_listing.h"

namespace tesselor {

namespace {

bool FolderExists(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return true;
  return IsFolder(slash == 0 ? "/" : path.substr(0, slash));
}

// Opens path for reading into fd and its details into info: 0, or the
// error code of the sources' OpenFile.
int OpenForSource(const std::string& path, int& fd, struct stat& info) {
  // O_NONBLOCK: a pipe named like a picture must be refused, not waited on.
  fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    const int error = errno;
    if (error == EACCES || error == EPERM) return 5;
    if (error == ENOENT && !FolderExists(path)) return 3;
    if (error == ENOTDIR) return 3;
    return 4;
  }
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) return 5;
  return 0;
}

}  // namespace

CFileSource::~CFileSource() {
  Unmap();
}

int CFileSource::OpenFile(const std::string& path) {
  struct stat info {};
  if (const int code = OpenForSource(path, fileHandle_, info)) return code;
  if (info.st_size <= 0) return 5;
  void* view =
      mmap(nullptr, static_cast<size_t>(info.st_size), PROT_READ, MAP_PRIVATE, fileHandle_, 0);
  if (view == MAP_FAILED) return 5;
  posix_madvise(view, static_cast<size_t>(info.st_size), POSIX_MADV_SEQUENTIAL);
  viewBase_ = static_cast<const uint8_t*>(view);
  mappedSize_ = static_cast<size_t>(info.st_size);
  Open(path, info.st_size);
  return 0;
}

void CFileSource::Close() {
  CDataSource::Close();
  Unmap();
}

void CFileSource::Unmap() {
  if (viewBase_) munmap(const_cast<uint8_t*>(viewBase_), mappedSize_);
  viewBase_ = nullptr;
  mappedSize_ = 0;
  if (fileHandle_ >= 0) ::close(fileHandle_);
  fileHandle_ = -1;
}

int CBufferedFileSource::OpenFile(const std::string& path) {
  int fd = -1;
  struct stat info {};
  int code = OpenForSource(path, fd, info);
  if (code == 0) code = ReadOpenedFile(fd, static_cast<size_t>(info.st_size), path);
  if (fd >= 0) ::close(fd);
  return code;
}

int CBufferedFileSource::ReadOpenedFile(int fd, size_t size, const std::string& path) {
  buffer_.resize(size);
  // One read takes a regular file whole; the loop only covers the rare
  // short read.
  size_t filled = 0;
  while (filled < size) {
    const ssize_t got = ::pread(fd, buffer_.data() + filled, size - filled, off_t(filled));
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    filled += static_cast<size_t>(got);
  }
  if (filled < size) return 5;
  Open(path, static_cast<int64_t>(buffer_.size()));
  return 0;
}

}  // namespace tesselor
