// Loads one tile library as a build does, and decodes the same files with a
// plain libjpeg-turbo loop, side by side, several rounds each, and reports
// the fastest round of each with a checksum of the loaded tiles, so that two
// builds of the loader can be compared on the same files.
//
//   bench_load LIBRARY_FOLDER TILE_SIZE ROUNDS
//
// The plain loop is the floor: each file read whole with one read and
// decoded to 4-byte pixels with the loader's settings (plain upsampling,
// float DCT), on as many threads as the loader uses, nothing else done.
#include <fcntl.h>
#include <unistd.h>
// jpeglib.h needs FILE declared first, so the two stay in this order.
// clang-format off
#include <stdio.h>
#include <jpeglib.h>
// clang-format on

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "bench/library_folder.h"
#include "bench/tile_set_checksum.h"
#include "bench/timing.h"
#include "engine/load_tile_set.h"
#include "engine/ordered_parallel.h"
#include "platform/app_paths.h"
#include "platform/directory_listing.h"
#include "tests/support/scripted_shell.h"

using namespace tesselor;

namespace {

// Decodes files[i] for every i = first, first + step, ...; returns the sum
// of the first pixel of each, so the work cannot be left out.
unsigned DecodeEvery(const std::vector<std::string>& files, size_t first, size_t step) {
  jpeg_decompress_struct cinfo{};
  jpeg_error_mgr errors{};
  cinfo.err = jpeg_std_error(&errors);
  jpeg_create_decompress(&cinfo);
  std::vector<uint8_t> bytes, row;
  unsigned sum = 0;
  for (size_t i = first; i < files.size(); i += step) {
    const int fd = ::open(files[i].c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) continue;
    bytes.resize(static_cast<size_t>(lseek(fd, 0, SEEK_END)));
    const ssize_t got = pread(fd, bytes.data(), bytes.size(), 0);
    ::close(fd);
    if (got <= 0) continue;
    jpeg_mem_src(&cinfo, bytes.data(), static_cast<unsigned long>(got));
    jpeg_read_header(&cinfo, TRUE);
    cinfo.do_fancy_upsampling = FALSE;
    cinfo.dct_method = JDCT_FLOAT;
    cinfo.out_color_space = JCS_EXT_BGRX;
    jpeg_start_decompress(&cinfo);
    row.resize(size_t{cinfo.output_width} * 4);
    JSAMPROW rows[1] = {row.data()};
    while (cinfo.output_scanline < cinfo.output_height) jpeg_read_scanlines(&cinfo, rows, 1);
    jpeg_finish_decompress(&cinfo);
    sum += row[0];
  }
  jpeg_destroy_decompress(&cinfo);
  return sum;
}

unsigned DecodeOnThreads(const std::vector<std::string>& files, int threads) {
  std::atomic<unsigned> sum{0};
  std::vector<std::thread> workers;
  for (int t = 0; t < threads; ++t)
    workers.emplace_back([&, t] { sum += DecodeEvery(files, size_t(t), size_t(threads)); });
  for (std::thread& worker : workers) worker.join();
  return sum;
}

}  // namespace

int main(int argc, char** argv) {
  ScriptedShell shell;  // messages recorded, never shown
  LoadingArguments arguments;
  if (const int status = ReadLoadingArguments(argc, argv, "bench_load", arguments)) return status;

  std::vector<std::string> files;
  for (const DirectoryEntry& entry : ListDirectory(Paths().currentLibrary, "*.jpg"))
    if (!entry.isDirectory) files.push_back(entry.fullPath);

  double loader = 1e9, floor = 1e9, floorOneThread = 1e9;
  uint64_t checksum = 0;
  int count = 0;
  unsigned sink = 0;
  for (int round = 0; round < arguments.rounds; ++round) {
    TileSet tiles;
    loader = std::min(loader, Timed([&] { count = LoadTileSet(tiles, arguments.tileSize, true); }));
    checksum = Checksum(tiles);
    floor = std::min(floor, Timed([&] { sink += DecodeOnThreads(files, WorkerThreadCount()); }));
    floorOneThread = std::min(floorOneThread, Timed([&] { sink += DecodeOnThreads(files, 1); }));
  }
  std::printf("files: %zu\ntiles: %d\nchecksum: %016llx\n", files.size(), count,
              static_cast<unsigned long long>(checksum));
  std::printf("loader seconds: %.4f\nplain decode seconds: %.4f\n", loader, floor);
  std::printf("plain decode seconds on one thread: %.4f\nloader over plain decode: %.2f\n",
              floorOneThread, loader / floor);
  return sink == 0xFFFFFFFFu ? 3 : 0;  // keeps the decoded pixels alive
}
