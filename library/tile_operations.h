// What the library manager does to the tiles of a library and to the set of
// libraries: list, delete, rename, create. Questions and messages go through
// the Shell, so the desktop dialog and the terminal behave the same.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/file_error.h"

namespace tesselor {

// The manager's list of a library. libraryFolder is a library's folder name
// ending in '/', found in one of the library roots (Paths().LibraryRoots).
struct TileList {
  std::vector<std::string> names;  // tile names, in the list's sorted order
  std::string firstFound;          // the first tile in listing order, previewed at once
  bool upgradeFailed = false;      // a legacy tile could not be converted (already reported)
};

// A progress bar a library command fills; any member may be left empty.
struct ProgressBar {
  std::function<void(int total)> show;  // range 0 to total, step 1, made visible
  std::function<void()> step;
  std::function<void()> hide;
};

// Tiles of the manager's list: "*.jpg" files (not folders) ending in exactly
// lower-case "jpg" whose title is neither empty nor ".". A missing folder
// lists none.
TileList ListManagerTiles(const std::string& libraryFolder);

// Upgrades the library's legacy tiles, then lists it, as the manager does
// each time it refills its list.
TileList RefreshTileList(const std::string& libraryFolder);

// "Tiles in Library : <count>".
std::string TileCountText(int count);

// Why the tiles of libraryFolder cannot be added, deleted or renamed: it was
// installed with the program, or its folder cannot be written. Empty when
// they can (a library that does not exist yet can be made).
std::string UnchangeableReason(const std::string& libraryFolder);

// Shows UnchangeableReason, if there is one, and returns true then: what
// every command that changes a library's tiles asks first.
bool RefuseUnchangeableLibrary(const std::string& libraryFolder);

// Asks before deleting the selected tiles of libraryFolder. True when the
// user agreed: the tiles then leave the list, whether or not each file could
// be removed (one that stays shows up again at the next refresh).
bool DeleteSelectedTiles(const std::string& libraryFolder,
                         const std::vector<std::string>& selected);

enum class RenameOutcome {
  kRefused,   // the library cannot be changed or the base was too long; nothing renamed
  kDeclined,  // the user answered No
  kRenamed,   // every tile has its new name
  kFailed,    // a file error stopped it; the tiles before it keep their new names
};

// Names the tiles of list (in that order) base + 0, base + 1, ... after
// asking. A rename never replaces another file: a taken name stops the
// command with a file-error message. A tile that already has its new name
// stays as it is.
RenameOutcome RenameAllTiles(const std::string& libraryFolder, const std::vector<std::string>& list,
                             const std::string& base, const ProgressBar& progress = {});

// Makes the folder name in Paths().NewLibraryRoot() (and that root when it
// is missing) and makes it the current library; false (after saying so) when
// it cannot be made or a library of that name exists in any root. name is
// one folder name: a '/' in it is refused like any other invalid name.
bool CreateNewLibrary(const std::string& name);

// Shows a failed file operation the way the program reports file errors.
void ReportFileError(const FileError& error);

}  // namespace tesselor
