#include "library/tile_making_run.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "imagelib/text_exception.h"
#include "library/tile_files.h"
#include "tests/library/program_folder.h"

namespace tesselor {
namespace {

using ::testing::ElementsAre;
using ::testing::FieldsAre;
using testing::FileExists;
using ::testing::IsEmpty;
using testing::ListNames;
using testing::ProgramFolder;
using ::testing::StartsWith;

class TileMakingRunTest : public ::testing::Test {
 protected:
  TileMakingRunTest() { library = program.Folder("Demo Tile Library"); }

  // Stands in for MakeTile: writes a tile named after the photograph unless
  // one exists, and throws as the encoder does when the library is not there.
  bool MakeFakeTile(const std::string& path, const std::string& title, CBmp* madeTile) {
    sources.push_back(path.substr(path.find_last_of('/') + 1));
    const std::string target = TilePath(Paths().currentLibrary, title);
    if (FileExists(target)) return false;
    if (!FileExists(Paths().LibraryDirectory()))
      throw CTextException(kErrOpenOutput, "Could not open the output file");
    ProgramFolder::WriteText(target, path);
    testing::FillBitmap(*madeTile, 64, 64, [](int, int) { return testing::Rgb{}; });
    return true;
  }

  // Records what a dialog would be told, in order.
  TileMakingRun MakeRun(TileMaker maker = {}) {
    if (!maker) {
      maker = [this](const std::string& path, const std::string& title, CBmp* tile) {
        return MakeFakeTile(path, title, tile);
      };
    }
    return TileMakingRun(
        {{[this](int total) { events.push_back("show " + std::to_string(total)); },
          [this] { events.push_back("step"); }, [this] { events.push_back("hide"); }},
         [this](const std::string& name, const CBmp& tile) {
           events.push_back("made " + name + " " + std::to_string(tile.width));
         },
         [this] { events.push_back("ended"); }},
        std::move(maker));
  }

