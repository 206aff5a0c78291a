// Tile libraries on disks that fail: full, read-only, missing, or losing
// files while a command works through them. Every case must end with the
// program's message (or the silence its readers keep for a vanished file)
// and lose nothing: no tile or legacy file half written or gone, no temporary
// file left behind.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <random>

#include "imagelib/jpeg_encoder.h"
#include "library/legacy_upgrade.h"
#include "library/tile_files.h"
#include "library/tile_making_run.h"
#include "library/tile_operations.h"
#include "platform/app_paths.h"
#include "tests/support/scripted_shell.h"
#include "tests/library/program_folder.h"
#include "tests/support/scratch_mount.h"

namespace tesselor {
namespace {

using ::testing::ElementsAre;
using ::testing::FieldsAre;
using testing::FileExists;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using testing::ListNames;
using testing::ReadFileBytes;
using testing::ScratchMount;
using ::testing::StartsWith;
using testing::TempDir;

using Bytes = std::vector<uint8_t>;

// Noise compresses badly, so each tile takes several pages of a small disk.
Bytes Noise(size_t count, unsigned seed) {
  std::mt19937 random(seed);
  Bytes bytes(count);
  for (uint8_t& b : bytes) b = uint8_t(random());
  return bytes;
}

// A JPEG file ends with its end-of-image marker; one cut short does not.
bool IsWholeJpeg(const std::string& path) {
  const Bytes bytes = ReadFileBytes(path);
  return bytes.size() > 4 && bytes[0] == 0xFF && bytes[1] == 0xD8 &&
         bytes[bytes.size() - 2] == 0xFF && bytes[bytes.size() - 1] == 0xD9;
}

// The program folder lies on a small tmpfs of its own; the photographs on
// the ordinary temporary disk.
class FailingDiskTest : public ::testing::Test {
 protected:
  FailingDiskTest() : mount(64 * 1024), saved(Paths()) {}
  ~FailingDiskTest() override { Paths() = saved; }

  void SetUp() override {
    REQUIRE_MOUNT(mount);
    Paths().programDirectory = mount.Path();
    Paths().currentLibrary = "Lib/";
    Paths().imageDirectory = "";
    library = mount.File("Lib/");
    ASSERT_EQ(mkdir(library.c_str(), 0777), 0);
  }

  void WritePhotos(int count) {
    for (int i = 0; i < count; ++i) {
      const Bytes noise = Noise(64 * 64 * 3, unsigned(i));
      CDrawDibBmp photo;
      testing::FillBitmap(photo, 64, 64, [&](int x, int y) {
        const uint8_t* p = &noise[3 * (64 * y + x)];
        return testing::Rgb{p[0], p[1], p[2]};
      });
      CJPEGEncoder().EncodeFile(photos.File("photo" + std::to_string(i) + ".jpg"), photo);
    }
  }

  // Names in the library that are neither tiles nor legacy tiles, such as
  // temporary files a failed write left behind.
  std::vector<std::string> Strays() const {
    std::vector<std::string> strays;
    for (const std::string& name : ListNames(library))
      if (!name.ends_with(".jpg") && !name.ends_with(".raw")) strays.push_back(name);
    return strays;
  }

