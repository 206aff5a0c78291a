// The three folders the whole program shares: where the program (and so its
// libraries and help) lives, the current tile library, and the folder the
// last photograph came from.
#pragma once

#include <string>

namespace tesselor {

struct AppPaths {
  // Folder of the executable ending in '/', or $TESSELOR_HOME when set.
  std::string programDirectory;
  // Library folder name relative to programDirectory, ending in '/'.
  std::string currentLibrary = "Demo Tile Library/";
  // Working directory when the last source image was opened.
  std::string imageDirectory;

  std::string LibraryDirectory() const { return programDirectory + currentLibrary; }
};

// The process-wide paths.
AppPaths& Paths();

// Sets programDirectory from TESSELOR_HOME, or else from the running
// executable's folder.
void InitProgramDirectory();

// The process's working directory ending in '/' ("" when it cannot be read).
std::string CurrentDirectory();
// Makes folder the working directory; false when that fails.
bool ChangeDirectory(const std::string& folder);

}  // namespace tesselor
