// Builds one mosaic from a photograph and a tile library twice, with the
// engine and with the plain model kept in the tests, and reports the times,
// whether the two mosaics are the same to the byte, and the mosaic's
// fidelity to the photograph.
//
//   bench_build PHOTO LIBRARY_FOLDER TILE_SIZE ACCURACY RANDOMIZATION COLOUR_ADJUST
//   [--no-reference]
//
// Fidelity is the PSNR between photograph and mosaic after both are
// box-averaged to one pixel per tile cell: every cell of the grid that lies
// inside the picture becomes the mean of its red, green and blue values over
// the pixels it covers, and the PSNR is taken over those means.

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "bench/bench_inputs.h"
#include "bench/library_folder.h"
#include "bench/timing.h"
#include "engine/load_tile_set.h"
#include "engine/mosaic_passes.h"
#include "imagelib/any_pic_decoder.h"
#include "platform/random.h"
#include "tests/engine/reference_engine.h"
#include "tests/support/scripted_shell.h"

using namespace tesselor;

namespace {

double CellPsnr(const CBmp& photo, const CBmp& mosaic, int cell) {
  double squaredError = 0;
  int64_t samples = 0;
  for (int y0 = 0; y0 < photo.height; y0 += cell) {
    for (int x0 = 0; x0 < photo.width; x0 += cell) {
      double a[3] = {}, b[3] = {};
      int pixels = 0;
      for (int y = y0; y < std::min(y0 + cell, photo.height); ++y)
        for (int x = x0; x < std::min(x0 + cell, photo.width); ++x, ++pixels)
          for (int c = 0; c < 3; ++c) {
            a[c] += photo.lineArray[y][4 * x + c];
            b[c] += mosaic.lineArray[y][4 * x + c];
          }
      for (int c = 0; c < 3; ++c) {
        const double d = (a[c] - b[c]) / pixels;
        squaredError += d * d;
        ++samples;
      }
    }
  }
  const double mse = squaredError / double(samples);
  return mse == 0 ? INFINITY : 10 * std::log10(255.0 * 255.0 / mse);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 7) {
    std::fprintf(stderr,
                 "usage: bench_build PHOTO LIBRARY_FOLDER TILE_SIZE ACCURACY(0-2) RANDOMIZATION "
                 "COLOUR_ADJUST [--no-reference]\n");
    return 2;
  }
  const bool withReference = !(argc > 7 && std::strcmp(argv[7], "--no-reference") == 0);
  ScriptedShell shell;  // messages recorded, never shown
  if (!UseLibraryFolder(argv[2])) return 1;

  CDrawDibBmp photo;
  CAnyPicDecoder().DecodeFile(argv[1], photo, 32);
  BuildOptions options;
  options.tileSize = std::atoi(argv[3]);
  options.accuracyStep = MosaicSettings::AccuracyStepFor(options.tileSize, std::atoi(argv[4]));
  options.randomization = std::atoi(argv[5]);
  options.colourAdjust = std::atoi(argv[6]);
  options.blendFraction = 0.0;

  TileSet tiles;
  int count = 0;
  const double loadSeconds =
      Timed([&] { count = LoadTileSet(tiles, options.tileSize, options.mirrorTiles); });
  if (count <= 0) {
    std::fprintf(stderr, "no tiles in %s\n", argv[2]);
    return 1;
  }
  CDrawDibBmp engine;
  engine.Create(photo.width, photo.height, 32, true);
  ResetProgramRandom();
  SilentProgressWindow progress;
  const double engineSeconds = Timed([&] { PaintMosaic(photo, engine, tiles, options, progress); });
  const long peakBytes = bench::PeakMemoryBytes();

  std::printf("photo: %d x %d\ntiles: %d\ncells: %lld\n", photo.width, photo.height, count,
              static_cast<long long>(GridFor(photo.width, photo.height, options.tileSize).Cells()));
  std::printf("load seconds: %.3f\nengine matching seconds: %.3f\n", loadSeconds, engineSeconds);
  std::printf("peak memory MiB (load + engine build): %.1f\n", peakBytes / 1048576.0);
  std::printf("tile set MiB: %.2f\nbitmaps MiB: %.2f\n",
              count * double(tiles[0].BlockBytes() + sizeof(void*)) / 1048576.0,
              2.0 * photo.LineLength() * photo.height / 1048576.0);
  std::printf("fidelity PSNR dB (cell means): %.2f\n", CellPsnr(photo, engine, options.tileSize));
  if (withReference) {
    CDrawDibBmp model;
    model.Create(photo.width, photo.height, 32, true);
    const double modelSeconds = Timed([&] { reference::Build(photo, model, tiles, options); });
    const bool identical = std::memcmp(engine.bits, model.bits,
                                       size_t(engine.LineLength()) * size_t(engine.height)) == 0;
    std::printf("reference matching seconds: %.3f\nspeed-up: %.1f\nidentical: %s\n", modelSeconds,
                modelSeconds / engineSeconds, identical ? "yes" : "NO");
    if (!identical) return 1;
  }
  return 0;
}
