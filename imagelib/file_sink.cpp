#include "imagelib/file_sink.h"

#include <cerrno>
#include <new>

#include "imagelib/text_exception.h"

namespace tesselor {

int CFileSink::OpenFile(const std::string& path, int64_t capacity) {
  if (capacity < 0 || !file_.Open(path)) return -1;
  ownedBuffer_.reset(new (std::nothrow) uint8_t[static_cast<size_t>(capacity)]);
  if (!ownedBuffer_) {
    file_.Discard();
    errno = ENOMEM;  // the cause the caller reports
    return -1;
  }
  Open(path, ownedBuffer_.get(), capacity);
  return 0;
}

void CFileSink::Close() {
  const std::string path = Name();
  const bool written = file_.Write(Buffer(), static_cast<size_t>(BytesWritten())) && file_.Commit();
  const std::string cause = written ? "" : ErrnoText();
  file_.Discard();
  ownedBuffer_.reset();
  CDataSink::Close();
  if (!written) RaiseWriteError(kErrOpenOutput, "Writing " + path + " failed: " + cause);
}

}  // namespace tesselor
