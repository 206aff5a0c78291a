#include "engine/load_tile_set.h"

#include <limits.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <memory>
#include <new>
#include <vector>

#include "engine/ordered_parallel.h"
#include "engine/tile_cache.h"
#include "imagelib/any_pic_decoder.h"
#include "imagelib/draw_dib_bmp.h"
#include "imagelib/file_source.h"
#include "imagelib/text_exception.h"
#include "platform/app_paths.h"
#include "platform/directory_listing.h"
#include "platform/message_pump.h"
#include "platform/shell.h"

namespace tesselor {

namespace {

// Decodes one tile file and lays its top-left 64 x 64 pixels out in work.
// A file that does not decode, or decodes to less than a whole tile, is
// unusable: it is reported and left out rather than read beyond its pixels.
bool ReadTileFile(CAnyPicDecoder& decoder, CDataSource& source, TilePlanes& work) {
  try {
    CDrawDibBmp bmp;
    decoder.DecodeSource(source, bmp, 32);
    if (bmp.bitsPerPixel != 32 || bmp.width < kTileEdge || bmp.height < kTileEdge) return false;
    work.CopyFrom(bmp);
    return true;
  } catch (const CTextException&) {
  } catch (const std::bad_alloc&) {
  }
  return false;
}

// A worker keeps the buffer it reads tiles into up to this size; a stray
// large file would otherwise hold its size for the rest of the build.
constexpr size_t kKeptFileBytes = size_t{1} << 20;

// What reading one listed file gave, ready to join the table.
struct LoadedFile {
  enum class Kind { kNotATile, kInvalid, kTile } kind = Kind::kNotATile;
  // The tile and its mirror image; a missing copy could not be allocated.
  std::unique_ptr<TileBuffer> copies[2];
  FileStamp stamp;
  bool decoded = false;  // false when the tile came from the cache
};

// Stores a tile's plane averages: the mean of the values of each plane.
void StoreAverages(TileBuffer& tile) {
  const int values = tile.Size() * tile.Size();
  for (int c = 0; c < kChannels; ++c) {
    const uint8_t* plane = tile.Plane(c);
    int planeSum = 0;
    for (int i = 0; i < values; ++i) planeSum += plane[i];
    tile.SetAverage(c, static_cast<uint8_t>(planeSum / values));
  }
}

// Makes the tile with fill, then its mirror image when two copies are asked.
template <class Fill>
void MakeCopies(LoadedFile& loaded, int tileSize, int copies, Fill fill) {
  loaded.kind = LoadedFile::Kind::kTile;
  for (int copy = 0; copy < copies; ++copy) {
    try {
      loaded.copies[copy] = std::make_unique<TileBuffer>(tileSize);
    } catch (const std::bad_alloc&) {
      break;
    }
    if (copy == 0)
      fill(*loaded.copies[0]);
    else
      MirrorTile(*loaded.copies[0], *loaded.copies[1]);
  }
}

// The part of loading that touches only its own file, so it runs on the
// worker threads: decoding, reducing and mirroring, or taking the tile from
// the cache when the file is the one cached.
LoadedFile ReadListedFile(const DirectoryEntry& entry, int tileSize, int copies,
                          const TileCacheFile& cache) {
  LoadedFile loaded;
  // A folder named like a tile holds no picture: it is no tile.
  if (entry.isDirectory || !IsEngineTileFile(entry.fullPath)) return loaded;
  // Nor is a file that cannot be opened and read, or no regular file.
  struct stat info {};
  const int fd = OpenRegularFileForReading(entry.fullPath, &info);
  if (fd < 0) return loaded;
  loaded.stamp = StampOf(info);
  const CachedTile* cached = cache.Find(entry.name);
  if (cached && cached->stamp == loaded.stamp) {
    ::close(fd);
    MakeCopies(loaded, tileSize, copies, [&](TileBuffer& tile) {
      std::memcpy(tile.Plane(0), cached->planes, size_t{3} * tileSize * tileSize);
      StoreAverages(tile);
    });
    return loaded;
  }
  thread_local std::vector<uint8_t> fileBytes;
  CBufferedFileSource source(fileBytes);
  const bool opened =
      source.ReadOpenedFile(fd, static_cast<size_t>(info.st_size), entry.fullPath) == 0;
  ::close(fd);
  if (!opened) return loaded;
  thread_local CAnyPicDecoder decoder;
  // Only the top-left corner becomes the tile, so nothing beyond it is decoded.
  decoder.LimitToTopLeft(kTileEdge, kTileEdge);
  auto work = std::make_unique<TilePlanes>();
  const bool read = ReadTileFile(decoder, source, *work);
  if (fileBytes.capacity() > kKeptFileBytes) std::vector<uint8_t>().swap(fileBytes);
  if (!read) {
    loaded.kind = LoadedFile::Kind::kInvalid;
    return loaded;
  }
  loaded.decoded = true;
  MakeCopies(loaded, tileSize, copies, [&](TileBuffer& tile) { ReduceTile(*work, tile); });
  return loaded;
}

// Results waiting for their turn; each holds at most two small tiles.
constexpr int kLoadWindow = 64;

int CountTileFiles(const std::vector<DirectoryEntry>& entries) {
  return static_cast<int>(std::count_if(entries.begin(), entries.end(), [](const auto& entry) {
    return !entry.isDirectory && IsEngineTileFile(entry.fullPath);
  }));
}

// The library's folder without links, so every way to it shares one cache.
std::string ResolvedFolder(const std::string& folder) {
  char resolved[PATH_MAX];
  return realpath(folder.c_str(), resolved) ? WithTrailingSlash(resolved) : folder;
}

// What the next cache file holds: the tiles of this load, and the cached
// tiles of the files it left unread, so that a build held to the tile cap
// keeps what a build of every tile cached. It is written only when that
// differs from the file read.
class CacheRefresh {
 public:
  CacheRefresh(const TileCacheFile& cache, const std::vector<DirectoryEntry>& entries)
      : cache_(cache),
        entries_(entries),
        handled_(entries.size()),
        nowSeconds_(std::time(nullptr)) {}

