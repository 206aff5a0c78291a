// Libraries in two places: the user's own folder, where new ones are made,
// and the folder installed with the program, whose libraries are read only.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "library/library_catalog.h"
#include "library/tile_files.h"
#include "library/tile_making_run.h"
#include "library/tile_operations.h"
#include "platform/directory_listing.h"
#include "tests/library/program_folder.h"

namespace tesselor {
namespace {

using ::testing::ElementsAre;
using ::testing::FieldsAre;
using ::testing::HasSubstr;
using testing::ListNames;
using testing::ProgramFolder;

// programDirectory stands for <prefix>/share/tesselor; the user's folder is
// made only when something needs it, as on a first run.
class LibraryRootsTest : public ::testing::Test {
 protected:
  LibraryRootsTest() {
    installed = program.Folder("Demo Tile Library", {"a.jpg", "b.jpg"});
    program.Folder("Shared", {"x.jpg", "y.jpg"});
    Paths().userLibraryDirectory = home.Path() + ".local/share/tesselor/";
  }

  std::string User(const std::string& name, std::initializer_list<const char*> files = {}) {
    const std::string folder = Paths().userLibraryDirectory + name + "/";
    MakeFolderWithParents(folder);
    for (const char* file : files) ProgramFolder::WriteText(folder + file, file);
    return folder;
  }

  ProgramFolder program;
  testing::TempDir home;
  std::string installed;
};

TEST_F(LibraryRootsTest, TheUsersOwnComeFirstAndHideAnInstalledOneOfTheSameName) {
  User("Shared", {"mine.jpg"});
  User("Birds");
  EXPECT_THAT(ListLibraries(),
              ElementsAre(FieldsAre("Birds", 0, false, false), FieldsAre("Shared", 1, false, false),
                          FieldsAre("Demo Tile Library", 2, true, true)));
  EXPECT_EQ(TilePath("Shared/", "mine"), Paths().userLibraryDirectory + "Shared/mine.jpg");
  EXPECT_EQ(TilePath("Demo Tile Library/", "a"), installed + "a.jpg");
  EXPECT_THAT(ListManagerTiles("Demo Tile Library/").names, ElementsAre("a", "b"));
}

TEST_F(LibraryRootsTest, AnInstalledLibraryRefusesEveryChangeAndSaysWhy) {
  program.shell.answers = {MessageAnswer::kYes, MessageAnswer::kYes, MessageAnswer::kYes};
  program.shell.dialogPaths = {program.Path()};  // a folder, if the run ever asked
  EXPECT_FALSE(DeleteSelectedTiles("Demo Tile Library/", {"a"}));
  EXPECT_EQ(RenameAllTiles("Demo Tile Library/", {"a", "b"}, "t"), RenameOutcome::kRefused);
  TileMakingRun run;
  EXPECT_EQ(run.MakeTilesFromFolder(), TileMakingOutcome::kUnchangeable);
  ASSERT_EQ(program.shell.messages.size(), 3u);
  for (const RecordedMessage& message : program.shell.messages)
    EXPECT_THAT(message, FieldsAre(HasSubstr("\"Demo Tile Library\" was installed with Tesselor"),
                                   MessageStyle::kExclamation));
  EXPECT_THAT(ListNames(installed), ElementsAre("a.jpg", "b.jpg"));
}

TEST_F(LibraryRootsTest, NewLibrariesGoToTheUsersFolderMadeOnDemand) {
  EXPECT_TRUE(CreateNewLibrary("Birds"));
  EXPECT_TRUE(IsFolder(Paths().userLibraryDirectory + "Birds"));
  EXPECT_EQ(Paths().currentLibrary, "Birds/");
  EXPECT_EQ(UnchangeableReason("Birds/"), "");
  // Made beside it, it would hide the installed library.
  EXPECT_FALSE(CreateNewLibrary("Shared"));
  EXPECT_EQ(program.shell.messages.back().text, "Unable to create the directory:\nShared");
  EXPECT_EQ(Paths().currentLibrary, "Birds/");
}

}  // namespace
}  // namespace tesselor
