// tesselor-cli info and convert, run as a user runs them.
#include <gtest/gtest.h>

#include "imagelib/draw_dib_bmp.h"
#include "tests/imagelib/tool_images.h"
#include "tests/support/cli_command.h"

namespace tesselor {
namespace {

using testing::CliRun;
using testing::Quoted;
using testing::TempDir;

CliRun RunCli(const TempDir& dir, const std::string& arguments) {
  return testing::CliCommand{.outFile = dir.File("stdout.txt"), .errFile = dir.File("stderr.txt")}
      .Run(arguments);
}

bool HaveTools() {
  return testing::HaveProgram("cjpeg") && testing::HaveProgram("djpeg") &&
         testing::HaveProgram("convert");
}

// Pictures made by other programs from the test pattern.
std::string CjpegFile(const TempDir& dir, const std::string& options = "") {
  testing::WritePpm(dir.File("pattern.ppm"), testing::TestPattern(37, 23));
  const std::string path = dir.File("photo.jpg");
  testing::RunCommand("cjpeg " + options + " " + Quoted(dir.File("pattern.ppm")) + " > " +
                      Quoted(path));
  return path;
}

std::string MagickBmp(const TempDir& dir, const std::string& options) {
  testing::WritePpm(dir.File("pattern.ppm"), testing::TestPattern(37, 23));
  const std::string path = dir.File("picture.bmp");
  testing::RunCommand("convert " + Quoted(dir.File("pattern.ppm")) + " " + options +
                      " BMP3:" + Quoted(path));
  return path;
}

testing::RgbImage Djpeg(const std::string& path) {
  return testing::ParsePnm(
      testing::CaptureOutput("djpeg -dct float -nosmooth -pnm " + Quoted(path)));
}

TEST(CliInfo, PrintsFormatSizeAndDepth) {
  if (!HaveTools()) GTEST_SKIP() << "cjpeg, djpeg or ImageMagick is not installed";
  TempDir dir;
  const CliRun jpeg = RunCli(dir, "info " + Quoted(CjpegFile(dir)));
  EXPECT_EQ(jpeg.exitCode, 0) << jpeg.err;
  EXPECT_EQ(jpeg.out, "Format: JPEG\nWidth: 37\nHeight: 23\nDepth: 32\n");
  const CliRun grey = RunCli(dir, "info " + Quoted(CjpegFile(dir, "-grayscale")));
  EXPECT_EQ(grey.out, "Format: JPEG\nWidth: 37\nHeight: 23\nDepth: 8\n");
  const CliRun bmp = RunCli(dir, "info " + Quoted(MagickBmp(dir, "-type Palette -compress RLE")));
  EXPECT_EQ(bmp.out, "Format: Windows bitmap\nWidth: 37\nHeight: 23\nDepth: 8\n");
  if (!testing::HaveProgram("exiftool")) return;
  const std::string side = CjpegFile(dir);
  testing::RunCommand("exiftool -q -overwrite_original -n -Orientation=8 " + Quoted(side));
  EXPECT_EQ(RunCli(dir, "info " + Quoted(side)).out,
            "Format: JPEG\nWidth: 37\nHeight: 23\nDepth: 32\n"
            "Orientation: 8 (rotate 90 anticlockwise)\n");
}

TEST(CliInfo, ReportsUnreadableFilesAndBadUsage) {
  TempDir dir;
  testing::WriteFileBytes(dir.File("notes.jpg"), {'h', 'e', 'l', 'l', 'o'});
  const CliRun unknown = RunCli(dir, "info " + Quoted(dir.File("notes.jpg")));
  EXPECT_EQ(unknown.exitCode, 1);
  EXPECT_EQ(unknown.out, "");
  EXPECT_NE(unknown.err.find("Unknown file type."), std::string::npos) << unknown.err;
  const CliRun missing = RunCli(dir, "info " + Quoted(dir.File("missing.jpg")));
  EXPECT_EQ(missing.exitCode, 1);
  EXPECT_NE(missing.err.find(dir.File("missing.jpg")), std::string::npos) << missing.err;
  EXPECT_EQ(RunCli(dir, "info").exitCode, 2);
  EXPECT_EQ(RunCli(dir, "info a.jpg b.jpg").exitCode, 2);
  EXPECT_EQ(RunCli(dir, "info --bogus a.jpg").exitCode, 2);
  const CliRun help = RunCli(dir, "info --help");
  EXPECT_EQ(help.exitCode, 0);
  EXPECT_EQ(help.out.rfind("Usage: tesselor-cli info FILE", 0), 0u);
}

TEST(CliConvert, JpegFromCjpegToBmpKeepsDjpegsPixels) {
  if (!HaveTools()) GTEST_SKIP() << "cjpeg, djpeg or ImageMagick is not installed";
  TempDir dir;
  const std::string jpeg = CjpegFile(dir, "-progressive");
  const std::string bmp = dir.File("out.BMP");
  const CliRun run = RunCli(dir, "convert " + Quoted(jpeg) + " " + Quoted(bmp));
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(testing::ReadFileBytes(bmp)[28], 24);
  EXPECT_LE(testing::MaxDifference(testing::MagickRgb(bmp, 37, 23), Djpeg(jpeg)), 1);
}

TEST(CliConvert, BmpFromImageMagickToJpegStaysWithinJpegLoss) {
  if (!HaveTools()) GTEST_SKIP() << "cjpeg, djpeg or ImageMagick is not installed";
  TempDir dir;
  const std::string bmp = MagickBmp(dir, "");
  for (const char* name : {"out.jpg", "out.JPEG"}) {
    const std::string jpeg = dir.File(name);
    const CliRun run = RunCli(dir, "convert " + Quoted(bmp) + " " + Quoted(jpeg));
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const testing::RgbImage original = testing::MagickRgb(bmp, 37, 23);
    EXPECT_LT(testing::MeanDifference(Djpeg(jpeg), original), 8.0) << name;
  }
}

TEST(CliConvert, BmpFromImageMagickToPngAndTiffKeepsEveryPixel) {
  if (!HaveTools()) GTEST_SKIP() << "cjpeg, djpeg or ImageMagick is not installed";
  TempDir dir;
  const std::string bmp = MagickBmp(dir, "");
  for (const char* name : {"out.png", "out.Tif"}) {
    const CliRun run = RunCli(dir, "convert " + Quoted(bmp) + " " + Quoted(dir.File(name)));
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(testing::MagickRgb(dir.File(name), 37, 23).rgb, testing::MagickRgb(bmp, 37, 23).rgb)
        << name;
  }
  const CliRun unwritable =
      RunCli(dir, "convert " + Quoted(bmp) + " " + Quoted(dir.File("no/o.png")));
  EXPECT_EQ(unwritable.exitCode, 1);
  EXPECT_NE(unwritable.err.find("no/o.png"), std::string::npos) << unwritable.err;
}

TEST(CliConvert, RefusesOtherOutputsAndReportsFailures) {
  TempDir dir;
  CDrawDibBmp picture;
  picture.Create(4, 4, 32, false);
  picture.SaveAsBmp(dir.File("in.bmp"));
  const std::string in = Quoted(dir.File("in.bmp"));

  EXPECT_EQ(RunCli(dir, "convert " + in + " " + Quoted(dir.File("out.gif"))).exitCode, 2);
  EXPECT_EQ(RunCli(dir, "convert " + in + " " + Quoted(dir.File("jpg"))).exitCode, 2);
  EXPECT_EQ(RunCli(dir, "convert " + in).exitCode, 2);
  EXPECT_EQ(RunCli(dir, "convert --help").exitCode, 0);

  const CliRun unreadable =
      RunCli(dir, "convert " + Quoted(dir.File("missing.bmp")) + " " + Quoted(dir.File("o.jpg")));
  EXPECT_EQ(unreadable.exitCode, 1);
  EXPECT_NE(unreadable.err.find("missing.bmp"), std::string::npos) << unreadable.err;

  const CliRun unwritable = RunCli(dir, "convert " + in + " " + Quoted(dir.File("no/o.bmp")));
  EXPECT_EQ(unwritable.exitCode, 1);
  EXPECT_NE(unwritable.err.find("no/o.bmp"), std::string::npos) << unwritable.err;
  EXPECT_EQ(testing::ListNames(dir.Path()),
            (std::vector<std::string>{"in.bmp", "stderr.txt", "stdout.txt"}));
}

}  // namespace
}  // namespace tesselor
