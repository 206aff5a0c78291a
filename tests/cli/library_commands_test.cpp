// tesselor-cli libraries and library, run as a user runs them, on a program
// folder of their own (TESSELOR_HOME).
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstring>
#include <initializer_list>

#include "imagelib/any_pic_decoder.h"
#include "imagelib/draw_dib_bmp.h"
#include "imagelib/jpeg_encoder.h"
#include "tests/support/test_support.h"

namespace tesselor {
namespace {

using testing::FileExists;
using testing::ListNames;
using testing::TempDir;

struct CliRun {
  int exitCode;
  std::string out;
  std::string err;
};

std::string Quoted(const std::string& word) {
  return "'" + word + "'";
}

std::string Text(const std::string& path) {
  const std::vector<uint8_t> bytes = testing::ReadFileBytes(path);
  return {bytes.begin(), bytes.end()};
}

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

class CliLibraryTest : public ::testing::Test {
 protected:
  CliRun Run(const std::string& arguments) {
    const std::string out = scratch.File("stdout.txt"), err = scratch.File("stderr.txt");
    const int code = testing::RunCommand("TESSELOR_HOME=" + Quoted(home.Path()) + " " +
                                         Quoted(TESSELOR_CLI_PATH) + " " + arguments + " >" +
                                         Quoted(out) + " 2>" + Quoted(err) + " </dev/null");
    return {code, Text(out), Text(err)};
  }

  // A folder of the program folder holding files named after themselves.
  std::string Library(const std::string& name, std::initializer_list<const char*> files = {}) {
    const std::string folder = home.File(name) + "/";
    mkdir(folder.c_str(), 0777);
    for (const char* file : files)
      testing::WriteFileBytes(folder + file, std::vector<uint8_t>(file, file + strlen(file)));
    return folder;
  }

  static void WritePhoto(const std::string& path, int width, int height) {
    CDrawDibBmp picture;
    testing::FillBitmap(picture, width, height, [](int x, int y) {
      return testing::Rgb{uint8_t(x * 3), uint8_t(y * 3), 128};
    });
    CJPEGEncoder().EncodeFile(path, picture);
  }

  TempDir home;
  TempDir scratch;
};

TEST_F(CliLibraryTest, LibrariesListsNamesAndCountsWithoutHelp) {
  Library("Demo Tile Library", {"a.jpg", "b.jpg"});
  const std::string birds = Library("Birds", {"1.raw", "2.raw", "3.raw", "x.jpg", "y.jpg"});
  Library("help");
  Library("Help2");
  const CliRun run = Run("libraries");
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.out, "Birds\t5\nDemo Tile Library\t2\nHelp2\t0\n");
  EXPECT_EQ(ListNames(birds).size(), 5u);  // counting upgrades nothing

