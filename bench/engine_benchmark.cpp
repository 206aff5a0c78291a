// One cell's choice and a whole build, by the engine and by the plain model
// kept in the tests, on the same synthetic inputs.
#include <benchmark/benchmark.h>

#include "bench/bench_inputs.h"
#include "engine/choose_tile.h"
#include "engine/mosaic_passes.h"
#include "engine/tile_index.h"
#include "platform/random.h"
#include "tests/engine/reference_engine.h"

namespace tesselor {
namespace {

constexpr int kTileSize = 16;
constexpr int kStep = 4;  // medium accuracy for 16-pixel tiles
constexpr int kRandomization = 5;

struct Inputs {
  CDrawDibBmp photo, mosaic;
  TileSet tiles;
  explicit Inputs(int tileCount) {
    bench::SyntheticTiles(kTileSize, tileCount, tiles);
    bench::SyntheticPhoto(640, 480, photo);
    mosaic.Create(640, 480, 32, true);
  }
};

// Cells walk the photograph so each iteration scores a different cell.
int CellX(int64_t i) {
  return int(i * 7 % 40) * kTileSize;
}
int CellY(int64_t i) {
  return int(i * 3 % 30) * kTileSize;
}

void BM_ChooseTileReference(benchmark::State& state) {
  Inputs in(int(state.range(0)));
  RandomGenerator random;
  int64_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(reference::ChooseTile(in.photo, in.mosaic, in.tiles, in.tiles.Count(),
                                                   20, kRandomization, kTileSize, CellX(i),
                                                   CellY(i), kStep, random));
    ++i;
  }
}

void BM_ChooseTileEngine(benchmark::State& state) {
  Inputs in(int(state.range(0)));
  const TileIndex index(in.tiles, kStep);
  RandomGenerator random;
  int64_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(ChooseTile(in.photo, in.mosaic.height, index, in.tiles.Count(), 20,
                                        kRandomization, kTileSize, CellX(i), CellY(i),
                                        random.Next()));
    ++i;
  }
}

BuildOptions BenchOptions() {
  BuildOptions options;
  options.tileSize = kTileSize;
  options.accuracyStep = kStep;
  options.randomization = kRandomization;
  return options;
}

void BM_BuildReference(benchmark::State& state) {
  Inputs in(int(state.range(0)));
  for (auto _ : state) reference::Build(in.photo, in.mosaic, in.tiles, BenchOptions());
}

void BM_BuildEngine(benchmark::State& state) {
  Inputs in(int(state.range(0)));
  SilentProgressWindow progress;
  for (auto _ : state) PaintMosaic(in.photo, in.mosaic, in.tiles, BenchOptions(), progress);
}

BENCHMARK(BM_ChooseTileReference)->Arg(1000)->Arg(4000);
BENCHMARK(BM_ChooseTileEngine)->Arg(1000)->Arg(4000);
BENCHMARK(BM_BuildReference)->Arg(4000)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_BuildEngine)->Arg(4000)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace tesselor

BENCHMARK_MAIN();
