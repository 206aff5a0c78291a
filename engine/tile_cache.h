// The tile cache: the reduced tiles of one library at one tile size, kept
// between builds in the user's cache folder (never in the library), so that
// a build decodes only the tile files that changed since the one before.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

struct stat;

namespace tesselor {

// What tells a tile file's content apart from its earlier versions.
struct FileStamp {
  int64_t size = 0;
  int64_t modifiedSeconds = 0;
  uint32_t modifiedNanoseconds = 0;

  bool operator==(const FileStamp&) const = default;
};

FileStamp StampOf(const struct stat& info);

// A file changed in the last few seconds may change again within the same
// tick of its file system's clock, keeping its stamp; such a tile is not
// cached but decoded again next time.
bool IsSettled(const FileStamp& stamp, int64_t nowSeconds);

// One tile file's reduced tile: 3 x n x n bytes, the red, green and blue
// planes as a TileBuffer holds them (its averages follow from them).
struct CachedTile {
  std::string_view name;
  FileStamp stamp;
  const uint8_t* planes = nullptr;
};

// A cache file held in memory; the tiles point into it.
class TileCacheFile {
 public:
  // Reads the cache of libraryFolder at tileSize from cacheDirectory. A file
  // that is missing, damaged, of another library or tile size, or bigger
  // than maxTiles tiles could make reads as an empty cache.
  void Read(const std::string& cacheDirectory, const std::string& libraryFolder, int tileSize,
            size_t maxTiles);
  // Takes the bytes of a cache file without its checksum: true when they
  // hold a whole cache of libraryFolder at tileSize, else false and empty.
  bool Parse(std::vector<uint8_t> bytes, const std::string& libraryFolder, int tileSize);

  // The tile cached for the file named name, or nullptr.
  const CachedTile* Find(std::string_view name) const;
  size_t Count() const { return tiles_.size(); }

 private:
  std::vector<uint8_t> bytes_;
  std::unordered_map<std::string_view, CachedTile> tiles_;
};

// Replaces the cache of libraryFolder at tileSize with tiles, atomically;
// false when it could not be written, which leaves the old one in place.
bool WriteTileCache(const std::string& cacheDirectory, const std::string& libraryFolder,
                    int tileSize, const std::vector<CachedTile>& tiles);

}  // namespace tesselor