  // The file at index turned out to be no tile, or an invalid one.
  void Dropped(size_t index) { handled_[index] = true; }
  // The tile of the file at index (not yet moved into the table) joins the set.
  void Loaded(size_t index, const LoadedFile& loaded) {
    handled_[index] = true;
    if (loaded.decoded && !IsSettled(loaded.stamp, nowSeconds_)) return;
    changed_ = changed_ || loaded.decoded;
    tiles_.push_back({entries_[index].name, loaded.stamp, loaded.copies[0]->Plane(0)});
  }
  // A cache that cannot be written only costs the next build its speed.
  void Write(const std::string& cacheDirectory, const std::string& cacheKey, int tileSize) {
    for (size_t i = 0; i < entries_.size(); ++i)
      if (const CachedTile* cached = handled_[i] ? nullptr : cache_.Find(entries_[i].name))
        tiles_.push_back(*cached);
    if (changed_ || tiles_.size() != cache_.Count())
      WriteTileCache(cacheDirectory, cacheKey, tileSize, tiles_);
  }

 private:
  const TileCacheFile& cache_;
  const std::vector<DirectoryEntry>& entries_;
  std::vector<bool> handled_;
  const int64_t nowSeconds_;
  bool changed_ = false;
  std::vector<CachedTile> tiles_;
};

}  // namespace

void ReduceTile(const TilePlanes& work, TileBuffer& tile) {
  const int n = tile.Size();
  const int block = kTileEdge / n;
  for (int c = 0; c < kChannels; ++c) {
    uint8_t* plane = tile.Plane(c);
    for (int j = 0; j < n; ++j) {
      const int firstColumn = kTileEdge * j / n;
      // k counts output rows from the bottom, as the work buffer's rows do.
      for (int k = 0; k < n; ++k) {
        const int firstRow = kTileEdge * k / n;
        int blockSum = 0;
        for (int row = firstRow; row < firstRow + block; ++row)
          for (int column = firstColumn; column < firstColumn + block; ++column)
            blockSum += work.At(c, row, column);
        plane[(n - 1 - k) * n + j] = static_cast<uint8_t>(blockSum / (block * block));
      }
    }
  }
  StoreAverages(tile);
}

void MirrorTile(const TileBuffer& tile, TileBuffer& mirror) {
  const int n = tile.Size();
  for (int c = 0; c < kChannels; ++c) {
    const uint8_t* from = tile.Plane(c);
    uint8_t* to = mirror.Plane(c);
    for (int y = 0; y < n; ++y)
      for (int x = 0; x < n; ++x) to[y * n + x] = from[y * n + n - 1 - x];
    mirror.SetAverage(c, tile.Average(c));
  }
}

int LoadTileSet(TileSet& tiles, int tileSize, bool mirrorTiles, int* photosLeftOut, bool useCache) {
  int leftOut = 0;
  {
    const std::unique_ptr<ProgressWindow> progress = Shell::Instance().CreateProgressWindow();
    const std::string folder = Paths().LibraryDirectory();
    ChangeDirectory(folder);
    // Listed once: the count for the progress bar and the files read agree.
    const std::vector<DirectoryEntry> entries = ListDirectory(folder, "*.jpg");
    const int files = CountTileFiles(entries);
    progress->SetRange(0, mirrorTiles ? 2 * files : files);
    progress->SetPos(0);
    progress->SetStatusText("Loading and sorting tile library ...");

    const std::string cacheDirectory = useCache ? Paths().tileCacheDirectory : std::string();
    const std::string cacheKey = ResolvedFolder(folder);
    TileCacheFile cache;
    if (!cacheDirectory.empty() && files > 0)
      cache.Read(cacheDirectory, cacheKey, tileSize, static_cast<size_t>(files));
    CacheRefresh refresh(cache, entries);

    tiles.Clear();
    const int copies = mirrorTiles ? 2 : 1;
    // Files are read ahead on every core; the table, the messages and Abort
    // take them in listing order, so the result is that of a reading in order.
    OrderedParallel<LoadedFile> reader(
        static_cast<int64_t>(entries.size()),
        [&](int64_t i) {
          return ReadListedFile(entries[static_cast<size_t>(i)], tileSize, copies, cache);
        },
        kLoadWindow);
    MessagePump pump;
    bool ended = false;
    bool full = false;
    for (size_t index = 0; index < entries.size(); ++index) {
      const DirectoryEntry& entry = entries[index];
      if (full) {
        // Named as a tile, not read: the user hears how many were missed.
        if (IsEngineTileFile(entry.fullPath)) ++leftOut;
        continue;
      }
      if (ended) break;
      // Abort is read once per file; the file in hand is still loaded.
      if (progress->AbortRequested()) ended = true;
      LoadedFile loaded = reader.TakeNext([] { PumpMessages(); });
      if (loaded.kind != LoadedFile::Kind::kTile) refresh.Dropped(index);
      if (loaded.kind == LoadedFile::Kind::kNotATile) continue;
      if (loaded.kind == LoadedFile::Kind::kInvalid) {
        ShowMessage("The following tile file is invalid:\n" + entry.fullPath);
        continue;
      }
      const int photo = tiles.PhotoCount();
      for (int copy = 0; copy < copies; ++copy) {
        if (tiles.IsFull()) {
          // A file none of whose copies got in was left out as well.
          if (copy == 0) ++leftOut;
          ended = full = true;
          break;
        }
        if (!loaded.copies[copy]) {
          ShowMessage("There is insufficient memory to load the entire library into memory");
          ended = true;
          break;
        }
        if (copy == 0) refresh.Loaded(index, loaded);
        tiles.Add(std::move(loaded.copies[copy]), {photo, copy == 1, entry.name});
        progress->StepIt();
        pump.Tick();
      }
    }
    if (!cacheDirectory.empty()) refresh.Write(cacheDirectory, cacheKey, tileSize);
  }
  if (photosLeftOut) *photosLeftOut = leftOut;
  if (tiles.Count() > 0) return tiles.Count();
  ShowMessage(
      "There are no tiles in the specified tile library directory\n"
      "Please ensure the correct directory has been specified");
  tiles.Clear();
  return -1;
}

}  // namespace tesselor
