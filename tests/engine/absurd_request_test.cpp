// Requests far beyond what one build can hold, answered at once: a mosaic of
// tens of gigabytes, a photograph whose header claims billions of pixels, and
// a tile library of a hundred thousand files, of which one build loads only
// the first ten thousand.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>

#include "engine/load_tile_set.h"
#include "engine/tesselor_doc.h"
#include "imagelib/jpeg_encoder.h"
#include "platform/app_paths.h"
#include "tests/engine/engine_fixtures.h"
#include "tests/library/program_folder.h"
#include "tests/support/byte_writing.h"

namespace tesselor {
namespace {

using Clock = std::chrono::steady_clock;

constexpr const char* kNoMemoryForMosaic =
    "Not enough memory to create the mosaic image.\nTry selecting a lower magnification.";

TEST(AbsurdRequest, MosaicOfTensOfGigabytesIsRefusedAtOnceAndNothingIsBuilt) {
  ScriptedShell shell;
  testing::TempDir dir;
  const std::string photo = dir.File("photo.bmp");
  testing::WriteTileFile(photo, testing::Flat({1, 2, 3}), 300, 300);
  CTesselorDoc doc;
  int builds = 0;
  doc.SetBuilder([&builds](const CBmp&, CBmp&, const BuildOptions&) {
    ++builds;
    return BuildOutcome::kCompleted;
  });
  ASSERT_TRUE(doc.OnOpenDocument(photo));
  // 65400 x 65400 pixels fit the largest width and height a bitmap may have,
  // but at four bytes each they come to 17 GB.
  shell.optionsDialog = [](CTesselorDoc& d) {
    d.settings.magnification = 218;
    return true;
  };
  const Clock::time_point start = Clock::now();
  doc.OnCreateMosaic();
  EXPECT_LT(Clock::now() - start, std::chrono::seconds(1));
  EXPECT_EQ(shell.MessageTexts(), std::vector<std::string>{kNoMemoryForMosaic});
  EXPECT_EQ(builds, 0);
  EXPECT_EQ(doc.MosaicImage(), nullptr);
  EXPECT_EQ(doc.CurrentPicture(), doc.SourceImage());
}

TEST(AbsurdRequest, PhotographClaimingBillionsOfPixelsIsRefusedAtOnce) {
  ScriptedShell shell;
  testing::TempDir dir;
  // A 24-bit bitmap header claiming 60000 x 60000 pixels, and no pixels.
  std::vector<uint8_t> header(54, 0);
  header[0] = 'B';
  header[1] = 'M';
  testing::SetLittleEndian32(header, 10, 54);
  testing::SetLittleEndian32(header, 14, 40);
  testing::SetLittleEndian32(header, 18, 60000);
  testing::SetLittleEndian32(header, 22, 60000);
  header[26] = 1;
  header[28] = 24;
  testing::WriteFileBytes(dir.File("huge.bmp"), header);
  CTesselorDoc doc;
  const Clock::time_point start = Clock::now();
  EXPECT_FALSE(doc.OnOpenDocument(dir.File("huge.bmp")));
  EXPECT_LT(Clock::now() - start, std::chrono::seconds(1));
  EXPECT_EQ(shell.MessageTexts(),
            std::vector<std::string>{"Unable to read file, it may not contain a valid image"});
  EXPECT_EQ(doc.SourceImage(), nullptr);
}

// The files are hard links to two copies of one tile (a file takes at most
// 65000 links on ext4), so the library costs a hundred thousand directory
// entries and two small files' worth of disk.
TEST(AbsurdRequest, HundredThousandFileLibraryLoadsTenThousandTilesQuickly) {
  constexpr int kFiles = 100000;
  const std::string startDirectory = CurrentDirectory();
  testing::ProgramFolder program;
  const std::string library = program.Folder("Demo Tile Library");
  CDrawDibBmp bmp;
  testing::FillBitmap(bmp, 64, 64, [](int x, int y) {
    return testing::Rgb{uint8_t(x), uint8_t(y), 7};
  });
  const std::string tiles[] = {program.Path() + "tile0.jpg", program.Path() + "tile1.jpg"};
  for (const std::string& tile : tiles) CJPEGEncoder().EncodeFile(tile, bmp);
  for (int i = 0; i < kFiles; ++i) {
    char name[16];
    std::snprintf(name, sizeof name, "t%06d.jpg", i);
    ASSERT_EQ(link(tiles[i % 2].c_str(), (library + name).c_str()), 0) << name;
  }

  TileSet set;
  const Clock::time_point start = Clock::now();
  EXPECT_EQ(LoadTileSet(set, 8, false), kTileSetCapacity);
  const auto seconds = std::chrono::duration<double>(Clock::now() - start).count();
  // Ten thousand small decodes take a few seconds even in the sanitizer build.
  EXPECT_LT(seconds, 60.0);
  RecordProperty("seconds", std::to_string(seconds));
  EXPECT_TRUE(program.shell.messages.empty()) << program.shell.messages.size() << " messages";
  EXPECT_EQ(program.shell.progress[0].steps, kTileSetCapacity);
  EXPECT_NEAR(set[kTileSetCapacity - 1].Average(kBlue), 7, 3);
  ChangeDirectory(startDirectory);
}

}  // namespace
}  // namespace tesselor
