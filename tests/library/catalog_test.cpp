#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "library/library_catalog.h"
#include "tests/library/program_folder.h"

namespace tesselor {
namespace {

using ::testing::ElementsAre;
using ::testing::FieldsAre;
using testing::ProgramFolder;

TEST(ListLibraries, OffersEveryFolderButHelpWithItsCount) {
  ProgramFolder program;
  for (const char* name : {"help", "Help", "HELP", "Help2", "Birds.2001"}) program.Folder(name);
  program.Folder("Demo Tile Library", {"a.jpg", "b.jpg"});
  ProgramFolder::WriteText(program.Path() + "tesselor-cli", "not a folder");
  EXPECT_THAT(ListLibraries(),
              ElementsAre(FieldsAre("Birds.2001", 0, false, false),
                          FieldsAre("Demo Tile Library", 2, true, false),
                          FieldsAre("Help2", 0, false, false)));
  Paths().currentLibrary = "demo tile library/";  // the current one must match in case too
  EXPECT_FALSE(ListLibraries()[1].isCurrent);
}

TEST(CountLibraryTiles, CountsLegacyAndJpegMatchesWithoutFurtherTest) {
  ProgramFolder program;
  program.Folder("Old", {"1.raw", "2.raw", "3.RAW", "a.jpg", "Photo.JPG", "Summer.JPEG"});
  EXPECT_EQ(CountLibraryTiles("Old"), 5);
  EXPECT_EQ(CountLibraryTiles("Missing"), 0);
}

TEST(PreviewTilePath, CyclesThroughTheTilesOnePerTick) {
  ProgramFolder program;
  const std::string folder = program.Folder("Lib", {"b.jpg", "a.jpg", "C.JPG", "d.raw"});
  int previewIndex = 1;  // where the chooser starts after filling its list
  std::vector<std::string> shown;
  for (int tick = 0; tick < 4; ++tick, ++previewIndex)
    shown.push_back(PreviewTilePath("Lib/", previewIndex).value());
  // The listed name, so an upper-case extension still opens.
  EXPECT_THAT(shown,
              ElementsAre(folder + "a.jpg", folder + "b.jpg", folder + "C.JPG", folder + "a.jpg"));

  previewIndex = 7;  // left over from a bigger library: its last tile, then the first
  EXPECT_EQ(PreviewTilePath("Lib/", previewIndex), folder + "C.JPG");
  EXPECT_EQ(previewIndex, 0);
}

TEST(PreviewTilePath, OneTileShowsAtEveryTickAndNoTileShowsNothing) {
  ProgramFolder program;
  const std::string folder = program.Folder("One", {"a.jpg"});
  program.Folder("Legacy", {"x.raw"});
  for (int previewIndex : {0, 1, 2})
    EXPECT_EQ(PreviewTilePath("One/", previewIndex), folder + "a.jpg");
  int previewIndex = 1;
  EXPECT_EQ(PreviewTilePath("Legacy/", previewIndex), std::nullopt);
  EXPECT_EQ(PreviewTilePath("Missing/", previewIndex), std::nullopt);
}

}  // namespace
}  // namespace tesselor
