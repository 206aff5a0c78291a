#include "library/legacy_upgrade.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "imagelib/any_pic_decoder.h"
#include "library/tile_files.h"
#include "platform/file_error.h"
#include "tests/library/program_folder.h"

namespace tesselor {
namespace {

using testing::ProgramFolder;

// A legacy file whose bytes are 255 where lit(channel, offset in the plane) says so.
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
  return testing::PixelAt(bmp, x, y);
}

TEST(UpgradeLegacyTiles, ConvertsEveryRawTileSayingSoOnce) {
  ProgramFolder program;
  const std::string library = program.Folder("Old", {"b.jpg", "UP.RAW"});
  WriteLegacyTile(library + "a.raw", [](int channel, int) { return channel == kRed; });
  // The first 64 bytes of each plane are the bottom row.
  WriteLegacyTile(library + "c.raw", [](int, int offset) { return offset < 64; });
  WriteLegacyTile(
      library + "short.raw", [](int, int) { return true; }, 100);
  EXPECT_EQ(UpgradeLegacyTiles("Old/"), 3);
  EXPECT_EQ(testing::ListNames(library),
            (std::vector<std::string>{"UP.RAW", "a.jpg", "b.jpg", "c.jpg", "short.jpg"}));
  ASSERT_EQ(program.shell.messages.size(), 1u);
  EXPECT_EQ(program.shell.messages[0].text,
            "Tiles from an older version of Tesselor have been detected. These will be updated "
            "automatically.\nThis may take some time for large tile libraries.");
  EXPECT_EQ(program.shell.messages[0].style, MessageStyle::kExclamation);

  EXPECT_GT(Decoded(library + "a.jpg", 20, 30).r, 245);
  EXPECT_LT(Decoded(library + "a.jpg", 20, 30).g, 10);
  EXPECT_GT(Decoded(library + "c.jpg", 10, 63).g, 200);
  EXPECT_LT(Decoded(library + "c.jpg", 10, 40).g, 20);
  EXPECT_LT(Decoded(library + "short.jpg", 30, 30).r, 20);  // missing bytes are black
  EXPECT_EQ(ProgramFolder::ReadText(library + "b.jpg"), "b.jpg");
}

TEST(UpgradeLegacyTiles, PipeNamedLikeALegacyTileIsLeftAlone) {
  ProgramFolder program;
  const std::string library = program.Folder("Old");
  testing::MakeIdlePipe(library + "p.raw");
  int converted = -1;
  EXPECT_TRUE(testing::FinishesBesideIdlePipe(library + "p.raw",
                                              [&] { converted = UpgradeLegacyTiles("Old/"); }));
  EXPECT_EQ(converted, 0);
  EXPECT_EQ(testing::ListNames(library), (std::vector<std::string>{"p.raw"}));
}

TEST(UpgradeLegacyTiles, KeepsTheRawFileWhenItsJpegCannotBeWritten) {
  ProgramFolder program;
  const std::string library = program.Folder("Old");
  WriteLegacyTile(library + "d.raw", [](int, int) { return true; });
  mkdir((library + "d.jpg").c_str(), 0777);  // nothing can be renamed over a folder
  try {
    UpgradeLegacyTiles("Old/");
    ADD_FAILURE() << "no FileError";
  } catch (const FileError& error) {
    EXPECT_EQ(error.Path(), library + "d.jpg");
  }
  EXPECT_TRUE(testing::FileExists(library + "d.raw"));
}

}  // namespace
}  // namespace tesselor
