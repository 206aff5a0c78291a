#include "library/tile_operations.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/library/program_folder.h"

namespace tesselor {
namespace {

using ::testing::ElementsAre;
using ::testing::FieldsAre;
using ::testing::IsEmpty;
using testing::ListNames;
using testing::ProgramFolder;
using ::testing::StartsWith;

// Each file of folder with what it holds: the tests write every tile with
// its first name as content, so this shows where each tile went.
std::vector<std::string> Contents(const std::string& folder) {
  std::vector<std::string> contents;
  for (const std::string& name : ListNames(folder))
    contents.push_back(name + "=" + ProgramFolder::ReadText(folder + name));
  return contents;
}

TEST(ListManagerTiles, ListsLowerCaseJpgTilesSortedIgnoringCase) {
  ProgramFolder program;
  program.Folder("Lib", {"b.jpg", "C.jpg", "a.jpg", "a-b.jpg", "Photo.JPG", ".jpg", "..jpg",
                         "Summer.jpeg", "old.raw"});
  const TileList list = ListManagerTiles("Lib/");
  EXPECT_THAT(list.names, ElementsAre("a", "a-b", "b", "C"));
  EXPECT_EQ(list.firstFound, "a-b");  // listing order compares whole file names
  EXPECT_THAT(ListManagerTiles("Missing/").names, IsEmpty());
}

TEST(RefreshTileList, UpgradesLegacyTilesAndListsThemEvenWhenTheUpgradeStops) {
  ProgramFolder program;
  const std::string folder = program.Folder("Lib", {"b.jpg"});
  testing::WriteFileBytes(folder + "a.raw", std::vector<uint8_t>(12288, 0));
  // A legacy tile whose JPEG name is taken by a folder cannot be converted;
  // the folder is no tile either.
  testing::WriteFileBytes(folder + "x.raw", std::vector<uint8_t>(12288, 0));
  program.Folder("Lib/x.jpg", {"inside"});
  const TileList list = RefreshTileList("Lib/");
  EXPECT_THAT(list.names, ElementsAre("a", "b"));
  EXPECT_TRUE(list.upgradeFailed);
  ASSERT_EQ(program.shell.messages.size(), 2u);
  EXPECT_THAT(program.shell.messages[1],
              FieldsAre(StartsWith(folder + "x.jpg\n"), MessageStyle::kStop));
}

TEST(DeleteSelectedTiles, AsksWithTheCountAndDeletesOnlyOnYes) {
  ProgramFolder program;
  const std::string folder = program.Folder("Lib", {"a.jpg", "b.jpg", "c.jpg"});
  EXPECT_FALSE(DeleteSelectedTiles("Lib/", {}));
  EXPECT_FALSE(DeleteSelectedTiles("Lib/", {"a", "c", "gone"}));  // the script answers No
  EXPECT_EQ(ListNames(folder).size(), 3u);
  program.shell.answers = {MessageAnswer::kYes};
  EXPECT_TRUE(DeleteSelectedTiles("Lib/", {"a", "c", "gone"}));
  EXPECT_THAT(ListNames(folder), ElementsAre("b.jpg"));

  const auto question =
      FieldsAre("Are you sure you want to delete the 3 selected tiles?", MessageStyle::kQuestion);
  EXPECT_THAT(program.shell.messages,
              ElementsAre(FieldsAre("You must select the tiles you wish to deletete from the "
                                    "tile list",
                                    MessageStyle::kOk),
                          question, question));
}

class RenameAllTilesTest : public ::testing::Test {
 protected:
  RenameOutcome Rename(const std::vector<std::string>& list, const std::string& base) {
    program.shell.answers = {MessageAnswer::kYes};
    return RenameAllTiles("Lib/", list, base, bar);
  }

