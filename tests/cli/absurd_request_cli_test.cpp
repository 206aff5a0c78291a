// tesselor-cli mosaic asked for far more than one build can hold: it must
// fail at once with its message, never build or crash.
#include <gtest/gtest.h>

#include <chrono>

#include "imagelib/draw_dib_bmp.h"
#include "tests/support/byte_writing.h"
#include "tests/support/cli_command.h"
#include "tests/support/test_support.h"

namespace tesselor {
namespace {

using Clock = std::chrono::steady_clock;

class CliAbsurdRequest : public ::testing::Test {
 protected:
  // Runs in the work folder on an empty program folder; stderr ends up in err.
  int Run(const std::string& arguments) {
    const Clock::time_point start = Clock::now();
    const testing::CliRun run =
        testing::CliCommand{
            .home = home.Path(), .folder = work.Path(), .errFile = work.File("stderr.txt")}
            .Run("mosaic " + arguments);
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(5)) << arguments;
    err = run.err;
    return run.exitCode;
  }

  testing::TempDir home, work;
  std::string err;
};

TEST_F(CliAbsurdRequest, FailsAtOnceWithItsMessage) {
  // Sizes no picture may have are refused as such, not as a want of memory.
  const std::string tooLarge = "pixels is larger than a picture";
  // A wanted width of 65535 on a photograph one pixel wide makes it 65535
  // times taller: 2.6 billion lines, more than an int can count.
  CDrawDibBmp photo;
  testing::FillBitmap(photo, 1, 40000, [](int, int y) { return testing::Rgb{uint8_t(y), 0, 0}; });
  photo.SaveAsBmp(work.File("tall.bmp"));
  for (const char* output : {"out.jpg", "out.png"}) {
    EXPECT_EQ(Run(std::string("tall.bmp -o ") + output + " --width 65535"), 1);
    EXPECT_NE(err.find("a mosaic of 65535 x 2621400000 " + tooLarge), std::string::npos) << err;
  }

  // Within the largest width and height, but 17 GB of pixels: too much for
  // memory, and the message names the way out.
  testing::FillBitmap(photo, 300, 300, [](int x, int) { return testing::Rgb{uint8_t(x), 0, 0}; });
  photo.SaveAsBmp(work.File("square.bmp"));
  EXPECT_EQ(Run("square.bmp -o out.jpg --magnification 218"), 1);
  EXPECT_NE(err.find(tooLarge + " held in memory"), std::string::npos) << err;
  EXPECT_NE(err.find(".tif"), std::string::npos) << err;

  // A photograph whose header claims 60000 x 60000 pixels it does not have.
  std::vector<uint8_t> header = testing::ReadFileBytes(work.File("square.bmp"));
  for (const size_t field : {18, 22}) testing::SetLittleEndian32(header, field, 60000);
  testing::WriteFileBytes(work.File("huge.bmp"), header);
  EXPECT_EQ(Run("huge.bmp -o out.jpg"), 1);
  EXPECT_NE(err.find("60000 x 60000"), std::string::npos) << err;
  EXPECT_EQ(err.find("\n\n"), std::string::npos) << err;  // no blank line after the reason

  EXPECT_FALSE(testing::FileExists(work.File("out.jpg")));
}

}  // namespace
}  // namespace tesselor
