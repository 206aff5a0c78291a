// The libraries beside the program as the library chooser offers them: which
// folders count as libraries, how many tiles each holds, and which tile the
// chooser's preview shows at each tick.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tesselor {

struct LibraryEntry {
  std::string name;          // folder name inside a library root, no trailing '/'
  int tileCount = 0;         // as CountLibraryTiles counts them
  bool isCurrent = false;    // name + '/' is currentLibrary, letter case included
  bool isInstalled = false;  // installed with the program, so it cannot be changed
};

// Called while tiles are counted, each time the running count reaches a
// multiple of 20, so a chooser can show that it is still busy.
using CountingProgress = std::function<void(int runningCount)>;

// Every folder in the library roots but one named "help" in any letter case
// (the help pages live there), the user's own first, each in listing order.
std::vector<LibraryEntry> ListLibraries(const CountingProgress& progress = {});

// The chooser's count: every "*.raw" and every "*.jpg" match, with no further
// test, so legacy tiles count before they are upgraded. libraryName has no
// trailing '/'. A folder that cannot be listed counts 0.
int CountLibraryTiles(const std::string& libraryName, const CountingProgress& progress = {});

// The tile the chooser previews at previewIndex in libraryFolder (ending in
// '/'): index k shows the k-th tile (counting from 1; 0 shows the first), and
// past the last tile the index starts again, so the ticks cycle through the
// library. Nothing when the library holds no "*.jpg" file.
std::optional<std::string> PreviewTilePath(const std::string& libraryFolder, int& previewIndex);

// Makes libraryName (no trailing '/') the current library, as confirming it
// in the chooser does.
void MakeCurrentLibrary(const std::string& libraryName);

}  // namespace tesselor
