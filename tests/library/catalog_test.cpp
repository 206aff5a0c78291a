#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "library/library_catalog.h"
#include "tests/library/program_folder.h"

namespace tesselor {
namespace {

using ::testing::ElementsAre;
using ::testing::FieldsAre;
using testing::ProgramFolder;

TEST(ListLibraries, OffersEveryFolderButHelpInAnyCase) {
  ProgramFolder program;
  for (const char* name : {"help", "Help", "HELP", "Help2", "Birds.2001", "Demo Tile Library"})
    program.Folder(name);
  ProgramFolder::WriteText(program.Path() + "tesselor-cli", "not a folder");
  EXPECT_THAT(ListLibraries(),
              ElementsAre(FieldsAre("Birds.2001", 0, false),
                          FieldsAre("Demo Tile Library", 0, true), FieldsAre("Help2", 0, false)));
}

TEST(ListLibraries, CountsEachLibraryAndMarksOnlyTheExactCurrentName) {
  ProgramFolder program;
  program.Folder("birds", {"a.jpg", "b.jpg"});
  program.Folder("Trip", {"x.jpg"});
  Paths().currentLibrary = "Birds/";  // case counts
  EXPECT_THAT(ListLibraries(),
              ElementsAre(FieldsAre("birds", 2, false), FieldsAre("Trip", 1, false)));
  Paths().currentLibrary = "Trip/";
  EXPECT_TRUE(ListLibraries()[1].isCurrent);
}

TEST(ListLibraries, MissingProgramFolderListsNothing) {
  ProgramFolder program;
  Paths().programDirectory = program.Path() + "gone/";
  EXPECT_TRUE(ListLibraries().empty());
}

TEST(CountLibraryTiles, CountsLegacyAndJpegMatchesWithoutFurtherTest) {
  ProgramFolder program;
  program.Folder("Old", {"1.raw", "2.raw", "3.RAW", "a.jpg", "Photo.JPG", "Summer.JPEG", "n.txt"});
  EXPECT_EQ(CountLibraryTiles("Old"), 5);
  EXPECT_EQ(CountLibraryTiles("Missing"), 0);
}

TEST(CountLibraryTiles, ReportsProgressAtEveryTwentiethTile) {
  ProgramFolder program;
  const std::string folder = program.Folder("Big");
  for (int i = 0; i < 25; ++i) ProgramFolder::WriteText(folder + std::to_string(i) + ".raw", "");
  for (int i = 0; i < 20; ++i) ProgramFolder::WriteText(folder + std::to_string(i) + ".jpg", "");
  std::vector<int> reported;
  EXPECT_EQ(CountLibraryTiles("Big", [&](int count) { reported.push_back(count); }), 45);
  EXPECT_THAT(reported, ElementsAre(20, 40));
}

TEST(PreviewTilePath, CyclesThroughTheTilesOnePerTick) {
  ProgramFolder program;
  const std::string folder = program.Folder("Lib", {"b.jpg", "a.jpg", "c.jpg", "d.raw"});
  int previewIndex = 1;  // where the chooser starts after filling its list
  std::vector<std::string> shown;
  for (int tick = 0; tick < 7; ++tick) {
    shown.push_back(PreviewTilePath("Lib/", previewIndex).value());
    ++previewIndex;
  }
  EXPECT_THAT(shown,
              ElementsAre(folder + "a.jpg", folder + "b.jpg", folder + "c.jpg", folder + "a.jpg",
                          folder + "b.jpg", folder + "c.jpg", folder + "a.jpg"));
}

TEST(PreviewTilePath, OneTileShowsAtEveryTickAndAnEmptyLibraryShowsNone) {
  ProgramFolder program;
  const std::string folder = program.Folder("One", {"Photo.JPG"});
  program.Folder("Empty", {"x.raw"});
  for (int previewIndex : {0, 1, 2, 9}) {
    // The listed name, so the upper-case extension still opens.
    EXPECT_EQ(PreviewTilePath("One/", previewIndex), folder + "Photo.JPG");
  }
  int previewIndex = 3;
  EXPECT_EQ(PreviewTilePath("Empty/", previewIndex), std::nullopt);
  EXPECT_EQ(PreviewTilePath("Missing/", previewIndex), std::nullopt);
}

TEST(PreviewTilePath, ShorterLibraryShowsItsLastTileThenStartsAgain) {
  ProgramFolder program;
  const std::string folder = program.Folder("Two", {"a.jpg", "b.jpg"});
  int previewIndex = 5;  // left over from a bigger library selected before
  EXPECT_EQ(PreviewTilePath("Two/", previewIndex), folder + "b.jpg");
  ++previewIndex;
  EXPECT_EQ(PreviewTilePath("Two/", previewIndex), folder + "a.jpg");
}

}  // namespace
}  // namespace tesselor
