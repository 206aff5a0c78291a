#include "engine/tile_cache.h"

#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "imagelib/byte_order.h"
#include "imagelib/file_source.h"
#include "platform/atomic_file.h"
#include "platform/directory_listing.h"

namespace tesselor {

namespace {

// A cache file, all numbers little-endian:
//   magic, tile size (u32), library folder (u32 length, bytes), tile count (u32),
//   per tile: name (u16 length, bytes), file size (u64), modification time
//   (seconds i64, nanoseconds u32), planes (3 x n x n bytes);
//   then a CRC-32 of everything before it.
constexpr char kMagic[8] = {'T', 'S', 'L', 'T', 'I', 'L', 'E', '1'};
constexpr size_t kChecksumBytes = 4;
constexpr size_t kMaxFolderBytes = 4096;
constexpr size_t kMaxNameBytes = 4096;
constexpr size_t kHeaderBytes = sizeof kMagic + 4 + 4 + 4;  // without the folder
constexpr size_t kStampBytes = 8 + 8 + 4;

size_t PlaneBytes(int tileSize) {
  return size_t{3} * static_cast<size_t>(tileSize) * static_cast<size_t>(tileSize);
}

// The cache file's name tells libraries apart by a hash of their folder; the
// folder itself, stored inside, settles a clash.
std::string CachePath(const std::string& cacheDirectory, const std::string& libraryFolder,
                      int tileSize) {
  uint64_t hash = 1469598103934665603ull;
  for (const char c : libraryFolder) hash = (hash ^ static_cast<uint8_t>(c)) * 1099511628211ull;
  char name[64];
  std::snprintf(name, sizeof name, "tiles-%016llx-%d.cache", static_cast<unsigned long long>(hash),
                tileSize);
  return WithTrailingSlash(cacheDirectory) + name;
}

uint32_t Checksum(const uint8_t* bytes, size_t count, uint32_t crc = 0) {
  return static_cast<uint32_t>(crc32_z(crc, bytes, count));
}

// Reads a cache file's fields, never past its end.
struct Cursor {
  const uint8_t* at;
  const uint8_t* end;

  // The next count bytes, or nullptr when fewer are left.
  const uint8_t* Take(size_t count) {
    if (static_cast<size_t>(end - at) < count) return nullptr;
    const uint8_t* taken = at;
    at += count;
    return taken;
  }
  bool Number(uint32_t& value, size_t bytes) {
    const uint8_t* p = Take(bytes);
    if (p) value = bytes == 2 ? LittleEndian16(p) : LittleEndian32(p);
    return p != nullptr;
  }
};

// Writes a cache file in large pieces, keeping its checksum.
class CacheWriter {
 public:
  explicit CacheWriter(AtomicFile& file) : file_(file) {}

  void Bytes(const void* data, size_t count) {
    const auto* bytes = static_cast<const uint8_t*>(data);
    buffer_.insert(buffer_.end(), bytes, bytes + count);
    if (buffer_.size() >= kPiece) Flush();
  }
  void Number(uint64_t value, int bytes) {
    uint8_t little[8];
    for (int i = 0; i < bytes; ++i) little[i] = static_cast<uint8_t>(value >> (8 * i));
    Bytes(little, static_cast<size_t>(bytes));
  }
  // Writes what is left and the checksum; false when the disk refused some.
  bool Finish() {
    Flush();
    Number(crc_, 4);
    Flush();
    return ok_;
  }

 private:
  static constexpr size_t kPiece = size_t{1} << 20;

  void Flush() {
    crc_ = Checksum(buffer_.data(), buffer_.size(), crc_);
    ok_ = ok_ && file_.Write(buffer_.data(), buffer_.size());
    buffer_.clear();
  }

