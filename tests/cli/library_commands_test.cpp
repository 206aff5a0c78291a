// tesselor-cli libraries and library, run as a user runs them, on a program
// folder of their own (TESSELOR_HOME).
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstring>
#include <initializer_list>

#include "imagelib/any_pic_decoder.h"
#include "imagelib/draw_dib_bmp.h"
#include "imagelib/jpeg_encoder.h"
#include "platform/directory_listing.h"
#include "tests/support/cli_command.h"
#include "tests/support/test_support.h"

namespace tesselor {
namespace {

using testing::CliRun;
using testing::FileExists;
using testing::ListNames;
using testing::Quoted;
using testing::TempDir;

class CliLibraryTest : public ::testing::Test {
 protected:
  CliRun Run(const std::string& arguments) {
    return testing::CliCommand{.home = home.Path(),
                               .outFile = scratch.File("stdout.txt"),
                               .errFile = scratch.File("stderr.txt")}
        .Run(arguments);
  }

  // A folder of the program folder holding files named after themselves.
  std::string Library(const std::string& name, std::initializer_list<const char*> files = {}) {
    const std::string folder = home.File(name) + "/";
    mkdir(folder.c_str(), 0777);
    for (const char* file : files)
      testing::WriteFileBytes(folder + file, std::vector<uint8_t>(file, file + strlen(file)));
    return folder;
  }

