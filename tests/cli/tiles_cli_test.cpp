// tesselor-cli tiles, run as a user runs it, on a program folder of its own.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "imagelib/any_pic_decoder.h"
#include "imagelib/draw_dib_bmp.h"
#include "tests/support/cli_command.h"
#include "tests/support/test_support.h"

namespace tesselor {
namespace {

class CliTilesTest : public ::testing::Test {
 protected:
  CliTilesTest() { mkdir(photos.c_str(), 0777); }

  // Read by content, so a bitmap named .jpg is a photograph.
  void WritePhoto(const std::string& name, int width, int height) {
    CDrawDibBmp picture;
    testing::FillBitmap(picture, width, height, [](int x, int y) {
      return testing::Rgb{uint8_t(x), uint8_t(y), 90};
    });
    picture.SaveAsBmp(photos + name);
  }

  std::string CommandLine(const std::string& arguments) {
    return testing::CliCommand{.home = home.Path(), .outFile = home.File("stdout.txt")}.Line(
        "tiles " + arguments);
  }
  void ReadOut() { out = testing::ReadFileText(home.File("stdout.txt")); }
  // Runs with the photographs folder and arguments; the summary line ends up in out.
  int Run(const std::string& arguments) {
    const int code = testing::RunCommand(CommandLine(arguments));
    ReadOut();
    return code;
  }

  testing::TempDir home;
  std::string photos = home.File("photos/"), out;
};

TEST_F(CliTilesTest, MakesOneTilePerPhotographAndSkipsTakenNames) {
  EXPECT_EQ(Run(photos), 1);  // no photographs yet
  WritePhoto("Beach.JPG", 100, 80);
  WritePhoto("narrow.jpg", 63, 1000);
  WritePhoto("other.txt", 100, 80);  // a picture, but not named like one
  ASSERT_EQ(Run(photos + " --library New"), 0);
  EXPECT_EQ(out.rfind("1 tiles made, 1 skipped", 0), 0u) << out;
  EXPECT_EQ(testing::ListNames(home.File("New")), std::vector<std::string>{"Beach.jpg"});
  ASSERT_EQ(Run(photos + " --library New"), 0);
  EXPECT_EQ(out.rfind("0 tiles made, 2 skipped", 0), 0u) << out;
}

TEST_F(CliTilesTest, PhotographsOfTodaysFormatsBecomeTiles) {
  if (!testing::HaveProgram("convert") || !testing::HaveProgram("cwebp") ||
      !testing::HaveProgram("heif-enc"))
    GTEST_SKIP() << "ImageMagick, cwebp or heif-enc is not installed";
  ASSERT_EQ(testing::RunCommand("cd '" + photos +
                                "' && convert -size 96x80 gradient:red-blue PNG24:a.png && "
                                "cwebp -quiet a.png -o b.WEBP && heif-enc -q 80 a.png -o c.heic "
                                ">/dev/null 2>&1"),
            0);
  ASSERT_EQ(Run(photos + " --library Today"), 0) << out;
  EXPECT_EQ(out.rfind("3 tiles made, 0 skipped", 0), 0u) << out;
  EXPECT_EQ(testing::ListNames(home.File("Today")),
            (std::vector<std::string>{"a.jpg", "b.jpg", "c.jpg"}));
}

TEST_F(CliTilesTest, PhotographsStoredOnTheirSideMakeUprightTiles) {
  if (!testing::HaveProgram("convert") || !testing::HaveProgram("exiftool"))
    GTEST_SKIP() << "ImageMagick or exiftool is not installed";
  // Red left, blue right, as stored; shown turned a quarter clockwise, red is on top.
  ASSERT_EQ(testing::RunCommand("cd '" + photos +
                                "' && convert -size 64x64 xc:red xc:blue +append side.jpg && "
                                "exiftool -q -overwrite_original -n -Orientation=6 side.jpg"),
            0);
  ASSERT_EQ(Run(photos + " --library Side"), 0) << out;
  CDrawDibBmp tile;
  CAnyPicDecoder().DecodeFile(home.File("Side/side.jpg"), tile, 32);
  const testing::Rgb top = testing::PixelAt(tile, 32, 8), bottom = testing::PixelAt(tile, 32, 56);
  EXPECT_GT(top.r, 200);
  EXPECT_LT(top.b, 50);
  EXPECT_GT(bottom.b, 200);
  EXPECT_LT(bottom.r, 50);
}

TEST_F(CliTilesTest, CropsMakeTilesAtEveryScaleAboveSixtyFourPixels) {
  // 300 x 200: one square of 200, 3 x 2 of 100, 4 x 3 of 66; squares of 50 are too small.
  WritePhoto("wide.jpg", 300, 200);
  const std::string library = home.File("sub/Crops");
  ASSERT_EQ(Run(photos + " --crops --library " + library), 0);
  EXPECT_EQ(out.rfind("19 tiles made, 0 skipped", 0), 0u) << out;
  const std::vector<std::string> names = testing::ListNames(library);
  ASSERT_EQ(names.size(), 19u);
  EXPECT_EQ(names.front(), "wide-s1-0.jpg");
  EXPECT_EQ(names.back(), "wide-s3-9.jpg");
}

TEST_F(CliTilesTest, CtrlCStopsAfterTheTileInHandAndSaysHowManyWereMade) {
  for (int i = 0; i < 40; ++i) WritePhoto("p" + std::to_string(i) + ".jpg", 256, 256);
  const std::string library = home.File("Lib");
  testing::BackgroundCommand run(CommandLine(photos + " --library Lib"));
  // As soon as the first tile is being written, its temporary file included.
  ASSERT_TRUE(run.InterruptWhen([&] { return !testing::ListNames(library).empty(); }));
  EXPECT_EQ(run.Wait(), 1);
  ReadOut();
  const std::vector<std::string> names = testing::ListNames(library);
  EXPECT_LT(names.size(), 40u);
  for (const std::string& name : names) EXPECT_EQ(name.find(".tesselor-"), std::string::npos);
  EXPECT_EQ(out.rfind(std::to_string(names.size()) + " tiles made", 0), 0u) << out;
}

}  // namespace
}  // namespace tesselor
