// The document and the tile loader on disks that fail: a mosaic saved to a
// full or read-only disk says why and leaves the file it would have replaced
// as it was; a library on a read-only disk still loads; tiles that vanish
// after the library was listed are left out without a word.
#include <gtest/gtest.h>
#include <unistd.h>

#include <random>

#include "engine/load_tile_set.h"
#include "engine/tesselor_doc.h"
#include "imagelib/jpeg_encoder.h"
#include "platform/app_paths.h"
#include "tests/engine/engine_fixtures.h"
#include "tests/library/program_folder.h"
#include "tests/support/scratch_mount.h"

namespace tesselor {
namespace {

using testing::ListNames;
using testing::ReadFileBytes;
using testing::ScratchMount;
using Bytes = std::vector<uint8_t>;

// A document holding a built mosaic of noise, which no disk of a few pages
// can take as JPEG or bitmap.
class SaveOnFailingDisk : public ::testing::Test {
 protected:
  SaveOnFailingDisk() : mount(64 * 1024) {}

  void SetUp() override {
    REQUIRE_MOUNT(mount);
    const std::string photo = photos.File("photo.bmp");
    testing::WriteTileFile(photo, testing::Flat({10, 20, 30}), 200, 150);
    doc.SetBuilder([](const CBmp&, CBmp& mosaic, const BuildOptions&) {
      std::mt19937 random(5);
      for (int y = 0; y < mosaic.height; ++y)
        for (int x = 0; x < 4 * mosaic.width; ++x) mosaic.lineArray[y][x] = uint8_t(random());
      return BuildOutcome::kCompleted;
    });
    ASSERT_TRUE(doc.OnOpenDocument(photo));
    shell.optionsDialog = [](CTesselorDoc&) { return true; };
    doc.OnCreateMosaic();
    ASSERT_TRUE(doc.MosaicBuilt());
    shell.messages.clear();
  }

  // Saves over an existing file of name and checks that the save said why
  // it failed and that the old file and the folder are as they were.
  void ExpectSaveFailsKeepingTheOldFile(const std::string& name, const std::string& cause) {
    const std::string path = mount.File(name);
    const Bytes old = ReadFileBytes(path);
    const std::vector<std::string> before = ListNames(mount.Path());
    EXPECT_FALSE(doc.OnSaveDocument(path)) << name;
    ASSERT_EQ(shell.messages.size(), 1u) << name;
    EXPECT_EQ(shell.messages[0].style, MessageStyle::kStop);
    EXPECT_EQ(shell.messages[0].text.rfind("Unable to save " + path + ".\n", 0), 0u)
        << shell.messages[0].text;
    EXPECT_NE(shell.messages[0].text.find(cause), std::string::npos) << shell.messages[0].text;
    // Nothing was being decoded.
    EXPECT_EQ(shell.messages[0].text.find("Decoder"), std::string::npos) << shell.messages[0].text;
    EXPECT_EQ(ReadFileBytes(path), old) << name;
    EXPECT_EQ(ListNames(mount.Path()), before) << name;  // no temporary file left
    EXPECT_NE(doc.SourcePath(), path);
    shell.messages.clear();
  }

  ScratchMount mount;
  testing::TempDir photos;
  ScriptedShell shell;
  CTesselorDoc doc;
};

TEST_F(SaveOnFailingDisk, FullDiskKeepsTheFileTheSaveWouldHaveReplaced) {
  for (const char* name : {"mosaic.jpg", "mosaic.bmp"})
    testing::WriteFileBytes(mount.File(name), Bytes{'o', 'l', 'd'});
  mount.FillUp();
  ExpectSaveFailsKeepingTheOldFile("mosaic.jpg", "No space left on device");
  ExpectSaveFailsKeepingTheOldFile("mosaic.bmp", "No space left on device");
}

TEST_F(SaveOnFailingDisk, ReadOnlyDiskKeepsTheFileTheSaveWouldHaveReplaced) {
  for (const char* name : {"mosaic.jpg", "mosaic.bmp"})
    testing::WriteFileBytes(mount.File(name), Bytes{'o', 'l', 'd'});
  ASSERT_TRUE(mount.MakeReadOnly());
  ExpectSaveFailsKeepingTheOldFile("mosaic.jpg", "Read-only file system");
  ExpectSaveFailsKeepingTheOldFile("mosaic.bmp", "Read-only file system");
}

class LoadFromFailingDisk : public ::testing::Test {
 protected:
  ~LoadFromFailingDisk() override { ChangeDirectory(startDirectory); }

  std::string startDirectory = CurrentDirectory();
  testing::ProgramFolder program;
};

TEST_F(LoadFromFailingDisk, ReadOnlyLibraryLoadsAsAnyOther) {
  ScratchMount mount(1 << 20);
  REQUIRE_MOUNT(mount);
  Paths().programDirectory = mount.Path();
  Paths().currentLibrary = "Lib/";
  ASSERT_EQ(mkdir(mount.File("Lib").c_str(), 0777), 0);
  for (const char* name : {"a.jpg", "b.jpg"})
    testing::WriteTileFile(mount.File("Lib/") + name, testing::Flat({100, 50, 25}));
  ASSERT_TRUE(mount.MakeReadOnly());
  TileSet tiles;
  EXPECT_EQ(LoadTileSet(tiles, 16, true), 4);
  EXPECT_EQ(tiles[3].Average(kRed), 100);
  EXPECT_TRUE(program.shell.messages.empty());
}

// A link whose file is gone is listed like any tile but cannot be opened,
// as a file deleted between the listing and its reading.
TEST_F(LoadFromFailingDisk, TilesThatVanishAfterListingAreLeftOutSilently) {
  const std::string library = program.Folder("Demo Tile Library");
  for (const char* name : {"a.jpg", "c.jpg"})
    testing::WriteTileFile(library + name, testing::Flat({1, 2, 3}));
  for (const char* name : {"b.jpg", "d.jpg"})
    ASSERT_EQ(symlink((library + "gone.bmp").c_str(), (library + name).c_str()), 0);
  TileSet tiles;
  EXPECT_EQ(LoadTileSet(tiles, 8, true), 4);
  EXPECT_TRUE(program.shell.messages.empty());

  // Nothing left that opens: the build hears there are no tiles.
  for (const char* name : {"a.jpg", "c.jpg"}) std::remove((library + name).c_str());
  EXPECT_EQ(LoadTileSet(tiles, 8, true), -1);
  EXPECT_EQ(program.shell.messages.size(), 1u);
}

}  // namespace
}  // namespace tesselor