  TempDir home;
  TempDir scratch;
};

TEST_F(CliLibraryTest, LibrariesAndListPrintNamesCountsAndTiles) {
  Library("Demo Tile Library", {"b.jpg", "a.jpg", "Photo.JPG"});
  Library("Birds", {"1.raw", "2.raw", "x.jpg"});
  Library("help");
  const CliRun libraries = Run("libraries");
  EXPECT_EQ(libraries.exitCode, 0) << libraries.err;
  EXPECT_EQ(libraries.out, "Birds\t3\nDemo Tile Library\t3\n");
  EXPECT_EQ(Run("library list").out, "a\nb\n");
  EXPECT_EQ(Run("library Birds list").out, "1\n2\nx\n");  // upgraded on the way
  // A legacy tile that cannot be converted (nothing goes over the folder
  // c.jpg) is reported, and the command fails.
  Library("Stuck", {"c.raw"});
  Library("Stuck/c.jpg");
  const CliRun stuck = Run("library Stuck list");
  EXPECT_EQ(stuck.exitCode, 1);
  EXPECT_NE(stuck.err.find("Stuck/c.jpg"), std::string::npos) << stuck.err;
  EXPECT_EQ(Run("library Nowhere list").exitCode, 1);
  EXPECT_EQ(Run("library help list").exitCode, 1);
}

TEST_F(CliLibraryTest, BadUsageExitsWithTwoAndHelpWithZero) {
  for (const char* arguments : {"libraries extra", "library", "library frob", "library list x",
                                "library delete", "library rename a b", "library list --fast"})
    EXPECT_EQ(Run(arguments).exitCode, 2) << arguments;
  EXPECT_EQ(Run("library --help").exitCode, 0);
  EXPECT_EQ(Run("libraries --help").exitCode, 0);
}

TEST_F(CliLibraryTest, ChangesNeedYesAndStayInsideTheLibrary) {
  const std::string library = Library("Demo Tile Library", {"a.jpg", "a0.jpg", "b.jpg"});
  testing::WriteFileBytes(home.File("outside.jpg"), {1});
  EXPECT_EQ(Run("library delete b").exitCode, 1);  // answered No
  EXPECT_EQ(Run("library delete --yes ../outside").exitCode, 1);
  const CliRun deleted = Run("library delete b --yes");
  EXPECT_EQ(deleted.exitCode, 0) << deleted.err;
  EXPECT_EQ(deleted.out, "Tiles in Library : 2\n");
  EXPECT_TRUE(FileExists(home.File("outside.jpg")));

  const CliRun taken = Run("library rename a --yes");
  EXPECT_EQ(taken.exitCode, 1);
  EXPECT_NE(taken.err.find("error: " + library + "a0.jpg"), std::string::npos) << taken.err;
  EXPECT_EQ(ListNames(library), (std::vector<std::string>{"a.jpg", "a0.jpg"}));
  EXPECT_EQ(Run("library rename trip --yes").exitCode, 0);
  EXPECT_EQ(ListNames(library), (std::vector<std::string>{"trip0.jpg", "trip1.jpg"}));

  EXPECT_EQ(Run("library create Birds").exitCode, 0);
  EXPECT_EQ(Run("library create Birds").exitCode, 1);
}

TEST_F(CliLibraryTest, AddMakesATileFromEachJpegPhotograph) {
  const std::string library = Library("Demo Tile Library");
  TempDir photos;
  for (const auto& [name, edge] :
       {std::pair("beach.JPG", 100), {"small.jpg", 32}, {"Summer.txt", 64}}) {
    CDrawDibBmp picture;
    testing::FillBitmap(picture, edge, edge, [](int x, int y) {
      return testing::Rgb{uint8_t(x), uint8_t(y), 128};
    });
    CJPEGEncoder().EncodeFile(photos.File(name), picture);
  }
  EXPECT_EQ(Run("library add " + Quoted(photos.Path())).exitCode, 1);  // answered No
  EXPECT_TRUE(ListNames(library).empty());

  const CliRun yes = Run("library add --yes " + Quoted(photos.Path()));
  EXPECT_EQ(yes.exitCode, 0) << yes.err;
  EXPECT_NE(yes.err.find("2 images found, shall I proceed"), std::string::npos);
  EXPECT_EQ(yes.out, "Tiles in Library : 1\n");
  ASSERT_EQ(ListNames(library), std::vector<std::string>{"beach.jpg"});
  CDrawDibBmp tile;
  CAnyPicDecoder().DecodeFile(library + "beach.jpg", tile, 32);
  EXPECT_EQ(tile.width, 64);
  EXPECT_EQ(tile.height, 64);

  EXPECT_EQ(Run("library add --yes " + Quoted(photos.File("missing"))).exitCode, 1);
}

// An installed copy, as a user without TESSELOR_HOME runs it: the program in
// <prefix>/bin, its libraries in <prefix>/share/tesselor, the user's own in
// their data folder.
TEST_F(CliLibraryTest, AnInstalledCopyReadsItsLibrariesAndMakesNewOnesInTheUsersFolder) {
  const std::string prefix = scratch.File("usr") + "/";
  ASSERT_TRUE(MakeFolderWithParents(prefix + "bin"));
  ASSERT_EQ(testing::RunCommand("cp " + Quoted(TESSELOR_CLI_PATH) + " " + Quoted(prefix + "bin/")),
            0);
  const std::string demo = prefix + "share/tesselor/Demo Tile Library/";
  ASSERT_TRUE(MakeFolderWithParents(demo));
  testing::WriteFileBytes(demo + "a.jpg", {1});
  const auto run = [&](const std::string& environment, const std::string& arguments) {
    return testing::RunCommand("cd / && env -u TESSELOR_HOME HOME=" + Quoted(home.Path()) + " " +
                               environment + " " + Quoted(prefix + "bin/tesselor-cli") + " " +
                               arguments + " >" + Quoted(scratch.File("out.txt")) + " 2>&1");
  };
  const auto output = [&] { return testing::ReadFileText(scratch.File("out.txt")); };

  EXPECT_EQ(run("XDG_DATA_HOME=", "libraries"), 0);
  EXPECT_EQ(output(), "Demo Tile Library\t1\n");
  EXPECT_EQ(run("XDG_DATA_HOME=", "library create Mine"), 0) << output();
  EXPECT_TRUE(IsFolder(home.Path() + ".local/share/tesselor/Mine"));
  EXPECT_EQ(run("XDG_DATA_HOME=" + Quoted(scratch.File("data")), "library create Birds"), 0);
  EXPECT_TRUE(IsFolder(scratch.File("data") + "/tesselor/Birds"));
  EXPECT_EQ(run("", "libraries"), 0);
  EXPECT_EQ(output(), "Mine\t0\nDemo Tile Library\t1\n");

  EXPECT_EQ(run("", "library delete a --yes"), 1);
  EXPECT_NE(output().find("was installed with Tesselor and cannot be changed"), std::string::npos)
      << output();
  EXPECT_TRUE(FileExists(demo + "a.jpg"));
  EXPECT_EQ(run("", "--version"), 0);
  EXPECT_EQ(output().rfind("tesselor-cli ", 0), 0u) << output();
}

}  // namespace
}  // namespace tesselor