  ProgramFolder program;
  std::string library;
  std::vector<std::string> sources;
  std::vector<std::string> events;
};

TEST_F(TileMakingRunTest, NoImagesOrNoLeaveTheLibraryAlone) {
  const std::string empty = program.Folder("Empty", {"Summer.raw", "notes.txt"});
  const std::string photos = program.Folder("Photos");
  for (int i = 0; i < 12; ++i) ProgramFolder::WriteText(photos + std::to_string(i) + ".jpg", "");
  TileMakingRun run = MakeRun();
  EXPECT_EQ(run.MakeTilesFromFolder(), TileMakingOutcome::kNoFolder);  // browser cancelled
  EXPECT_EQ(run.MakeTilesFromFolder(empty), TileMakingOutcome::kNoImages);
  EXPECT_EQ(run.MakeTilesFromFolder(photos), TileMakingOutcome::kDeclined);  // scripted No
  EXPECT_THAT(program.shell.messages,
              ElementsAre(FieldsAre("No images found!", MessageStyle::kOk),
                          FieldsAre("12 images found, shall I proceed to make tiles from these "
                                    "images?",
                                    MessageStyle::kQuestion)));
  EXPECT_THAT(sources, IsEmpty());
  EXPECT_THAT(events, IsEmpty());
  EXPECT_FALSE(run.MakingTiles());
}

TEST_F(TileMakingRunTest, YesMakesATilePerPhotographAndASecondRunMakesNone) {
  // Photographs of any format the program reads; the text file is none.
  const std::string photos = program.Folder("Photos", {"b.png", "Summer.JPG", "Summer.txt"});
  program.shell.answers = {MessageAnswer::kYes, MessageAnswer::kYes};
  program.shell.dialogPaths = {photos};
  const std::string before = CurrentDirectory();
  Paths().imageDirectory = program.Folder("Images");
  TileMakingRun run = MakeRun();
  bool makingDuringRun = false;
  program.shell.onPump = [&] { makingDuringRun = run.MakingTiles(); };

  EXPECT_EQ(run.MakeTilesFromFolder(), TileMakingOutcome::kFinished);  // the folder browser's
  EXPECT_EQ(CurrentDirectory(), Paths().imageDirectory);
  ChangeDirectory(before);
  EXPECT_EQ(program.shell.messages[0].text,
            "2 images found, shall I proceed to make tiles from these images?");
  EXPECT_THAT(events, ElementsAre("show 2", "made b 64", "step", "made Summer 64", "step", "hide",
                                  "ended"));
  EXPECT_THAT(ListNames(library), ElementsAre("Summer.jpg", "b.jpg"));
  EXPECT_EQ(program.shell.pumps, 2);
  EXPECT_TRUE(makingDuringRun);
  EXPECT_FALSE(run.MakingTiles());

  // The used-up budget left the stop flag set; the next run clears it.
  events.clear();
  EXPECT_EQ(run.MakeTilesFromFolder(photos), TileMakingOutcome::kFinished);
  EXPECT_THAT(events, ElementsAre("show 2", "step", "step", "hide", "ended"));
  EXPECT_EQ(program.shell.messages.size(), 2u);
}

TEST_F(TileMakingRunTest, SecondClickOrClosingStopsAfterThePhotographInHand) {
  const std::string photos = program.Folder("Photos", {"a.jpg", "b.jpg", "c.jpg"});
  program.shell.answers = {MessageAnswer::kYes, MessageAnswer::kYes};
  TileMakingRun run = MakeRun();
  std::vector<TileMakingOutcome> clicks;
  program.shell.onPump = [&] { clicks.push_back(run.MakeTilesFromFolder()); };

  EXPECT_EQ(run.MakeTilesFromFolder(photos), TileMakingOutcome::kStopped);
  EXPECT_THAT(clicks, ElementsAre(TileMakingOutcome::kStoppedRunInProgress));
  EXPECT_THAT(sources, ElementsAre("a.jpg"));
  EXPECT_THAT(events, ElementsAre("show 3", "made a 64", "step", "hide", "ended"));
  EXPECT_THAT(program.shell.beeps, ElementsAre(std::pair(300, 30)));
  EXPECT_EQ(program.shell.messages.back().text, "Tile creation aborted");
  EXPECT_FALSE(run.MakingTiles());

  // Closing the manager stops the same way, without a word.
  program.shell.onPump = [&] { run.RequestStop(); };
  EXPECT_EQ(run.MakeTilesFromFolder(photos), TileMakingOutcome::kStopped);
  EXPECT_THAT(sources, ElementsAre("a.jpg", "a.jpg"));
  EXPECT_EQ(program.shell.messages.size(), 3u);  // one more question, nothing else
}

TEST_F(TileMakingRunTest, AnUnwritableTileEndsTheRunIdleWithOneMessage) {
  const std::string photos = program.Folder("Photos", {"a.jpg", "b.jpg"});
  program.shell.answers = {MessageAnswer::kYes};
  Paths().currentLibrary = "Gone/";
  TileMakingRun run = MakeRun();
  EXPECT_EQ(run.MakeTilesFromFolder(photos), TileMakingOutcome::kWriteFailed);
  EXPECT_THAT(
      program.shell.messages.back(),
      FieldsAre(StartsWith(program.Path() + "Gone/a.jpg\nCould not open"), MessageStyle::kStop));
  EXPECT_EQ(program.shell.messages.size(), 2u);  // the question and one message
  EXPECT_THAT(sources, ElementsAre("a.jpg"));
  EXPECT_THAT(events, ElementsAre("show 2", "hide", "ended"));
  EXPECT_FALSE(run.MakingTiles());
}

// Photographs that arrive while the question is open are not taken: the run
// keeps to the number it announced.
class GrowingFolderShell : public ScriptedShell {
 public:
  std::string folder;
  MessageAnswer MessageBox(const std::string& text, MessageStyle style) override {
    for (const char* name : {"0.jpg", "1.jpg"}) ProgramFolder::WriteText(folder + name, "");
    return ScriptedShell::MessageBox(text, style);
  }
};

TEST_F(TileMakingRunTest, KeepsToTheCountItAnnounced) {
  GrowingFolderShell shell;
  shell.folder = program.Folder("Photos", {"a.jpg", "b.jpg"});
  shell.answers = {MessageAnswer::kYes};
  TileMakingRun run = MakeRun();
  EXPECT_EQ(run.MakeTilesFromFolder(shell.folder), TileMakingOutcome::kFinished);
  EXPECT_THAT(sources, ElementsAre("0.jpg", "1.jpg"));
}

}  // namespace
}  // namespace tesselor
