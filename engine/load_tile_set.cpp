#include "engine/load_tile_set.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <new>
#include <vector>

#include "engine/ordered_parallel.h"
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
};

// The part of loading that touches only its own file, so it runs on the
// worker threads: decoding, reducing and mirroring.
LoadedFile ReadListedFile(const DirectoryEntry& entry, int tileSize, int copies) {
  LoadedFile loaded;
  // A folder named like a tile holds no picture: it is no tile.
  if (entry.isDirectory || !IsEngineTileFile(entry.fullPath)) return loaded;
  thread_local std::vector<uint8_t> fileBytes;
  CBufferedFileSource source(fileBytes);
  // Nor is a file that cannot be opened and read, or no regular file.
  if (source.OpenFile(entry.fullPath) != 0) return loaded;
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
  loaded.kind = LoadedFile::Kind::kTile;
  for (int copy = 0; copy < copies; ++copy) {
    try {
      loaded.copies[copy] = std::make_unique<TileBuffer>(tileSize);
    } catch (const std::bad_alloc&) {
      break;
    }
    if (copy == 0)
      ReduceTile(*work, *loaded.copies[0]);
    else
      MirrorTile(*loaded.copies[0], *loaded.copies[1]);
  }
  return loaded;
}

// Results waiting for their turn; each holds at most two small tiles.
constexpr int kLoadWindow = 64;

int CountTileFiles(const std::vector<DirectoryEntry>& entries) {
  return static_cast<int>(std::count_if(entries.begin(), entries.end(), [](const auto& entry) {
    return !entry.isDirectory && IsEngineTileFile(entry.fullPath);
  }));
}

}  // namespace

void ReduceTile(const TilePlanes& work, TileBuffer& tile) {
  const int n = tile.Size();
  const int block = kTileEdge / n;
  for (int c = 0; c < kChannels; ++c) {
    uint8_t* plane = tile.Plane(c);
    int planeSum = 0;
    for (int j = 0; j < n; ++j) {
      const int firstColumn = kTileEdge * j / n;
      // k counts output rows from the bottom, as the work buffer's rows do.
      for (int k = 0; k < n; ++k) {
        const int firstRow = kTileEdge * k / n;
        int blockSum = 0;
        for (int row = firstRow; row < firstRow + block; ++row)
          for (int column = firstColumn; column < firstColumn + block; ++column)
            blockSum += work.At(c, row, column);
        const int value = blockSum / (block * block);
        plane[(n - 1 - k) * n + j] = static_cast<uint8_t>(value);
        planeSum += value;
      }
    }
    tile.SetAverage(c, static_cast<uint8_t>(planeSum / (n * n)));
  }
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

int LoadTileSet(TileSet& tiles, int tileSize, bool mirrorTiles, int* photosLeftOut) {
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

    tiles.Clear();
    const int copies = mirrorTiles ? 2 : 1;
    // Files are read ahead on every core; the table, the messages and Abort
    // take them in listing order, so the result is that of a reading in order.
    OrderedParallel<LoadedFile> reader(
        static_cast<int64_t>(entries.size()),
        [&](int64_t i) {
          return ReadListedFile(entries[static_cast<size_t>(i)], tileSize, copies);
        },
        kLoadWindow);
    MessagePump pump;
    bool ended = false;
    bool full = false;
    for (const DirectoryEntry& entry : entries) {
      if (full) {
        // Named as a tile, not read: the user hears how many were missed.
        if (IsEngineTileFile(entry.fullPath)) ++leftOut;
        continue;
      }
      if (ended) break;
      // Abort is read once per file; the file in hand is still loaded.
      if (progress->AbortRequested()) ended = true;
      LoadedFile loaded = reader.TakeNext([] { PumpMessages(); });
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
        tiles.Add(std::move(loaded.copies[copy]), {photo, copy == 1, entry.name});
        progress->StepIt();
        pump.Tick();
      }
    }
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