  ScratchMount mount;
  AppPaths saved;
  ScriptedShell shell;
  TempDir photos;
  std::string library;
};

TEST_F(FailingDiskTest, TileMakingOnAFillingDiskStopsWithOneMessageAndWholeTiles) {
  WritePhotos(24);
  shell.answers = {MessageAnswer::kYes};
  TileMakingRun run;
  EXPECT_EQ(run.MakeTilesFromFolder(photos.Path()), TileMakingOutcome::kWriteFailed);
  EXPECT_FALSE(run.MakingTiles());

  const std::vector<std::string> tiles = ListNames(library);
  EXPECT_GT(tiles.size(), 0u);   // some fitted before the disk was full
  EXPECT_LT(tiles.size(), 24u);  // and the run ended when it was
  for (const std::string& tile : tiles) EXPECT_TRUE(IsWholeJpeg(library + tile)) << tile;
  EXPECT_THAT(Strays(), IsEmpty());
  ASSERT_EQ(shell.messages.size(), 2u);  // the question, then why the run ended
  EXPECT_THAT(shell.messages[1],
              FieldsAre(AllOf(StartsWith(library + "photo"), HasSubstr("No space left on device")),
                        MessageStyle::kStop));
}

TEST_F(FailingDiskTest, LegacyUpgradeOnAFullDiskKeepsEveryLegacyTileAndSaysWhy) {
  std::vector<Bytes> legacy;
  for (const char* name : {"a.raw", "b.raw"}) {
    legacy.push_back(Noise(TilePlanes::kBytes, unsigned(legacy.size())));
    testing::WriteFileBytes(library + name, legacy.back());
  }
  mount.FillUp();

  const TileList list = RefreshTileList("Lib/");
  EXPECT_THAT(list.names, IsEmpty());
  EXPECT_THAT(ListNames(library), ElementsAre("a.raw", "b.raw"));
  EXPECT_EQ(ReadFileBytes(library + "a.raw"), legacy[0]);
  EXPECT_EQ(ReadFileBytes(library + "b.raw"), legacy[1]);
  ASSERT_EQ(shell.messages.size(), 2u);  // the upgrade notice, then the failure
  EXPECT_THAT(shell.messages[1], FieldsAre(AllOf(StartsWith(library + "a.jpg\n"),
                                                 HasSubstr("No space left on device")),
                                           MessageStyle::kStop));

  // With room again the next refresh converts them.
  mount.MakeRoom();
  EXPECT_THAT(RefreshTileList("Lib/").names, ElementsAre("a", "b"));
  EXPECT_THAT(ListNames(library), ElementsAre("a.jpg", "b.jpg"));
}

TEST_F(FailingDiskTest, ReadOnlyLibraryRefusesEveryChangeWithAMessageAndKeepsItsTiles) {
  testing::WriteFileBytes(library + "old.raw", Noise(TilePlanes::kBytes, 1));
  WritePhotos(2);
  testing::WriteFileBytes(library + "tile.jpg", ReadFileBytes(photos.File("photo0.jpg")));
  const Bytes tile = ReadFileBytes(library + "tile.jpg");
  ASSERT_TRUE(mount.MakeReadOnly());

  // The upgrade cannot write the JPEG: the legacy tile stays and the list
  // still shows the tile there is.
  EXPECT_THAT(RefreshTileList("Lib/").names, ElementsAre("tile"));
  EXPECT_THAT(shell.messages.back(),
              FieldsAre(StartsWith(library + "old.jpg\n"), MessageStyle::kStop));

  // Tile making, renaming and deleting say why before they ask anything.
  shell.messages.clear();
  TileMakingRun run;
  EXPECT_EQ(run.MakeTilesFromFolder(photos.Path()), TileMakingOutcome::kUnchangeable);
  EXPECT_EQ(RenameAllTiles("Lib/", {"tile"}, "t"), RenameOutcome::kRefused);
  EXPECT_FALSE(DeleteSelectedTiles("Lib/", {"tile"}));
  EXPECT_FALSE(CreateNewLibrary("More"));
  EXPECT_EQ(Paths().currentLibrary, "Lib/");

  ASSERT_EQ(shell.messages.size(), 4u);
  for (int i = 0; i < 3; ++i)
    EXPECT_THAT(shell.messages[i], FieldsAre(HasSubstr("is in a folder you cannot write to"),
                                             MessageStyle::kExclamation));
  EXPECT_EQ(shell.messages[3].text, "Unable to create the directory:\nMore");
  EXPECT_THAT(ListNames(library), ElementsAre("old.raw", "tile.jpg"));
  EXPECT_EQ(ReadFileBytes(library + "tile.jpg"), tile);
}

// Files that go after the folder was listed: photographs removed by another
// program while tiles are being made, a legacy tile while its notice is open.
class VanishingShell : public ScriptedShell {
 public:
  std::function<void()> onMessage;
  MessageAnswer MessageBox(const std::string& text, MessageStyle style) override {
    if (onMessage) onMessage();
    return ScriptedShell::MessageBox(text, style);
  }
};

TEST(VanishingFiles, AreSkippedWithoutLosingAnythingElse) {
  testing::ProgramFolder program;
  Paths().currentLibrary = "Lib/";
  const std::string library = program.Folder("Lib");
  TempDir photos;
  VanishingShell shell;

  for (const char* name : {"a.jpg", "b.jpg", "c.jpg"}) {
    CDrawDibBmp photo;
    testing::FillBitmap(photo, 80, 80, [](int x, int) { return testing::Rgb{uint8_t(x), 9, 9}; });
    CJPEGEncoder().EncodeFile(photos.File(name), photo);
  }
  shell.answers = {MessageAnswer::kYes};
  // After the first tile the other photographs are gone.
  shell.onPump = [&] {
    std::remove(photos.File("b.jpg").c_str());
    std::remove(photos.File("c.jpg").c_str());
  };
  EXPECT_EQ(TileMakingRun().MakeTilesFromFolder(photos.Path()), TileMakingOutcome::kFinished);
  EXPECT_THAT(ListNames(library), ElementsAre("a.jpg"));
  EXPECT_EQ(shell.messages.size(), 1u);  // the question only

  shell.messages.clear();
  shell.onPump = nullptr;
  for (const char* name : {"x.raw", "y.raw"})
    testing::WriteFileBytes(library + name, Noise(TilePlanes::kBytes, 3));
  shell.onMessage = [&] { std::remove((library + "x.raw").c_str()); };
  EXPECT_EQ(UpgradeLegacyTiles("Lib/"), 1);
  EXPECT_THAT(ListNames(library), ElementsAre("a.jpg", "y.jpg"));
  EXPECT_EQ(shell.messages.size(), 1u);  // the upgrade notice only
}

}  // namespace
}  // namespace tesselor
