// tesselor-cli mosaic, run as a user runs it, on a program folder of its own.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <ctime>

#include "imagelib/any_pic_decoder.h"
#include "imagelib/draw_dib_bmp.h"
#include "tests/support/cli_command.h"
#include "tests/support/test_support.h"

namespace tesselor {
namespace {

using testing::FileExists;
using testing::ReadFileBytes;

// Read by content, so tiles may be bitmaps named .jpg.
void WritePicture(const std::string& path, int width, int height, int seed) {
  CDrawDibBmp picture;
  testing::FillBitmap(picture, width, height, [seed](int x, int y) {
    return testing::Rgb{uint8_t(x * 5 + seed * 40), uint8_t(y * 3 + seed * 70),
                        uint8_t((x ^ y) + seed * 20)};
  });
  picture.SaveAsBmp(path);
}

class CliMosaicTest : public ::testing::Test {
 protected:
  CliMosaicTest() {
    for (int i = 0; i < 6; ++i)
      WritePicture(Library("Demo Tile Library") + "t" + std::to_string(i) + ".jpg", 64, 64, i);
    WritePicture(work.File("photo.bmp"), 100, 60, 3);
  }

  std::string Library(const std::string& name) {
    mkdir(home.File(name).c_str(), 0777);
    return home.File(name) + "/";
  }

  // The command line that runs in the work folder with stderr in stderr.txt.
  std::string CommandLine(const std::string& arguments) {
    return testing::CliCommand{.home = home.Path(),
                               .folder = work.Path(),
                               .cache = cache.Path(),
                               .errFile = work.File("stderr.txt")}
        .Line("mosaic " + arguments);
  }
  void ReadErr() { err = testing::ReadFileText(work.File("stderr.txt")); }
  // Runs in the work folder; stderr ends up in err.
  int Run(const std::string& arguments) {
    const int code = testing::RunCommand(CommandLine(arguments));
    ReadErr();
    return code;
  }

  std::pair<int, int> SizeOf(const std::string& name) {
    CDrawDibBmp bmp;
    CAnyPicDecoder().DecodeFile(work.File(name), bmp, 32);
    return {bmp.width, bmp.height};
  }

