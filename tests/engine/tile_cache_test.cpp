// The tile cache as loading uses it: cached tiles are the decoded ones, a
// changed file is decoded again, and no cache file, however damaged, makes
// loading crash or give other tiles.
#include "engine/tile_cache.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <zlib.h>

#include <ctime>

#include "engine/load_tile_set.h"
#include "platform/app_paths.h"
#include "tests/engine/engine_fixtures.h"
#include "tests/library/program_folder.h"

namespace tesselor {
namespace {

using Tiles = std::vector<std::vector<uint8_t>>;

class TileCacheTest : public ::testing::Test {
 protected:
  TileCacheTest() { Paths().tileCacheDirectory = cache_.Path() + "/"; }
  ~TileCacheTest() override { ChangeDirectory(startDirectory_); }

  // A tile file of colours of its own for each seed, last changed at time
  // modified: two seeds give files of the same size.
  void WriteTile(const std::string& name, int seed, time_t modified) {
    const std::string path = library_ + name;
    testing::WriteTileFile(path, [seed](int x, int y) {
      return testing::Rgb{uint8_t(x * 3 + seed * 50), uint8_t(y * 2 + seed * 30),
                          uint8_t((x ^ y) + seed * 70)};
    });
    const timespec times[2] = {{modified, 0}, {modified, 0}};
    ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
  }

  // Every tile's planes and averages, in table order.
  Tiles Load(int tileSize) {
    TileSet set;
    LoadTileSet(set, tileSize, true);
    Tiles tiles;
    for (int t = 0; t < set.Count(); ++t)
      tiles.emplace_back(set[t].Block(), set[t].Block() + set[t].BlockBytes());
    return tiles;
  }
  Tiles LoadWithoutCache(int tileSize) {
    const std::string cacheDirectory = Paths().tileCacheDirectory;
    Paths().tileCacheDirectory.clear();
    Tiles tiles = Load(tileSize);
    Paths().tileCacheDirectory = cacheDirectory;
    return tiles;
  }

  std::vector<std::string> CacheFiles() { return testing::ListNames(cache_.Path()); }
  std::string CacheFile() { return cache_.File(CacheFiles().at(0)); }

  const time_t hourAgo_ = std::time(nullptr) - 3600;

 private:
  std::string startDirectory_ = CurrentDirectory();
  testing::ProgramFolder program_;
  testing::TempDir cache_;

 protected:
  const std::string library_ = program_.Folder("Demo Tile Library");
};

TEST_F(TileCacheTest, LaterLoadsTakeTheDecodedTilesFromTheCacheOutsideTheLibrary) {
  for (int i = 0; i < 3; ++i) WriteTile("t" + std::to_string(i) + ".jpg", i, hourAgo_);
  const Tiles decoded = LoadWithoutCache(16);
  ASSERT_EQ(decoded.size(), 6u);
  EXPECT_TRUE(CacheFiles().empty());
  EXPECT_EQ(Load(16), decoded);
  EXPECT_EQ(CacheFiles().size(), 1u);
  EXPECT_EQ(testing::ListNames(library_).size(), 3u);

  // The same size and time: only the cache still knows the old colours.
  WriteTile("t1.jpg", 7, hourAgo_);
  EXPECT_EQ(Load(16), decoded);
  EXPECT_NE(LoadWithoutCache(16), decoded);
  // Another tile size has a cache of its own.
  EXPECT_EQ(Load(8), LoadWithoutCache(8));
}

TEST_F(TileCacheTest, ChangedAndJustWrittenFilesAreDecodedAgain) {
  WriteTile("t0.jpg", 0, hourAgo_);
  WriteTile("t1.jpg", 1, hourAgo_);
  Load(16);
  WriteTile("t1.jpg", 5, hourAgo_ + 10);  // touched
  const Tiles changed = LoadWithoutCache(16);
  EXPECT_EQ(Load(16), changed);
  // The cache now holds the new tile.
  WriteTile("t1.jpg", 6, hourAgo_ + 10);
  EXPECT_EQ(Load(16), changed);

  // Written this second, a file may change again within the same tick of
  // its file system's clock: its time then says nothing.
  WriteTile("t1.jpg", 5, hourAgo_ + 10);
  const time_t now = std::time(nullptr);
  WriteTile("t0.jpg", 8, now);
  Load(16);
  WriteTile("t0.jpg", 9, now);
  EXPECT_EQ(Load(16), LoadWithoutCache(16));
}

TEST_F(TileCacheTest, DamagedOrHostileCacheFilesAreIgnoredAndReplaced) {
  for (int i = 0; i < 2; ++i) WriteTile("t" + std::to_string(i) + ".jpg", i, hourAgo_);
  const Tiles decoded = LoadWithoutCache(8);
  Load(8);
  const std::string path = CacheFile();
  const std::vector<uint8_t> good = testing::ReadFileBytes(path);

  for (size_t length = 0; length < good.size(); length += 5) {
    testing::WriteFileBytes(path, std::vector<uint8_t>(good.begin(), good.begin() + length));
    EXPECT_EQ(Load(8), decoded) << "cut at " << length;
    EXPECT_EQ(testing::ReadFileBytes(path), good) << "cut at " << length;
  }
  // Each byte in turn changed under a checksum that fits: counts and lengths
  // past the file's end, names and times that match no file.
  for (size_t at = 0; at + 4 < good.size(); ++at) {
    std::vector<uint8_t> bytes = good;
    bytes[at] = static_cast<uint8_t>(~bytes[at]);
    const size_t body = bytes.size() - 4;
    const uint32_t crc = static_cast<uint32_t>(crc32_z(0, bytes.data(), body));
    for (int i = 0; i < 4; ++i) bytes[body + i] = static_cast<uint8_t>(crc >> (8 * i));
    testing::WriteFileBytes(path, bytes);
    EXPECT_EQ(Load(8).size(), decoded.size()) << "byte " << at;
  }
}

}  // namespace
}  // namespace tesselor
