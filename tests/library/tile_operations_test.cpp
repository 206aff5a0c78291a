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

constexpr const char* kTooLong = "Filename too long, the maximum length allowed is 15 characters";

// What each file of folder holds: the tests write every tile with its first
// name as content, so this shows where each tile went.
std::vector<std::string> Contents(const std::string& folder) {
  std::vector<std::string> contents;
  for (const std::string& name : ListNames(folder))
    contents.push_back(name + "=" + ProgramFolder::ReadText(folder + name));
  return contents;
}

TEST(ListManagerTiles, ListsLowerCaseJpgTilesSortedIgnoringCase) {
  ProgramFolder program;
  program.Folder("Lib", {"b.jpg", "C.jpg", "a.jpg", "a-b.jpg", "Photo.JPG", "x.Jpg", ".jpg",
                         "..jpg", "Summer.jpeg", "old.raw"});
  const TileList list = ListManagerTiles("Lib/");
  EXPECT_THAT(list.names, ElementsAre("a", "a-b", "b", "C"));
  // Listing order compares whole file names, where "a-b.jpg" comes first.
  EXPECT_EQ(list.firstFound, "a-b");
}

TEST(ListManagerTiles, EmptyAndMissingLibrariesListNothing) {
  ProgramFolder program;
  program.Folder("Empty");
  for (const char* library : {"Empty/", "Missing/"}) {
    const TileList list = ListManagerTiles(library);
    EXPECT_THAT(list.names, IsEmpty());
    EXPECT_EQ(list.firstFound, "");
  }
  EXPECT_EQ(TileCountText(0), "Tiles in Library : 0");
}

TEST(DeleteSelectedTiles, NothingSelectedIsRefusedWithoutAQuestion) {
  ProgramFolder program;
  EXPECT_FALSE(DeleteSelectedTiles("Lib/", {}));
  EXPECT_THAT(
      program.shell.messages,
      ElementsAre(FieldsAre("You must select the tiles you wish to deletete from the tile list",
                            MessageStyle::kOk)));
}

TEST(DeleteSelectedTiles, AsksWithTheCountAndDeletesOnlyOnYes) {
  ProgramFolder program;
  const std::string folder = program.Folder("Lib", {"a.jpg", "b.jpg", "c.jpg", "d.jpg"});
  const std::vector<std::string> selected = {"a", "c", "d"};

  EXPECT_FALSE(DeleteSelectedTiles("Lib/", selected));  // the script answers No
  EXPECT_EQ(ListNames(folder).size(), 4u);

  program.shell.answers = {MessageAnswer::kYes};
  EXPECT_TRUE(DeleteSelectedTiles("Lib/", selected));
  EXPECT_THAT(ListNames(folder), ElementsAre("b.jpg"));
  const auto question =
      FieldsAre("Are you sure you want to delete the 3 selected tiles?", MessageStyle::kQuestion);
  EXPECT_THAT(program.shell.messages, ElementsAre(question, question));
}

TEST(DeleteSelectedTiles, AFileAlreadyGoneIsNoError) {
  ProgramFolder program;
  const std::string folder = program.Folder("Lib", {"a.jpg"});
  program.shell.answers = {MessageAnswer::kYes};
  EXPECT_TRUE(DeleteSelectedTiles("Lib/", {"a", "gone"}));
  EXPECT_THAT(ListNames(folder), IsEmpty());
  EXPECT_EQ(program.shell.messages.size(), 1u);  // only the question
}

class RenameAllTilesTest : public ::testing::Test {
 protected:
  RenameOutcome Rename(const std::vector<std::string>& list, const std::string& base) {
    program.shell.answers = {MessageAnswer::kYes};
    return RenameAllTiles("Lib/", list, base, bar);
  }

  ProgramFolder program;
  int shown = -1, steps = 0, hidden = 0;
  ProgressBar bar{[this](int total) { shown = total; }, [this] { ++steps; }, [this] { ++hidden; }};
};

TEST_F(RenameAllTilesTest, NumbersTheTilesInListOrder) {
  const std::string folder = program.Folder("Lib", {"x.jpg", "y.jpg", "z.jpg", "w.raw"});
  EXPECT_EQ(Rename({"x", "y", "z"}, "trip"), RenameOutcome::kRenamed);
  EXPECT_THAT(Contents(folder),
              ElementsAre("trip0.jpg=x.jpg", "trip1.jpg=y.jpg", "trip2.jpg=z.jpg", "w.raw=w.raw"));
  EXPECT_THAT(program.shell.messages,
              ElementsAre(FieldsAre("Rename all the tiles in the library with the following "
                                    "format? :\n\ntrip####.jpg",
                                    MessageStyle::kQuestion)));
  EXPECT_EQ(shown, 3);
  EXPECT_EQ(steps, 3);
  EXPECT_EQ(hidden, 1);
}

