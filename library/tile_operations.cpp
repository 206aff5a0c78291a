#include "library/tile_operations.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "library/legacy_upgrade.h"
#include "library/library_catalog.h"
#include "library/tile_files.h"
#include "platform/app_paths.h"
#include "platform/atomic_file.h"
#include "platform/directory_listing.h"
#include "platform/shell.h"

namespace tesselor {

namespace {

constexpr size_t kMaxRenameBaseLength = 15;

// The list box keeps its items sorted ignoring letter case; names equal but
// for case fall back to byte order so the numbering of a rename is stable.
bool ListOrder(const std::string& a, const std::string& b) {
  const std::string la = ToLowerAscii(a), lb = ToLowerAscii(b);
  return la != lb ? la < lb : a < b;
}

// Characters as the user typed them: UTF-8 continuation bytes do not count.
size_t CharacterCount(const std::string& text) {
  return static_cast<size_t>(std::count_if(text.begin(), text.end(), [](char c) {
    return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  }));
}

void RenameTile(const std::string& libraryFolder, const std::string& oldName,
                const std::string& newName) {
  const std::string oldPath = TilePath(libraryFolder, oldName);
  const std::string newPath = TilePath(libraryFolder, newName);
  if (newName.find('/') != std::string::npos)
    throw FileError(newPath, "A tile name cannot contain '/'.");
  if (oldPath == newPath) return;
  // A plain rename() would put the tile over any file of the new name, and
  // the tile that was there would be lost.
  if (!RenameWithoutReplacing(oldPath.c_str(), newPath.c_str())) {
    if (errno == EEXIST) throw FileError(newPath, "A file of that name exists already.");
    throw FileError(oldPath, ErrnoText());
  }
}

}  // namespace

TileList ListManagerTiles(const std::string& libraryFolder) {
  TileList list;
  for (const DirectoryEntry& entry :
       ListDirectory(Paths().LibraryFolderPath(libraryFolder), "*.jpg")) {
    const std::string title = FileTitle(entry.name);
    if (entry.isDirectory || !entry.name.ends_with("jpg") || title.empty() || title == ".")
      continue;
    if (list.names.empty()) list.firstFound = title;
    list.names.push_back(title);
  }
  std::sort(list.names.begin(), list.names.end(), ListOrder);
  return list;
}

TileList RefreshTileList(const std::string& libraryFolder) {
  bool upgradeFailed = false;
  try {
    UpgradeLegacyTiles(libraryFolder);
  } catch (const FileError& error) {
    // The upgrade stops at a legacy file it could not convert or remove; the
    // tiles it converted before are there, so list them all the same.
    ReportFileError(error);
    upgradeFailed = true;
  }
  TileList list = ListManagerTiles(libraryFolder);
  list.upgradeFailed = upgradeFailed;
  return list;
}

std::string TileCountText(int count) {
  return "Tiles in Library : " + std::to_string(count);
}

std::string UnchangeableReason(const std::string& libraryFolder) {
  const std::string name = libraryFolder.substr(0, libraryFolder.size() - 1);
  if (Paths().IsInstalledLibrary(libraryFolder))
    return "The tile library \"" + name +
           "\" was installed with Tesselor and cannot be changed.\nCreate a new library for "
           "tiles of your own.";
  const std::string folder = Paths().LibraryFolderPath(libraryFolder);
  if (IsFolder(folder) && access(folder.c_str(), W_OK) != 0)
    return "The tile library \"" + name + "\" is in a folder you cannot write to (" + folder +
           "), so its tiles cannot be changed.";
  return "";
}

bool RefuseUnchangeableLibrary(const std::string& libraryFolder) {
  const std::string reason = UnchangeableReason(libraryFolder);
  if (reason.empty()) return false;
  ShowMessage(reason, MessageStyle::kExclamation);
  return true;
}

bool DeleteSelectedTiles(const std::string& libraryFolder,
                         const std::vector<std::string>& selected) {
  if (RefuseUnchangeableLibrary(libraryFolder)) return false;
  if (selected.empty()) {
    ShowMessage("You must select the tiles you wish to deletete from the tile list");
    return false;
  }
  const std::string question =
      "Are you sure you want to delete the " + std::to_string(selected.size()) + " selected tiles?";
  if (ShowMessage(question, MessageStyle::kQuestion) != MessageAnswer::kYes) return false;
  for (const std::string& name : selected) unlink(TilePath(libraryFolder, name).c_str());
  return true;
}

RenameOutcome RenameAllTiles(const std::string& libraryFolder, const std::vector<std::string>& list,
                             const std::string& base, const ProgressBar& progress) {
  if (RefuseUnchangeableLibrary(libraryFolder)) return RenameOutcome::kRefused;
  if (CharacterCount(base) > kMaxRenameBaseLength) {
    ShowMessage("Filename too long, the maximum length allowed is 15 characters");
    return RenameOutcome::kRefused;
  }
  const std::string question =
      "Rename all the tiles in the library with the following format? :\n\n" + base + "####.jpg";
  if (ShowMessage(question, MessageStyle::kQuestion) != MessageAnswer::kYes)
    return RenameOutcome::kDeclined;

  if (progress.show) progress.show(static_cast<int>(list.size()));
  RenameOutcome outcome = RenameOutcome::kRenamed;
  try {
    for (size_t i = 0; i < list.size(); ++i) {
      RenameTile(libraryFolder, list[i], base + std::to_string(i));
      if (progress.step) progress.step();
    }
  } catch (const FileError& error) {
    ReportFileError(error);
    outcome = RenameOutcome::kFailed;
  }
  if (progress.hide) progress.hide();
  return outcome;
}

bool CreateNewLibrary(const std::string& name) {
  // mkdir refuses a name taken in the new-library root; one taken by an
  // installed library is refused too, or the new one would hide it.
  const std::string& root = Paths().NewLibraryRoot();
  const bool created = !name.empty() && name.find('/') == std::string::npos &&
                       !IsFolder(Paths().LibraryFolderPath(name + "/")) &&
                       MakeFolderWithParents(root) && mkdir((root + name).c_str(), 0777) == 0;
  if (!created) {
    ShowMessage("Unable to create the directory:\n" + name);
    return false;
  }
  MakeCurrentLibrary(name);
  return true;
}

void ReportFileError(const FileError& error) {
  ShowMessage(error.what(), MessageStyle::kStop);
}

}  // namespace tesselor
