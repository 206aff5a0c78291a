// Writes a file so that nothing is lost if the write fails: the bytes go to a
// temporary file in the target's folder, which replaces the target only once
// everything is on disk. Abandoned, it removes the temporary file.
#pragma once

#include <cstddef>
#include <string>

namespace tesselor {

class AtomicFile {
 public:
  AtomicFile() = default;
  ~AtomicFile();
  AtomicFile(const AtomicFile&) = delete;
  AtomicFile& operator=(const AtomicFile&) = delete;

  // Creates the temporary file; false (with errno set) when that fails.
  bool Open(const std::string& targetPath);
  // Writes all bytes; false when the disk refused some.
  bool Write(const void* data, size_t count);
  // Flushes, then renames over the target; false when either fails, in which
  // case the target is as it was and the temporary file is gone.
  bool Commit();
  // Like Commit, but never replaces: fails with errno EEXIST when the target
  // exists by then, leaving it as it was.
  bool CommitWithoutReplacing();
  // Removes the temporary file without touching the target.
  void Discard();
  // Commit then leaves out the flush to disk, for a file its readers check
  // and rebuild when a crash left it short or empty (a cache): the rename
  // stays atomic, and the flush would cost more than writing it.
  void SkipSyncOnCommit() { sync_ = false; }

  // The temporary file, for libraries that write through a descriptor.
  int Descriptor() const { return fd_; }

 private:
  bool Finish(bool replace);

  int fd_ = -1;
  bool sync_ = true;
  int slot_ = -1;  // where a signal handler finds tempPath_, or -1
  std::string targetPath_;
  std::string tempPath_;
};

// Removes the temporary file of every AtomicFile still open, for a process
// about to end at once (a second Ctrl-C). Safe in a signal handler.
void RemoveTemporaryFilesNow();

// Moves from to the unused name to: false with errno EEXIST when to exists,
// which rename() would replace. Falls back to a hard link on file systems
// without the no-replace rename.
bool RenameWithoutReplacing(const char* from, const char* to);

// Text for the current errno, for FileError causes.
std::string ErrnoText();

}  // namespace tesselor
