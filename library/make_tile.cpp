#include "library/make_tile.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <new>
#include <vector>

#include "imagelib/data_sink.h"
#include "imagelib/draw_dib_bmp.h"
#include "imagelib/image_formats.h"
#include "imagelib/jpeg_encoder.h"
#include "imagelib/photograph_decoder.h"
#include "imagelib/text_exception.h"
#include "library/tile_files.h"
#include "platform/app_paths.h"
#include "platform/atomic_file.h"
#include "platform/directory_listing.h"

namespace tesselor {

PixelArea FitArea(int width, int height, TileFit fit) {
  if (fit == TileFit::kSqueeze) return {0, 0, width, height};
  const int side = std::min(width, height);
  return {(width - side) / 2, (height - side) / 2, side, side};
}

void ReduceToTile(const CBmp& picture, const PixelArea& area, CBmp& tile) {
  tile.Create(kTileEdge, kTileEdge, 32, true);
  const int blockWidth = area.width / kTileEdge;
  const int blockHeight = area.height / kTileEdge;
  const int64_t blockPixels = int64_t{blockWidth} * blockHeight;
  for (int j = 0; j < kTileEdge; ++j) {
    const int64_t top = area.top + int64_t{j} * area.height / kTileEdge;
    uint8_t* out = tile.lineArray[j];
    for (int i = 0; i < kTileEdge; ++i, out += 4) {
      const int64_t left = area.left + int64_t{i} * area.width / kTileEdge;
      int64_t sum[kChannels] = {};
      for (int64_t y = top; y < top + blockHeight; ++y) {
        const uint8_t* pixel = picture.lineArray[y] + 4 * left;
        for (int x = 0; x < blockWidth; ++x, pixel += 4)
          for (int c = 0; c < kChannels; ++c) sum[c] += pixel[PixelOffset(c)];
      }
      for (int c = 0; c < kChannels; ++c)
        out[PixelOffset(c)] = static_cast<uint8_t>(sum[c] / blockPixels);
    }
  }
}

bool WriteNewTile(const CBmp& tile, const std::string& path) {
  // Encode in memory first, so the file can be put in place by a rename
  // that refuses to replace a tile made meanwhile under the same name.
  std::vector<uint8_t> buffer(static_cast<size_t>(CJPEGEncoder::SinkCapacity(tile)));
  CDataSink sink;
  sink.Open(path, buffer.data(), static_cast<int64_t>(buffer.size()));
  CJPEGEncoder().EncodeImage(tile, sink);

  AtomicFile file;
  if (!file.Open(path))
    RaiseWriteError(kErrOpenOutput, "Opening " + path + " for writing failed: " + ErrnoText());
  if (!file.Write(buffer.data(), static_cast<size_t>(sink.BytesWritten())))
    RaiseWriteError(kErrOpenOutput, "Writing " + path + " failed: " + ErrnoText());
  if (file.CommitWithoutReplacing()) return true;
  if (errno == EEXIST) return false;
  RaiseWriteError(kErrOpenOutput, "Writing " + path + " failed: " + ErrnoText());
}

int MakeTile(const std::string& sourcePath, const std::string& sourceTitle, CBmp* madeTile,
             TileFit fit) {
  const std::string target = TilePath(Paths().currentLibrary, sourceTitle);
  if (CanOpenForReading(target)) return 0;  // existing tiles are never replaced
  if (!HasDecodedExtension(sourcePath)) return 0;

  CDrawDibBmp picture;
  try {
    CPhotographDecoder().DecodeFile(sourcePath, picture, 32);
  } catch (const CTextException&) {
    return 0;
  } catch (const std::bad_alloc&) {
    return 0;
  }
  if (picture.bitsPerPixel != 32 || picture.width < kTileEdge || picture.height < kTileEdge)
    return 0;

  CDrawDibBmp tile;
  ReduceToTile(picture, FitArea(picture.width, picture.height, fit), tile);
  if (!WriteNewTile(tile, target)) return 0;
  if (madeTile) {
    madeTile->Create(kTileEdge, kTileEdge, 32, true);
    for (int y = 0; y < kTileEdge; ++y)
      std::copy(tile.lineArray[y], tile.lineArray[y] + 4 * kTileEdge, madeTile->lineArray[y]);
  }
  return 1;
}

}  // namespace tesselor
