#include "imagelib/win_bmp.h"

#include "platform/file_error.h"

namespace tesselor {

void CWinBmp::SaveAsBmp(const std::string& path) const {
  throw FileError(path, "Writing bitmap files is not built yet.");
}

}  // namespace tesselor
