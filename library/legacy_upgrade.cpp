#include "library/legacy_upgrade.h"

#include <unistd.h>

#include <cerrno>
#include <memory>

#include "imagelib/draw_dib_bmp.h"
#include "imagelib/jpeg_encoder.h"
#include "imagelib/text_exception.h"
#include "library/tile_files.h"
#include "platform/app_paths.h"
#include "platform/atomic_file.h"
#include "platform/directory_listing.h"
#include "platform/file_error.h"
#include "platform/shell.h"

namespace tesselor {

namespace {

bool IsLegacyTileName(const std::string& name) {
  const std::string title = FileTitle(name);
  return !title.empty() && title != "." && name.size() >= 3 &&
         name.compare(name.size() - 3, 3, "raw") == 0;
}

// Reads up to one tile's planes; bytes the file does not have stay 0.
bool ReadLegacyTile(const std::string& path, TilePlanes& planes) {
  const int fd = OpenRegularFileForReading(path);
  if (fd < 0) return false;
  planes.bytes.fill(0);
  size_t filled = 0;
  while (filled < planes.bytes.size()) {
    const ssize_t got = read(fd, planes.bytes.data() + filled, planes.bytes.size() - filled);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    filled += static_cast<size_t>(got);
  }
  close(fd);
  return true;
}

}  // namespace

int UpgradeLegacyTiles(const std::string& libraryFolder) {
  const WaitCursor waitCursor;
  const std::string folder = Paths().LibraryFolderPath(libraryFolder);
  bool told = false;
  int converted = 0;
  auto planes = std::make_unique<TilePlanes>();
  CJPEGEncoder encoder;
  for (const DirectoryEntry& entry : ListDirectory(folder, "*.raw")) {
    if (!IsLegacyTileName(entry.name)) continue;
    if (!told) {
      ShowMessage(
          "Tiles from an older version of Tesselor have been detected. These will be updated "
          "automatically.\nThis may take some time for large tile libraries.",
          MessageStyle::kExclamation);
      told = true;
    }
    if (!ReadLegacyTile(entry.fullPath, *planes)) continue;
    CDrawDibBmp tile;
    planes->CopyTo(tile);
    const std::string jpegPath = folder + FileTitle(entry.name) + ".jpg";
    try {
      encoder.EncodeFile(jpegPath, tile);
    } catch (const CTextException& error) {
      // Without its JPEG the legacy file is the only copy of the tile, so it
      // stays. A full or read-only disk would refuse every further tile the
      // same way: the upgrade ends here, and the user is told why.
      throw FileError(jpegPath, error.GetText());
    }
    if (unlink(entry.fullPath.c_str()) != 0) throw FileError(entry.fullPath, ErrnoText());
    ++converted;
  }
  return converted;
}

}  // namespace tesselor
