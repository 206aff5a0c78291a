#include "library/legacy_upgrade.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "imagelib/any_pic_decoder.h"
#include "library/tile_files.h"
#include "tests/library/program_folder.h"

namespace tesselor {
namespace {

using testing::ListNames;
using testing::PixelAt;
using testing::ProgramFolder;

constexpr const char* kUpgrading =
    "Tiles from an older version of Tesselor have been detected. These will be updated "
    "automatically.\nThis may take some time for large tile libraries.";

// A legacy file whose planes hold value wherever lit(channel, offset) says so.
void WriteLegacyTile(const std::string& path, const std::function<bool(int, int)>& lit,
                     size_t size = TilePlanes::kBytes) {
  std::vector<uint8_t> bytes(size);
  for (size_t i = 0; i < size; ++i)
    bytes[i] = lit(int(i / TilePlanes::kPlaneBytes), int(i % TilePlanes::kPlaneBytes)) ? 255 : 0;
  testing::WriteFileBytes(path, bytes);
}

testing::Rgb Decoded(const std::string& path, int x, int y) {
  CDrawDibBmp bmp;
  CAnyPicDecoder().DecodeFile(path, bmp, 32);
  EXPECT_EQ(bmp.width, 64);
  EXPECT_EQ(bmp.height, 64);
  return PixelAt(bmp, x, y);
}

class LegacyUpgradeTest : public ::testing::Test {
 protected:
  LegacyUpgradeTest() { library = program.Folder("Old", {"b.jpg"}); }
  ProgramFolder program;
  std::string library;
};

TEST_F(LegacyUpgradeTest, ConvertsEveryRawTileSayingSoOnce) {
  WriteLegacyTile(library + "a.raw", [](int channel, int) { return channel == kRed; });
  // The first 64 bytes of each plane are the bottom row.
  WriteLegacyTile(library + "c.raw", [](int, int offset) { return offset < 64; });
  EXPECT_EQ(UpgradeLegacyTiles("Old/"), 2);
  EXPECT_EQ(ListNames(library), (std::vector<std::string>{"a.jpg", "b.jpg", "c.jpg"}));
  ASSERT_EQ(program.shell.messages.size(), 1u);
  EXPECT_EQ(program.shell.messages[0].text, kUpgrading);
  EXPECT_EQ(program.shell.messages[0].style, MessageStyle::kExclamation);
  EXPECT_EQ(ProgramFolder::ReadText(library + "b.jpg"), "b.jpg");

  const testing::Rgb red = Decoded(library + "a.jpg", 20, 30);
  EXPECT_GT(red.r, 245);
  EXPECT_LT(red.g, 10);
  EXPECT_GT(Decoded(library + "c.jpg", 10, 63).g, 200);
  EXPECT_LT(Decoded(library + "c.jpg", 10, 40).g, 20);

  EXPECT_EQ(UpgradeLegacyTiles("Old/"), 0);  // nothing left: no second message
  EXPECT_EQ(program.shell.messages.size(), 1u);
}

TEST_F(LegacyUpgradeTest, ShortFilesConvertWithBlackForTheMissingBytes) {
  WriteLegacyTile(
      library + "short.raw", [](int, int) { return true; }, 100);
  EXPECT_EQ(UpgradeLegacyTiles("Old/"), 1);
  EXPECT_LT(Decoded(library + "short.jpg", 30, 30).r, 20);
}

TEST_F(LegacyUpgradeTest, KeepsTheRawFileWhenItsJpegCannotBeWritten) {
  WriteLegacyTile(library + "d.raw", [](int, int) { return true; });
  mkdir((library + "d.jpg").c_str(), 0777);  // nothing can be renamed over a folder
  EXPECT_EQ(UpgradeLegacyTiles("Old/"), 0);
  EXPECT_TRUE(testing::FileExists(library + "d.raw"));
}

TEST_F(LegacyUpgradeTest, TakesOnlyNamesEndingInLowerCaseRaw) {
  WriteLegacyTile(library + "UP.RAW", [](int, int) { return false; });
  WriteLegacyTile(library + ".raw", [](int, int) { return false; });
  EXPECT_EQ(UpgradeLegacyTiles("Old/"), 0);
  EXPECT_TRUE(program.shell.messages.empty());
}

}  // namespace
}  // namespace tesselor