  ProgramFolder program;
  std::vector<std::string> events;
  ProgressBar bar{[this](int total) { events.push_back("show " + std::to_string(total)); },
                  [this] { events.push_back("step"); }, [this] { events.push_back("hide"); }};
};

TEST_F(RenameAllTilesTest, AsksThenNumbersTheTilesInListOrder) {
  const std::string folder = program.Folder("Lib", {"x.jpg", "y.jpg", "z.jpg"});
  program.shell.answers.clear();
  EXPECT_EQ(RenameAllTiles("Lib/", {"x", "y", "z"}, "trip", bar), RenameOutcome::kDeclined);
  EXPECT_EQ(ListNames(folder).size(), 3u);
  EXPECT_EQ(Rename({"x", "y", "z"}, "trip"), RenameOutcome::kRenamed);
  EXPECT_THAT(Contents(folder),
              ElementsAre("trip0.jpg=x.jpg", "trip1.jpg=y.jpg", "trip2.jpg=z.jpg"));
  EXPECT_EQ(program.shell.messages[0].text,
            "Rename all the tiles in the library with the following format? :\n\ntrip####.jpg");
  EXPECT_THAT(events, ElementsAre("show 3", "step", "step", "step", "hide"));
}

TEST_F(RenameAllTilesTest, AcceptsFifteenCharactersAndRefusesSixteen) {
  const std::string folder = program.Folder("Lib", {"x.jpg"});
  EXPECT_EQ(Rename({"x"}, "abcdefghijklmnop"), RenameOutcome::kRefused);
  EXPECT_THAT(
      program.shell.messages,
      ElementsAre(FieldsAre("Filename too long, the maximum length allowed is 15 characters",
                            MessageStyle::kOk)));
  EXPECT_EQ(Rename({"x"}, "abcdefghijklmno"), RenameOutcome::kRenamed);
  EXPECT_THAT(ListNames(folder), ElementsAre("abcdefghijklmno0.jpg"));
  // Characters, not bytes: fifteen accented letters are still fifteen.
  EXPECT_EQ(Rename({"abcdefghijklmno0"}, "ééééééééééééééé"), RenameOutcome::kRenamed);
}

TEST_F(RenameAllTilesTest, ATakenNameStopsWithAFileErrorAndLosesNothing) {
  const std::string folder = program.Folder("Lib", {"a.jpg", "a0.jpg"});
  EXPECT_EQ(Rename({"a", "a0"}, "a"), RenameOutcome::kFailed);
  EXPECT_THAT(Contents(folder), ElementsAre("a.jpg=a.jpg", "a0.jpg=a0.jpg"));
  EXPECT_THAT(program.shell.messages.back(),
              FieldsAre(StartsWith(folder + "a0.jpg\n"), MessageStyle::kStop));
  EXPECT_THAT(events, ElementsAre("show 2", "hide"));
}

TEST_F(RenameAllTilesTest, TilesBeforeAFailureKeepTheirNewNames) {
  const std::string folder = program.Folder("Lib", {"a.jpg", "b.jpg", "t1.jpg"});
  EXPECT_EQ(Rename({"a", "b", "t1"}, "t"), RenameOutcome::kFailed);
  EXPECT_THAT(Contents(folder), ElementsAre("b.jpg=b.jpg", "t0.jpg=a.jpg", "t1.jpg=t1.jpg"));
}

TEST_F(RenameAllTilesTest, ATileThatAlreadyHasItsNameKeepsIt) {
  const std::string folder = program.Folder("Lib", {"t0.jpg", "t1.jpg"});
  EXPECT_EQ(Rename({"t0", "t1"}, "t"), RenameOutcome::kRenamed);
  EXPECT_THAT(Contents(folder), ElementsAre("t0.jpg=t0.jpg", "t1.jpg=t1.jpg"));
}

TEST_F(RenameAllTilesTest, ASlashInTheBaseCannotMoveTilesOutOfTheLibrary) {
  const std::string folder = program.Folder("Lib", {"x.jpg"});
  EXPECT_EQ(Rename({"x"}, "../x"), RenameOutcome::kFailed);
  EXPECT_THAT(ListNames(folder), ElementsAre("x.jpg"));
  EXPECT_THAT(ListNames(program.Path()), ElementsAre("Lib"));
}

TEST(CreateNewLibrary, MakesAnEmptyCurrentLibraryOrSaysWhyNot) {
  ProgramFolder program;
  ASSERT_TRUE(CreateNewLibrary("Birds"));
  EXPECT_EQ(Paths().currentLibrary, "Birds/");
  EXPECT_THAT(ListNames(program.Path() + "Birds"), IsEmpty());
  EXPECT_THAT(program.shell.messages, IsEmpty());

  Paths().currentLibrary = "Demo Tile Library/";
  for (const char* name : {"Birds", "", "Birds/Nested", "../Outside"}) {
    EXPECT_FALSE(CreateNewLibrary(name)) << name;
    EXPECT_EQ(program.shell.messages.back().text,
              std::string("Unable to create the directory:\n") + name);
  }
  EXPECT_EQ(Paths().currentLibrary, "Demo Tile Library/");
  EXPECT_THAT(ListNames(program.Path()), ElementsAre("Birds"));
}

}  // namespace
}  // namespace tesselor