  AtomicFile& file_;
  std::vector<uint8_t> buffer_;
  uint32_t crc_ = 0;
  bool ok_ = true;
};

}  // namespace

FileStamp StampOf(const struct stat& info) {
  return {static_cast<int64_t>(info.st_size), static_cast<int64_t>(info.st_mtim.tv_sec),
          static_cast<uint32_t>(info.st_mtim.tv_nsec)};
}

bool IsSettled(const FileStamp& stamp, int64_t nowSeconds) {
  // FAT file systems keep modification times in steps of two seconds.
  constexpr int64_t kCoarsestClockTick = 2;
  return stamp.modifiedSeconds < nowSeconds - kCoarsestClockTick;
}

void TileCacheFile::Read(const std::string& cacheDirectory, const std::string& libraryFolder,
                         int tileSize, size_t maxTiles) {
  bytes_.clear();
  tiles_.clear();
  struct stat info {};
  const int fd =
      OpenRegularFileForReading(CachePath(cacheDirectory, libraryFolder, tileSize), &info);
  if (fd < 0) return;
  // A file no listing of this library could have made is not read at all.
  const uint64_t entryLimit = 2 + kMaxNameBytes + kStampBytes + PlaneBytes(tileSize);
  const uint64_t limit = kHeaderBytes + kMaxFolderBytes + maxTiles * entryLimit + kChecksumBytes;
  const uint64_t size = static_cast<uint64_t>(info.st_size);
  std::vector<uint8_t> bytes;
  CBufferedFileSource source(bytes);
  const bool read = size >= kChecksumBytes && size <= limit &&
                    source.ReadOpenedFile(fd, static_cast<size_t>(size), "") == 0;
  ::close(fd);
  if (!read) return;
  const size_t body = bytes.size() - kChecksumBytes;
  if (Checksum(bytes.data(), body) != LittleEndian32(bytes.data() + body)) return;
  bytes.resize(body);
  Parse(std::move(bytes), libraryFolder, tileSize);
}

bool TileCacheFile::Parse(std::vector<uint8_t> bytes, const std::string& libraryFolder,
                          int tileSize) {
  bytes_ = std::move(bytes);
  tiles_.clear();
  Cursor in{bytes_.data(), bytes_.data() + bytes_.size()};
  const size_t planeBytes = PlaneBytes(tileSize);
  uint32_t storedSize = 0, folderBytes = 0, count = 0;
  const uint8_t* magic = in.Take(sizeof kMagic);
  bool whole = magic && std::memcmp(magic, kMagic, sizeof kMagic) == 0 &&
               in.Number(storedSize, 4) && storedSize == static_cast<uint32_t>(tileSize) &&
               in.Number(folderBytes, 4) && folderBytes == libraryFolder.size();
  const uint8_t* folder = whole ? in.Take(folderBytes) : nullptr;
  whole = folder && std::memcmp(folder, libraryFolder.data(), folderBytes) == 0 &&
          in.Number(count, 4) &&
          // Checked before anything is set aside for them.
          count <= static_cast<size_t>(in.end - in.at) / (2 + 1 + kStampBytes + planeBytes);
  if (whole) tiles_.reserve(count);
  for (uint32_t i = 0; whole && i < count; ++i) {
    uint32_t nameBytes = 0;
    const uint8_t* name = in.Number(nameBytes, 2) && nameBytes > 0 ? in.Take(nameBytes) : nullptr;
    const uint8_t* stamp = name ? in.Take(kStampBytes) : nullptr;
    const uint8_t* planes = stamp ? in.Take(planeBytes) : nullptr;
    whole = planes != nullptr;
    if (!whole) break;
    const std::string_view key(reinterpret_cast<const char*>(name), nameBytes);
    tiles_.try_emplace(key, CachedTile{key,
                                       {static_cast<int64_t>(LittleEndian64(stamp)),
                                        static_cast<int64_t>(LittleEndian64(stamp + 8)),
                                        LittleEndian32(stamp + 16)},
                                       planes});
  }
  if (whole && in.at == in.end) return true;
  bytes_.clear();
  tiles_.clear();
  return false;
}

const CachedTile* TileCacheFile::Find(std::string_view name) const {
  const auto found = tiles_.find(name);
  return found == tiles_.end() ? nullptr : &found->second;
}

bool WriteTileCache(const std::string& cacheDirectory, const std::string& libraryFolder,
                    int tileSize, const std::vector<CachedTile>& tiles) {
  if (libraryFolder.size() > kMaxFolderBytes || !MakeFolderWithParents(cacheDirectory))
    return false;
  AtomicFile file;
  if (!file.Open(CachePath(cacheDirectory, libraryFolder, tileSize))) return false;
  file.SkipSyncOnCommit();
  CacheWriter out(file);
  out.Bytes(kMagic, sizeof kMagic);
  out.Number(static_cast<uint32_t>(tileSize), 4);
  out.Number(libraryFolder.size(), 4);
  out.Bytes(libraryFolder.data(), libraryFolder.size());
  // Names come from folder listings, which never give longer ones.
  const auto storable = [](const CachedTile& tile) {
    return !tile.name.empty() && tile.name.size() <= kMaxNameBytes;
  };
  out.Number(static_cast<uint64_t>(std::count_if(tiles.begin(), tiles.end(), storable)), 4);
  for (const CachedTile& tile : tiles) {
    if (!storable(tile)) continue;
    out.Number(tile.name.size(), 2);
    out.Bytes(tile.name.data(), tile.name.size());
    out.Number(static_cast<uint64_t>(tile.stamp.size), 8);
    out.Number(static_cast<uint64_t>(tile.stamp.modifiedSeconds), 8);
    out.Number(tile.stamp.modifiedNanoseconds, 4);
    out.Bytes(tile.planes, PlaneBytes(tileSize));
  }
  return out.Finish() && file.Commit();
}

}  // namespace tesselor
