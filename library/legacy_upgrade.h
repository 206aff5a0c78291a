// The one-way upgrade of tiles from older versions, stored as raw ".raw"
// planes, to the JPEG tiles every reader of today expects.
#pragma once

#include <string>

namespace tesselor {

// Converts every legacy tile of library folder libraryFolder (relative to
// programDirectory, ending in '/') to title + ".jpg", replacing a JPEG of
// that name, and deletes the ".raw" file. Says once per call that it is
// upgrading. A legacy file that cannot be opened stays for the next upgrade;
// a file shorter than a whole tile converts with black for the missing bytes.
// Throws FileError when a JPEG cannot be written (its legacy file stays) or a
// converted file cannot be deleted, ending the upgrade there. Returns the
// number of tiles converted.
int UpgradeLegacyTiles(const std::string& libraryFolder);

}  // namespace tesselor
