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
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using testing::ListNames;
using testing::ProgramFolder;

constexpr const char* kAborted = "Tile creation aborted";

class TileMakingRunTest : public ::testing::Test {
 protected:
  TileMakingRunTest() { library = program.Folder("Demo Tile Library"); }

  // Stands in for MakeTile: writes a tile named after the photograph unless
  // one exists, and writes nothing when the library folder is not there.
  bool MakeFakeTile(const std::string& path, const std::string& title, CBmp* madeTile) {
    sources.push_back(path.substr(path.find_last_of('/') + 1));
    const std::string target = TilePath(Paths().currentLibrary, title);
    if (FileExists(target) || !FileExists(Paths().LibraryDirectory())) return false;
    ProgramFolder::WriteText(target, path);
    if (madeTile) testing::FillBitmap(*madeTile, 64, 64, [](int, int) { return testing::Rgb{}; });
    return true;
  }

  // The view records what a dialog would be told, in order.
  TileMakingView View() {
    return {{[this](int total) { events.push_back("show " + std::to_string(total)); },
             [this] { events.push_back("step"); }, [this] { events.push_back("hide"); }},
            [this](const std::string& name, const CBmp& tile) {
              events.push_back("made " + name + " " + std::to_string(tile.width));
            },
            [this] { events.push_back("ended"); }};
  }

  TileMakingRun MakeRun() {
    return TileMakingRun(View(),
                         [this](const std::string& path, const std::string& title, CBmp* madeTile) {
                           return MakeFakeTile(path, title, madeTile);
                         });
  }

  ProgramFolder program;
  std::string library;
  std::vector<std::string> sources;
  std::vector<std::string> events;
};

TEST_F(TileMakingRunTest, FolderWithoutJpegPhotographsFindsNoImages) {
  const std::string photos = program.Folder("Photos", {"Summer.JPEG", "notes.txt", "x.png"});
  TileMakingRun run = MakeRun();
  EXPECT_EQ(run.MakeTilesFromFolder(photos), TileMakingOutcome::kNoImages);
  EXPECT_THAT(program.shell.messages,
              ElementsAre(FieldsAre("No images found!", MessageStyle::kOk)));
  EXPECT_THAT(sources, IsEmpty());
  EXPECT_THAT(events, IsEmpty());
  EXPECT_FALSE(run.makingTiles());
}

TEST_F(TileMakingRunTest, AsksWithTheCountAndNoLeavesTheLibraryAlone) {
  const std::string photos = program.Folder("Photos");
  for (int i = 0; i < 12; ++i) ProgramFolder::WriteText(photos + std::to_string(i) + ".jpg", "");
  TileMakingRun run = MakeRun();
  EXPECT_EQ(run.MakeTilesFromFolder(photos), TileMakingOutcome::kDeclined);
  EXPECT_THAT(
      program.shell.messages,
      ElementsAre(FieldsAre("12 images found, shall I proceed to make tiles from these images?",
                            MessageStyle::kQuestion)));
  EXPECT_THAT(ListNames(library), IsEmpty());
  EXPECT_THAT(events, IsEmpty());
  EXPECT_FALSE(run.makingTiles());
}

TEST_F(TileMakingRunTest, YesMakesATilePerPhotographWithProgressAndPumping) {
  const std::string photos = program.Folder("Photos", {"b.jpg", "Summer.JPG", "Summer.JPEG"});
  program.shell.answers = {MessageAnswer::kYes};
  bool makingDuringRun = false;
  TileMakingRun run = MakeRun();
  program.shell.onPump = [&] { makingDuringRun = run.makingTiles(); };

  EXPECT_EQ(run.MakeTilesFromFolder(photos), TileMakingOutcome::kFinished);
  EXPECT_EQ(program.shell.messages[0].text,
            "2 images found, shall I proceed to make tiles from these images?");
  EXPECT_THAT(events, ElementsAre("show 2", "made b 64", "step", "made Summer 64", "step", "hide",
                                  "ended"));
  EXPECT_THAT(ListNames(library), ElementsAre("Summer.jpg", "b.jpg"));
  EXPECT_EQ(program.shell.pumps, 2);
  EXPECT_TRUE(makingDuringRun);
  EXPECT_FALSE(run.makingTiles());
  EXPECT_EQ(program.shell.messages.size(), 1u);
}

