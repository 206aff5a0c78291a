// The folders the whole program shares: where the program's own data (help,
// installed libraries) lives, where the user's own libraries live, the
// current tile library, and the folder the last photograph came from.
#pragma once

#include <string>
#include <vector>

namespace tesselor {

struct AppPaths {
  // Folder of the program's data ending in '/': the executable's folder in a
  // build, <prefix>/share/tesselor once installed, or $TESSELOR_HOME when set.
  // The help pages live here, and libraries too.
  std::string programDirectory;
  // Where the user's own libraries live and new ones are made, ending in '/';
  // empty when that is programDirectory itself (a build, TESSELOR_HOME).
  // When set, the libraries in programDirectory are installed ones, which
  // nobody changes.
  std::string userLibraryDirectory;
  // Library folder name ending in '/', found in one of the LibraryRoots.
  std::string currentLibrary = "Demo Tile Library/";
  // Working directory when the last source image was opened.
  std::string imageDirectory;
  // Where builds keep the reduced tiles of each library between runs, ending
  // in '/'; empty: no tile cache is read or written.
  std::string tileCacheDirectory;

  // The folders whose subfolders are libraries, the user's own first, so a
  // library of theirs hides an installed one of the same name.
  std::vector<std::string> LibraryRoots() const;
  // Where CreateNewLibrary makes its folder.
  const std::string& NewLibraryRoot() const;
  // The folder of libraryFolder (a name ending in '/'): in the first root
  // that holds it, else in NewLibraryRoot (a missing library is empty there).
  std::string LibraryFolderPath(const std::string& libraryFolder) const;
  // True when libraryFolder is found among the installed libraries.
  bool IsInstalledLibrary(const std::string& libraryFolder) const;

  std::string LibraryDirectory() const { return LibraryFolderPath(currentLibrary); }
};

// The process-wide paths.
AppPaths& Paths();

// Sets programDirectory and userLibraryDirectory: from TESSELOR_HOME alone
// when it is set; else, for an installed program (its data folder found
// relative to the executable), that data folder and the user's
// $XDG_DATA_HOME/tesselor; else the executable's folder alone. The tile cache
// goes to UserCacheDirectory in every case.
void InitProgramDirectory();

// $XDG_DATA_HOME/tesselor/, or ~/.local/share/tesselor/ when that is unset
// or not an absolute path.
std::string UserDataDirectory();
// $XDG_CACHE_HOME/tesselor/, or ~/.cache/tesselor/ likewise.
std::string UserCacheDirectory();

// The process's working directory ending in '/' ("" when it cannot be read).
std::string CurrentDirectory();
// Makes folder the working directory; false when that fails.
bool ChangeDirectory(const std::string& folder);

}  // namespace tesselor