  EXPECT_EQ(Run("libraries extra").exitCode, 2);
  const CliRun help = Run("libraries --help");
  EXPECT_EQ(help.exitCode, 0);
  EXPECT_TRUE(Contains(help.out, "Usage: tesselor-cli libraries"));
}

TEST_F(CliLibraryTest, ListPrintsTheSortedTilesOfTheChosenLibrary) {
  Library("Demo Tile Library", {"b.jpg", "a.jpg", "Photo.JPG"});
  Library("Birds", {"z.jpg"});
  EXPECT_EQ(Run("library list").out, "a\nb\n");
  EXPECT_EQ(Run("library Birds list").out, "z\n");
  TempDir elsewhere;
  mkdir(elsewhere.File("Mine").c_str(), 0777);
  testing::WriteFileBytes(elsewhere.File("Mine/m.jpg"), {1});
  const CliRun path = Run("library " + Quoted(elsewhere.File("Mine")) + " list");
  EXPECT_EQ(path.exitCode, 0) << path.err;
  EXPECT_EQ(path.out, "m\n");
}

TEST_F(CliLibraryTest, MissingLibrariesAndTheHelpFolderAreRefused) {
  Library("help", {"Introduction.jpg"});
  for (const char* name : {"Nowhere", "help"}) {
    const CliRun run = Run(std::string("library ") + name + " list");
    EXPECT_EQ(run.exitCode, 1) << name;
    EXPECT_EQ(run.out, "");
  }
}

TEST_F(CliLibraryTest, BadUsageExitsWithTwo) {
  Library("Demo Tile Library");
  for (const char* arguments : {"library", "library frob", "library Birds frob", "library list x",
                                "library delete", "library rename", "library rename a b",
                                "library add", "library list --fast", "library create"}) {
    const CliRun run = Run(arguments);
    EXPECT_EQ(run.exitCode, 2) << arguments;
    EXPECT_TRUE(Contains(run.err, "--help")) << arguments;
  }
  const CliRun help = Run("library --help");
  EXPECT_EQ(help.exitCode, 0);
  EXPECT_TRUE(Contains(help.out, "rename BASE"));
}

TEST_F(CliLibraryTest, DeleteAsksAndTakesOnlyTilesOfTheList) {
  const std::string library = Library("Demo Tile Library", {"a.jpg", "b.jpg", "c.jpg"});
  testing::WriteFileBytes(home.File("outside.jpg"), {1});

  const CliRun no = Run("library delete a b");
  EXPECT_EQ(no.exitCode, 1);
  EXPECT_TRUE(Contains(no.err, "Are you sure you want to delete the 2 selected tiles?"));
  EXPECT_EQ(ListNames(library).size(), 3u);

  const CliRun yes = Run("library delete a b --yes");
  EXPECT_EQ(yes.exitCode, 0) << yes.err;
  EXPECT_EQ(yes.out, "Tiles in Library : 1\n");
  EXPECT_EQ(ListNames(library), std::vector<std::string>{"c.jpg"});

  for (const char* tile : {"../outside", "missing"}) {
    const CliRun refused = Run(std::string("library delete --yes ") + tile);
    EXPECT_EQ(refused.exitCode, 1) << tile;
    EXPECT_FALSE(Contains(refused.err, "Are you sure")) << tile;
  }
  EXPECT_TRUE(FileExists(home.File("outside.jpg")));
}

TEST_F(CliLibraryTest, RenameNumbersTilesAndNeverReplacesOne) {
  const std::string library = Library("Demo Tile Library", {"a.jpg", "a0.jpg"});
  const CliRun taken = Run("library rename a --yes");
  EXPECT_EQ(taken.exitCode, 1);
  EXPECT_TRUE(Contains(taken.err, "error: " + library + "a0.jpg")) << taken.err;
  EXPECT_EQ(Text(library + "a.jpg"), "a.jpg");
  EXPECT_EQ(Text(library + "a0.jpg"), "a0.jpg");

  const CliRun tooLong = Run("library rename abcdefghijklmnop --yes");
  EXPECT_EQ(tooLong.exitCode, 1);
  EXPECT_TRUE(Contains(tooLong.err, "Filename too long"));

  EXPECT_EQ(Run("library rename trip").exitCode, 1);  // answered No
  const CliRun renamed = Run("library rename trip --yes");
  EXPECT_EQ(renamed.exitCode, 0) << renamed.err;
  EXPECT_EQ(ListNames(library), (std::vector<std::string>{"trip0.jpg", "trip1.jpg"}));
  EXPECT_EQ(Text(library + "trip1.jpg"), "a0.jpg");
}

TEST_F(CliLibraryTest, CreateMakesANewLibraryOnce) {
  const CliRun created = Run("library create Birds");
  EXPECT_EQ(created.exitCode, 0) << created.err;
  EXPECT_TRUE(FileExists(home.File("Birds")));
  const CliRun again = Run("library create Birds");
  EXPECT_EQ(again.exitCode, 1);
  EXPECT_TRUE(Contains(again.err, "Unable to create the directory:\nBirds"));
  EXPECT_EQ(Run("library create ../Outside").exitCode, 1);
}

TEST_F(CliLibraryTest, AddMakesATileFromEachJpegPhotograph) {
  const std::string library = Library("Demo Tile Library");
  TempDir photos;
  WritePhoto(photos.File("beach.JPG"), 100, 80);
  WritePhoto(photos.File("small.jpg"), 32, 32);    // too small: skipped
  WritePhoto(photos.File("Summer.JPEG"), 64, 64);  // not a "*.jpg" name

  const CliRun no = Run("library add " + Quoted(photos.Path()));
  EXPECT_EQ(no.exitCode, 1);
  EXPECT_TRUE(Contains(no.err, "2 images found, shall I proceed to make tiles from these images?"));
  EXPECT_TRUE(ListNames(library).empty());

  const CliRun yes = Run("library add --yes " + Quoted(photos.Path()));
  EXPECT_EQ(yes.exitCode, 0) << yes.err;
  EXPECT_EQ(yes.out, "Tiles in Library : 1\n");
  ASSERT_EQ(ListNames(library), std::vector<std::string>{"beach.jpg"});
  CDrawDibBmp tile;
  CAnyPicDecoder().DecodeFile(library + "beach.jpg", tile, 32);
  EXPECT_EQ(tile.width, 64);
  EXPECT_EQ(tile.height, 64);

  const CliRun again = Run("library add --yes " + Quoted(photos.Path()));
  EXPECT_EQ(again.exitCode, 0) << again.err;
  EXPECT_EQ(ListNames(library).size(), 1u);
}

TEST_F(CliLibraryTest, AddWithoutPhotographsOrFolderFails) {
  Library("Demo Tile Library");
  TempDir empty;
  const CliRun none = Run("library add --yes " + Quoted(empty.Path()));
  EXPECT_EQ(none.exitCode, 1);
  EXPECT_TRUE(Contains(none.err, "No images found!"));
  EXPECT_EQ(Run("library add --yes " + Quoted(empty.File("missing"))).exitCode, 1);
}

}  // namespace
}  // namespace tesselor