TEST_F(TileMakingRunTest, SecondRunMakesNothingButStillAsksAndSteps) {
  const std::string photos = program.Folder("Photos", {"a.jpg", "b.jpg"});
  program.shell.answers = {MessageAnswer::kYes, MessageAnswer::kYes};
  TileMakingRun run = MakeRun();
  ASSERT_EQ(run.MakeTilesFromFolder(photos), TileMakingOutcome::kFinished);
  events.clear();
  // The budget ended the first run by setting the stop flag; a new run
  // clears it.
  EXPECT_EQ(run.MakeTilesFromFolder(photos), TileMakingOutcome::kFinished);
  EXPECT_THAT(events, ElementsAre("show 2", "step", "step", "hide", "ended"));
  EXPECT_EQ(program.shell.messages.size(), 2u);
  EXPECT_EQ(ListNames(library).size(), 2u);
}

TEST_F(TileMakingRunTest, SecondClickStopsAfterThePhotographInHand) {
  const std::string photos = program.Folder("Photos", {"a.jpg", "b.jpg", "c.jpg"});
  program.shell.answers = {MessageAnswer::kYes};
  TileMakingRun run = MakeRun();
  std::vector<TileMakingOutcome> clicks;
  program.shell.onPump = [&] { clicks.push_back(run.MakeTilesFromFolder()); };

  EXPECT_EQ(run.MakeTilesFromFolder(photos), TileMakingOutcome::kStopped);
  EXPECT_THAT(clicks, ElementsAre(TileMakingOutcome::kStoppedRunInProgress));
  EXPECT_THAT(sources, ElementsAre("a.jpg"));
  EXPECT_THAT(events, ElementsAre("show 3", "made a 64", "step", "hide", "ended"));
  EXPECT_THAT(program.shell.beeps, ElementsAre(std::pair(300, 30)));
  EXPECT_EQ(program.shell.messages.back().text, kAborted);
  EXPECT_FALSE(run.makingTiles());
  EXPECT_TRUE(program.shell.dialogPaths.empty());  // the click opened no folder browser
}

TEST_F(TileMakingRunTest, ClosingTheManagerStopsTheRunSilently) {
  const std::string photos = program.Folder("Photos", {"a.jpg", "b.jpg"});
  program.shell.answers = {MessageAnswer::kYes};
  TileMakingRun run = MakeRun();
  program.shell.onPump = [&] { run.RequestStop(); };
  EXPECT_EQ(run.MakeTilesFromFolder(photos), TileMakingOutcome::kStopped);
  EXPECT_THAT(sources, ElementsAre("a.jpg"));
  EXPECT_EQ(program.shell.messages.size(), 1u);  // the question only
  EXPECT_THAT(program.shell.beeps, IsEmpty());
}

TEST_F(TileMakingRunTest, AbortWhileIdleDoesNothing) {
  TileMakingRun run = MakeRun();
  run.Abort();
  EXPECT_THAT(program.shell.messages, IsEmpty());
  EXPECT_FALSE(run.stopRequested());
}

TEST_F(TileMakingRunTest, VanishedLibraryEndsTheRunIdleWithOneMessage) {
  const std::string photos = program.Folder("Photos", {"a.jpg", "b.jpg", "c.jpg"});
  Paths().currentLibrary = "Gone/";
  program.shell.answers = {MessageAnswer::kYes};
  TileMakingRun run = MakeRun();
  EXPECT_EQ(run.MakeTilesFromFolder(photos), TileMakingOutcome::kWriteFailed);
  ASSERT_EQ(program.shell.messages.size(), 2u);
  EXPECT_THAT(
      program.shell.messages[1],
      FieldsAre(::testing::StartsWith(program.Path() + "Gone/a.jpg\n"), MessageStyle::kStop));
  EXPECT_THAT(sources, ElementsAre("a.jpg"));
  EXPECT_THAT(events, ElementsAre("show 3", "hide", "ended"));
  EXPECT_FALSE(run.makingTiles());
}