TEST_F(RenameAllTilesTest, AcceptsFifteenCharactersAndRefusesSixteen) {
  const std::string folder = program.Folder("Lib", {"x.jpg"});
  EXPECT_EQ(Rename({"x"}, "abcdefghijklmnop"), RenameOutcome::kRefused);
  EXPECT_THAT(program.shell.messages, ElementsAre(FieldsAre(kTooLong, MessageStyle::kOk)));
  EXPECT_EQ(shown, -1);

  EXPECT_EQ(Rename({"x"}, "abcdefghijklmno"), RenameOutcome::kRenamed);
  EXPECT_THAT(ListNames(folder), ElementsAre("abcdefghijklmno0.jpg"));
  // Characters, not bytes: fifteen accented letters are still fifteen.
  EXPECT_EQ(Rename({"abcdefghijklmno0"}, "ééééééééééééééé"), RenameOutcome::kRenamed);
}

TEST_F(RenameAllTilesTest, EmptyBaseNumbersTheTilesOnly) {
  const std::string folder = program.Folder("Lib", {"b.jpg", "c.jpg"});
  EXPECT_EQ(Rename({"b", "c"}, ""), RenameOutcome::kRenamed);
  EXPECT_THAT(Contents(folder), ElementsAre("0.jpg=b.jpg", "1.jpg=c.jpg"));
}

TEST_F(RenameAllTilesTest, NoLeavesEveryName) {
  const std::string folder = program.Folder("Lib", {"x.jpg"});
  program.shell.answers.clear();
  EXPECT_EQ(RenameAllTiles("Lib/", {"x"}, "trip", bar), RenameOutcome::kDeclined);
  EXPECT_THAT(ListNames(folder), ElementsAre("x.jpg"));
  EXPECT_EQ(shown, -1);
}

TEST_F(RenameAllTilesTest, ATakenNameStopsWithAFileErrorAndLosesNothing) {
  const std::string folder = program.Folder("Lib", {"a.jpg", "a0.jpg"});
  EXPECT_EQ(Rename({"a", "a0"}, "a"), RenameOutcome::kFailed);
  EXPECT_THAT(Contents(folder), ElementsAre("a.jpg=a.jpg", "a0.jpg=a0.jpg"));
  ASSERT_EQ(program.shell.messages.size(), 2u);
  EXPECT_EQ(program.shell.messages[1].style, MessageStyle::kStop);
  EXPECT_THAT(program.shell.messages[1].text, ::testing::StartsWith(folder + "a0.jpg\n"));
  EXPECT_EQ(steps, 0);
  EXPECT_EQ(hidden, 1);
}

TEST_F(RenameAllTilesTest, TilesBeforeAFailureKeepTheirNewNames) {
  const std::string folder = program.Folder("Lib", {"a.jpg", "b.jpg", "t1.jpg"});
  EXPECT_EQ(Rename({"a", "b", "t1"}, "t"), RenameOutcome::kFailed);
  EXPECT_THAT(Contents(folder), ElementsAre("b.jpg=b.jpg", "t0.jpg=a.jpg", "t1.jpg=t1.jpg"));
  EXPECT_EQ(steps, 1);
}

TEST_F(RenameAllTilesTest, ATileThatAlreadyHasItsNameKeepsIt) {
  // The second rename to the same base gives every tile the name it has.
  const std::string folder = program.Folder("Lib", {"t0.jpg", "t1.jpg", "t2.jpg"});
  EXPECT_EQ(Rename({"t0", "t1", "t2"}, "t"), RenameOutcome::kRenamed);
  EXPECT_THAT(Contents(folder), ElementsAre("t0.jpg=t0.jpg", "t1.jpg=t1.jpg", "t2.jpg=t2.jpg"));
}

TEST_F(RenameAllTilesTest, ASlashInTheBaseCannotMoveTilesOutOfTheLibrary) {
  const std::string folder = program.Folder("Lib", {"x.jpg"});
  EXPECT_EQ(Rename({"x"}, "../x"), RenameOutcome::kFailed);
  EXPECT_THAT(ListNames(folder), ElementsAre("x.jpg"));
  EXPECT_THAT(ListNames(program.Path()), ElementsAre("Lib"));
  EXPECT_EQ(program.shell.messages.back().style, MessageStyle::kStop);
}

TEST(CreateNewLibrary, MakesAnEmptyCurrentLibrary) {
  ProgramFolder program;
  ASSERT_TRUE(CreateNewLibrary("Birds"));
  EXPECT_TRUE(testing::FileExists(program.Path() + "Birds"));
  EXPECT_EQ(Paths().currentLibrary, "Birds/");
  EXPECT_THAT(ListManagerTiles(Paths().currentLibrary).names, IsEmpty());
  EXPECT_THAT(program.shell.messages, IsEmpty());
}

TEST(CreateNewLibrary, RefusesTakenEmptyAndNestedNamesAndKeepsTheCurrentLibrary) {
  ProgramFolder program;
  program.Folder("Birds", {"a.jpg"});
  for (const char* name : {"Birds", "", "Birds/Nested", "../Outside"}) {
    EXPECT_FALSE(CreateNewLibrary(name)) << name;
    EXPECT_EQ(program.shell.messages.back().text,
              std::string("Unable to create the directory:\n") + name);
  }
  EXPECT_EQ(Paths().currentLibrary, "Demo Tile Library/");
  EXPECT_THAT(ListNames(program.Path() + "Birds"), ElementsAre("a.jpg"));
  EXPECT_THAT(ListNames(program.Path()), ElementsAre("Birds"));
}

}  // namespace
}  // namespace tesselor
