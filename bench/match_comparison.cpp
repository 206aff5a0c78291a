// Times the matching half of one build alone: every placement chosen, none
// painted, as CPU seconds of the whole process (all its threads), with a
// checksum of the choices so that two builds of the program can be compared
// choice for choice.
//
//   bench_match PHOTO LIBRARY_FOLDER MAGNIFICATION [lab] [min-distance D]
//
// The standard options otherwise: 16-pixel tiles, medium accuracy, low
// randomization, colour adjustment 20.
#include <limits.h>
#include <time.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "engine/load_tile_set.h"
#include "engine/mosaic_passes.h"
#include "imagelib/any_pic_decoder.h"
#include "imagelib/draw_dib_bmp.h"
#include "platform/app_paths.h"
#include "platform/directory_listing.h"
#include "platform/random.h"
#include "tests/support/scripted_shell.h"

using namespace tesselor;

namespace {

double ProcessCpuSeconds() {
  timespec now{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + now.tv_nsec * 1e-9;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) {
    std::fprintf(stderr,
                 "usage: bench_match PHOTO LIBRARY_FOLDER MAGNIFICATION [lab] "
                 "[min-distance D]\n");
    return 2;
  }
  ScriptedShell shell;  // messages recorded, never shown
  Paths().programDirectory = "";
  char library[PATH_MAX];
  if (!realpath(argv[2], library)) {
    std::fprintf(stderr, "no folder %s\n", argv[2]);
    return 1;
  }
  Paths().currentLibrary = WithTrailingSlash(library);

  CDrawDibBmp photo;
  CAnyPicDecoder().DecodeFile(argv[1], photo, 32);
  BuildOptions options;
  options.tileSize = 16;
  options.accuracyStep = MosaicSettings::AccuracyStepFor(16, 1);
  options.randomization = 5;
  options.magnification = std::atof(argv[3]);
  for (int a = 4; a < argc; ++a) {
    if (std::strcmp(argv[a], "lab") == 0) options.variety.metric = ColourMetric::kLab;
    if (std::strcmp(argv[a], "min-distance") == 0 && a + 1 < argc)
      options.variety.minDistance = std::atoi(argv[++a]);
  }
  TileSet tiles;
  if (LoadTileSet(tiles, options.tileSize, options.mirrorTiles) <= 0) {
    std::fprintf(stderr, "no tiles in %s\n", argv[2]);
    return 1;
  }
  const MosaicSize size = MosaicSizeFor(photo, options.magnification);
  ResetProgramRandom();
  SilentProgressWindow progress;
  uint64_t checksum = 1469598103934665603u;  // FNV-1a over tile and gains of each placement
  const auto mix = [&](const void* bytes, size_t count) {
    for (size_t i = 0; i < count; ++i) {
      checksum ^= static_cast<const uint8_t*>(bytes)[i];
      checksum *= 1099511628211u;
    }
  };
  const double start = ProcessCpuSeconds();
  ChoosePlacements(photo, size.height, tiles, options, progress, [&](const PlacedTile& placed) {
    mix(&placed.choice.tile, sizeof placed.choice.tile);
    mix(placed.choice.gains.channel.data(), sizeof placed.choice.gains.channel);
  });
  const double seconds = ProcessCpuSeconds() - start;
  std::printf("cells: %lld\nmatching CPU seconds: %.3f\nchoices checksum: %016llx\n",
              static_cast<long long>(GridFor(size.width, size.height, 16).Cells()), seconds,
              static_cast<unsigned long long>(checksum));
  return 0;
}