TEST_F(TileMakingRunTest, EncoderErrorEndsTheRunIdleWithOneMessage) {
  const std::string photos = program.Folder("Photos", {"a.jpg", "b.jpg"});
  program.shell.answers = {MessageAnswer::kYes};
  int calls = 0;
  TileMakingRun run(View(), [&](const std::string&, const std::string&, CBmp*) -> bool {
    ++calls;
    throw CTextException(kErrOpenOutput, "Could not open the output file");
  });
  EXPECT_EQ(run.MakeTilesFromFolder(photos), TileMakingOutcome::kWriteFailed);
  EXPECT_EQ(calls, 1);
  ASSERT_EQ(program.shell.messages.size(), 2u);
  EXPECT_THAT(program.shell.messages[1].text, HasSubstr("Could not open the output file"));
  EXPECT_THAT(events, ElementsAre("show 2", "hide", "ended"));
  EXPECT_FALSE(run.makingTiles());
}

TEST_F(TileMakingRunTest, ATileAlreadyThereIsNoWriteFailure) {
  const std::string photos = program.Folder("Photos", {"a.jpg", "b.jpg"});
  ProgramFolder::WriteText(library + "a.jpg", "kept");
  program.shell.answers = {MessageAnswer::kYes};
  TileMakingRun run = MakeRun();
  EXPECT_EQ(run.MakeTilesFromFolder(photos), TileMakingOutcome::kFinished);
  EXPECT_EQ(ProgramFolder::ReadText(library + "a.jpg"), "kept");
  EXPECT_TRUE(FileExists(library + "b.jpg"));
}

TEST_F(TileMakingRunTest, TheButtonAsksForTheFolder) {
  const std::string photos = program.Folder("Photos", {"a.jpg"});
  TileMakingRun run = MakeRun();
  EXPECT_EQ(run.MakeTilesFromFolder(), TileMakingOutcome::kNoFolder);
  EXPECT_THAT(program.shell.messages, IsEmpty());

  program.shell.dialogPaths = {photos};
  program.shell.answers = {MessageAnswer::kYes};
  EXPECT_EQ(run.MakeTilesFromFolder(), TileMakingOutcome::kFinished);
  EXPECT_TRUE(FileExists(library + "a.jpg"));
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
  const std::string photos = program.Folder("Photos", {"a.jpg", "b.jpg"});
  GrowingFolderShell shell;
  shell.folder = photos;
  shell.answers = {MessageAnswer::kYes};
  TileMakingRun run = MakeRun();
  EXPECT_EQ(run.MakeTilesFromFolder(photos), TileMakingOutcome::kFinished);
  EXPECT_EQ(shell.messages[0].text,
            "2 images found, shall I proceed to make tiles from these images?");
  EXPECT_THAT(sources, ElementsAre("0.jpg", "1.jpg"));
  EXPECT_TRUE(run.stopRequested());
}

TEST_F(TileMakingRunTest, WorkingDirectoryIsTheImageFolderAfterwards) {
  const std::string before = CurrentDirectory();
  const std::string photos = program.Folder("Photos", {"a.jpg"});
  Paths().imageDirectory = program.Folder("Images");
  program.shell.answers = {MessageAnswer::kYes};
  TileMakingRun run = MakeRun();
  run.MakeTilesFromFolder(photos);
  EXPECT_EQ(CurrentDirectory(), Paths().imageDirectory);
  ChangeDirectory(before);
}

}  // namespace
}  // namespace tesselor
