#include "library/library_catalog.h"

#include <set>

#include "platform/app_paths.h"
#include "platform/directory_listing.h"

namespace tesselor {

std::vector<LibraryEntry> ListLibraries(const CountingProgress& progress) {
  std::vector<LibraryEntry> libraries;
  // "*" rather than "*.*": our matcher takes the dot literally, and most
  // library names have none.
  std::set<std::string> listed;
  for (const std::string& root : Paths().LibraryRoots()) {
    for (const DirectoryEntry& entry : ListDirectory(root, "*")) {
      if (!entry.isDirectory || ToLowerAscii(entry.name) == "help") continue;
      // A user's library hides the installed one of the same name.
      if (!listed.insert(entry.name).second) continue;
      libraries.push_back({entry.name, CountLibraryTiles(entry.name, progress),
                           entry.name + "/" == Paths().currentLibrary,
                           Paths().IsInstalledLibrary(entry.name + "/")});
    }
  }
  return libraries;
}

int CountLibraryTiles(const std::string& libraryName, const CountingProgress& progress) {
  const std::string folder = Paths().LibraryFolderPath(libraryName + "/");
  int count = 0;
  for (const char* pattern : {"*.raw", "*.jpg"}) {
    const size_t found = ListDirectory(folder, pattern).size();
    for (size_t i = 0; i < found; ++i) {
      ++count;
      if (progress && count % 20 == 0) progress(count);
    }
  }
  return count;
}

std::optional<std::string> PreviewTilePath(const std::string& libraryFolder, int& previewIndex) {
  const std::vector<DirectoryEntry> tiles =
      ListDirectory(Paths().LibraryFolderPath(libraryFolder), "*.jpg");
  if (tiles.empty()) return std::nullopt;
  const size_t k = previewIndex > 0 ? static_cast<size_t>(previewIndex) : 0;
  size_t index = k >= 1 ? k - 1 : 0;
  if (tiles.size() <= k) {
    index = tiles.size() - 1;
    previewIndex = 0;
  }
  // The listed path, not title + ".jpg": a tile named Photo.JPG is counted and
  // previewed, and on a case-sensitive file system only its own name opens it.
  return tiles[index].fullPath;
}

void MakeCurrentLibrary(const std::string& libraryName) {
  Paths().currentLibrary = libraryName + "/";
}

}  // namespace tesselor