  testing::TempDir home, work, cache;
  std::string err;
};

TEST_F(CliMosaicTest, TheSameBuildInTwoProcessesGivesTheSameBytes) {
  for (const std::string settings :
       {"", " --wizard 16 --random-placement", " --tile-size 8 --blend 29"}) {
    ASSERT_EQ(Run("photo.bmp -o a.jpg" + settings), 0) << err;
    ASSERT_EQ(Run("photo.bmp -o b.jpg" + settings), 0) << err;
    EXPECT_EQ(ReadFileBytes(work.File("a.jpg")), ReadFileBytes(work.File("b.jpg"))) << settings;
  }
}

TEST_F(CliMosaicTest, SizeFollowsMagnificationOrTheWantedWidthOrHeight) {
  ASSERT_EQ(Run("photo.bmp -o m.bmp --magnification 2 --tile-size 16 --accuracy high"), 0) << err;
  EXPECT_EQ(SizeOf("m.bmp"), (std::pair{200, 120}));
  ASSERT_EQ(Run("photo.bmp -o w.jpg --width 50"), 0) << err;  // never below the photograph
  EXPECT_EQ(SizeOf("w.jpg"), (std::pair{100, 60}));
  ASSERT_EQ(Run("photo.bmp -o h.jpg --height 150"), 0) << err;
  EXPECT_EQ(SizeOf("h.jpg"), (std::pair{250, 150}));
  // 113 / 100 x 100 falls just short of 113 in floating point.
  ASSERT_EQ(Run("photo.bmp -o exact.bmp --width 113"), 0) << err;
  EXPECT_EQ(SizeOf("exact.bmp").first, 113);
}

// PNG and TIFF mosaics are painted band by band straight into the file.
TEST_F(CliMosaicTest, StreamedPngAndTiffHoldTheMosaicOfTheBuildInMemory) {
  const std::string settings = " --magnification 2.5 --tile-size 12 --random-placement --blend 30";
  ASSERT_EQ(Run("photo.bmp -o memory.bmp" + settings), 0) << err;
  CDrawDibBmp memory;
  CAnyPicDecoder().DecodeFile(work.File("memory.bmp"), memory, 32);
  for (const std::string name : {"streamed.png", "streamed.tiff"}) {
    ASSERT_EQ(Run("photo.bmp -o " + name + settings), 0) << err;
    CDrawDibBmp streamed;
    CAnyPicDecoder().DecodeFile(work.File(name), streamed, 32);
    ASSERT_EQ(std::pair(streamed.width, streamed.height), std::pair(250, 150)) << name;
    for (int y = 0; y < 150; ++y)
      for (int x = 0; x < 250; ++x)
        ASSERT_EQ(testing::PixelAt(streamed, x, y), testing::PixelAt(memory, x, y))
            << name << " at " << x << ", " << y;
  }
}

TEST_F(CliMosaicTest, PrintSizeGivesTheLargestMosaicWithinThePrint) {
  // 3.81 x 2 cm at 100 dpi is 150 x 79 pixels; the height decides.
  ASSERT_EQ(Run("photo.bmp -o cm.bmp --print-size 3.81x2cm --dpi 100"), 0) << err;
  EXPECT_EQ(SizeOf("cm.bmp"), (std::pair{131, 79}));
  ASSERT_EQ(Run("photo.bmp -o in.bmp --print-size 1X1in --dpi 150"), 0) << err;
  EXPECT_EQ(SizeOf("in.bmp"), (std::pair{150, 90}));
  EXPECT_EQ(Run("photo.bmp -o big.bmp --print-size 600x60cm"), 2);
  EXPECT_NE(err.find("70866 x 7087 pixels at 300 dpi"), std::string::npos) << err;
}

TEST_F(CliMosaicTest, LibrariesByNameOrPathWithTheirMessages) {
  const std::string library = Library("Empty");
  EXPECT_EQ(Run("photo.bmp -o none.jpg --library Empty"), 1);
  EXPECT_NE(err.find("There are no tiles in the specified tile library directory\n"),
            std::string::npos)
      << err;
  EXPECT_FALSE(FileExists(work.File("none.jpg")));

  testing::WriteFileBytes(library + "bad.jpg", {'n', 'o'});
  WritePicture(library + "good.jpg", 64, 64, 1);
  EXPECT_EQ(Run("photo.bmp -o path.jpg --library '" + library + "'"), 0);
  EXPECT_NE(err.find("The following tile file is invalid:\n" + library + "bad.jpg"),
            std::string::npos)
      << err;
  EXPECT_TRUE(FileExists(work.File("path.jpg")));
}

TEST_F(CliMosaicTest, LegacyTilesAreUpgradedBeforeLoading) {
  const std::string library = Library("rawonly");
  for (const char* name : {"a.raw", "b.raw"})
    testing::WriteFileBytes(library + name, std::vector<uint8_t>(12288, 120));
  EXPECT_EQ(Run("photo.bmp -o raw.jpg --library rawonly"), 0) << err;
  EXPECT_EQ(testing::ListNames(library), (std::vector<std::string>{"a.jpg", "b.jpg"}));
}

TEST_F(CliMosaicTest, CachedBuildsGiveTheSameBytesAndNoCacheWritesNothing) {
  // Tiles an hour old: files changed in the last seconds are never cached.
  const std::string library = Library("Demo Tile Library");
  const timespec hourAgo[2] = {{time(nullptr) - 3600, 0}, {time(nullptr) - 3600, 0}};
  for (const std::string& name : testing::ListNames(library))
    ASSERT_EQ(utimensat(AT_FDCWD, (library + name).c_str(), hourAgo, 0), 0);
  ASSERT_EQ(Run("photo.bmp -o plain.bmp --no-cache"), 0) << err;
  EXPECT_TRUE(testing::ListNames(cache.Path()).empty());
  ASSERT_EQ(Run("photo.bmp -o first.bmp"), 0) << err;
  EXPECT_EQ(testing::ListNames(cache.File("tesselor")).size(), 1u);
  ASSERT_EQ(Run("photo.bmp -o cached.bmp"), 0) << err;
  EXPECT_EQ(ReadFileBytes(work.File("first.bmp")), ReadFileBytes(work.File("plain.bmp")));
  EXPECT_EQ(ReadFileBytes(work.File("cached.bmp")), ReadFileBytes(work.File("plain.bmp")));
  EXPECT_EQ(testing::ListNames(library).size(), 6u);
}

// The library loads with it as the working directory, so seeing the
// process there means Ctrl-C comes before any cell is painted.
TEST_F(CliMosaicTest, CtrlCWhileTilesLoadWritesNothingAndKeepsTheOldOutput) {
  const std::string library = Library("Big");
  for (int i = 0; i < 300; ++i) WritePicture(library + std::to_string(i) + ".jpg", 64, 64, i);
  const std::vector<uint8_t> old = {'o', 'l', 'd'};
  testing::WriteFileBytes(work.File("out.jpg"), old);
  testing::BackgroundCommand run(CommandLine("photo.bmp -o out.jpg --library Big"));
  const std::string cwd = "/proc/" + std::to_string(run.Pid()) + "/cwd";
  ASSERT_TRUE(run.InterruptWhen([&] {
    char target[4096] = {};
    return readlink(cwd.c_str(), target, sizeof target - 1) > 0 &&
           std::string(target) + "/" == library;
  }));
  EXPECT_EQ(run.Wait(), 1);
  ReadErr();
  EXPECT_NE(err.find("out.jpg was not written"), std::string::npos) << err;
  EXPECT_EQ(ReadFileBytes(work.File("out.jpg")), old);
  EXPECT_EQ(testing::ListNames(work.Path()),
            (std::vector<std::string>{"out.jpg", "photo.bmp", "stderr.txt"}));
}

// The photographs users have: other formats, and phone photos stored on their side.
TEST_F(CliMosaicTest, PhotographsBuildAsTheyAreShown) {
  if (!testing::HaveProgram("convert") || !testing::HaveProgram("exiftool"))
    GTEST_SKIP() << "ImageMagick or exiftool is not installed";
  ASSERT_EQ(testing::RunCommand("cd '" + work.Path() +
                                "' && convert photo.bmp side.jpg && exiftool -q "
                                "-overwrite_original -n -Orientation=6 side.jpg"),
            0);
  ASSERT_EQ(Run("side.jpg -o side-mosaic.jpg --tile-size 8"), 0) << err;
  EXPECT_EQ(SizeOf("side-mosaic.jpg"), (std::pair{60, 100}));

  if (!testing::HaveProgram("cwebp") || !testing::HaveProgram("heif-enc")) return;
  ASSERT_EQ(testing::RunCommand("cd '" + work.Path() +
                                "' && convert photo.bmp PNG24:p.png && convert p.png v5.bmp && "
                                "cwebp -quiet p.png -o p.webp && heif-enc -q 80 p.png -o p.heic "
                                ">/dev/null 2>&1"),
            0);
  for (const char* photo : {"v5.bmp", "p.webp", "p.heic"}) {
    ASSERT_EQ(Run(std::string(photo) + " -o m.jpg --tile-size 8"), 0) << photo << ": " << err;
    EXPECT_EQ(SizeOf("m.jpg"), (std::pair{100, 60})) << photo;
  }
}

// Six photos cannot keep 8 cells three apart: the record still has a tile for
// every cell, and the command says how many broke the rule.
TEST_F(CliMosaicTest, TheTileRecordListsEveryCellAndBrokenRulesAreCounted) {
  ASSERT_EQ(Run("photo.bmp -o m.jpg --tile-size 32 --min-distance 3 --metric lab "
                "--tiles-used 'm,1.csv'"),
            0)
      << err;
  const std::vector<uint8_t> bytes = ReadFileBytes(work.File("m,1.csv"));
  const std::string csv(bytes.begin(), bytes.end());
  EXPECT_EQ(csv.substr(0, csv.find('\n')), "x,y,width,height,tile,mirrored");
  EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 1 + 4 * 2) << csv;
  EXPECT_NE(csv.find("\n96,32,4,28,t"), std::string::npos) << csv;  // clipped at the corner
  EXPECT_NE(err.find(" 2 cells had to break the minimum distance"), std::string::npos) << err;
}

TEST_F(CliMosaicTest, RefusesBadUsageBeforeBuilding) {
  for (const char* arguments :
       {"photo.bmp", "-o x.jpg", "photo.bmp -o x.gif", "photo.bmp -o x.jpg --tile-size 30",
        "photo.bmp -o x.jpg --randomization 50", "photo.bmp -o x.jpg --wizard 16 --blend 5",
        "photo.bmp -o x.jpg --width 300 --magnification 2",
        "photo.bmp -o x.jpg --magnification 0.5", "photo.bmp -o x.jpg --print-size 90x60",
        "photo.bmp -o x.jpg --print-size 0x60cm", "photo.bmp -o x.jpg --print-size 9x6cm --dpi 0",
        "photo.bmp -o x.jpg --dpi 300", "photo.bmp -o x.jpg --print-size 9x6cm --width 200",
        "photo.bmp -o x.jpg --metric hsv", "photo.bmp -o x.jpg --min-distance 51"})
    EXPECT_EQ(Run(arguments), 2) << arguments;
  EXPECT_FALSE(FileExists(work.File("x.jpg")));
  EXPECT_EQ(Run("missing.bmp -o x.jpg"), 1);
}

}  // namespace
}  // namespace tesselor
