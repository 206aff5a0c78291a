#include "engine/load_tile_set.h"

#include <cstdio>
#include <memory>
#include <new>

#include "imagelib/any_pic_decoder.h"
#include "imagelib/draw_dib_bmp.h"
#include "imagelib/text_exception.h"
#include "platform/app_paths.h"
#include "platform/directory_listing.h"
#include "platform/shell.h"

namespace tesselor {

namespace {

bool CanOpenForReading(const std::string& path) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return false;
  std::fclose(file);
  return true;
}

// Decodes one tile file and lays its top-left 64 x 64 pixels out in work.
// A file that does not decode, or decodes to less than a whole tile, is
// reported and left out rather than read beyond its pixels.
bool ReadTileFile(CAnyPicDecoder& decoder, const std::string& path, TilePlanes& work) {
  bool usable = false;
  try {
    CDrawDibBmp bmp;
    decoder.DecodeFile(path, bmp, 32);
    usable = bmp.bitsPerPixel == 32 && bmp.width >= kTileEdge && bmp.height >= kTileEdge;
    if (usable) work.CopyFrom(bmp);
  } catch (const CTextException&) {
  } catch (const std::bad_alloc&) {
  }
  if (!usable) ShowMessage("The following tile file is invalid:\n" + path);
  return usable;
}

}  // namespace

int CountTileFiles() {
  const std::string folder = Paths().LibraryDirectory();
  ChangeDirectory(folder);
  int count = 0;
  for (const DirectoryEntry& entry : ListDirectory(folder, "*.jpg"))
    if (IsEngineTileFile(entry.fullPath)) ++count;
  return count;
}

void ReduceTile(const TilePlanes& work, bool mirrored, TileBuffer& tile) {
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
        plane[(n - 1 - k) * n + (mirrored ? n - 1 - j : j)] = static_cast<uint8_t>(value);
        planeSum += value;
      }
    }
    tile.SetAverage(c, static_cast<uint8_t>(planeSum / (n * n)));
  }
}

int LoadTileSet(TileSet& tiles, int tileSize, bool mirrorTiles) {
  auto work = std::make_unique<TilePlanes>();
  {
    const std::unique_ptr<ProgressWindow> progress = Shell::Instance().CreateProgressWindow();
    const int files = CountTileFiles();
    progress->SetRange(0, mirrorTiles ? 2 * files : files);
    progress->SetPos(0);
    progress->SetStatusText("Loading and sorting tile library ...");

    tiles.Clear();
    const std::string folder = Paths().LibraryDirectory();
    ChangeDirectory(folder);
    CAnyPicDecoder decoder;
    const int copies = mirrorTiles ? 2 : 1;
    bool ended = false;
    for (const DirectoryEntry& entry : ListDirectory(folder, "*.jpg")) {
      if (ended) break;
      // Abort is read once per file; the file in hand is still loaded.
      if (progress->AbortRequested()) ended = true;
      if (!IsEngineTileFile(entry.fullPath) || !CanOpenForReading(entry.fullPath)) continue;
      if (!ReadTileFile(decoder, entry.fullPath, *work)) continue;
      for (int copy = 0; copy < copies; ++copy) {
        if (tiles.IsFull()) {
          ended = true;
          break;
        }
        std::unique_ptr<TileBuffer> tile;
        try {
          tile = std::make_unique<TileBuffer>(tileSize);
        } catch (const std::bad_alloc&) {
          ShowMessage("There is insufficient memory to load the entire library into memory");
          ended = true;
          break;
        }
        ReduceTile(*work, copy == 1, *tile);
        tiles.Add(std::move(tile));
        progress->StepIt();
        PumpMessages();
      }
    }
  }
  if (tiles.Count() > 0) return tiles.Count();
  ShowMessage(
      "There are no tiles in the specified tile library directory\n"
      "Please ensure the correct directory has been specified");
  tiles.Clear();
  return -1;
}

}  // namespace tesselor
