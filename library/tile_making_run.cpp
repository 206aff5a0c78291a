#include "library/tile_making_run.h"

#include <exception>
#include <optional>
#include <vector>

#include "imagelib/draw_dib_bmp.h"
#include "library/make_tile.h"
#include "library/tile_files.h"
#include "platform/app_paths.h"
#include "platform/directory_listing.h"
#include "platform/shell.h"

namespace tesselor {

namespace {

// Back to idle however the run ends, and the working directory back where the
// rest of the program expects it.
class IdleOnExit {
 public:
  explicit IdleOnExit(bool& makingTiles) : makingTiles_(makingTiles) { makingTiles_ = true; }
  ~IdleOnExit() {
    makingTiles_ = false;
    ChangeDirectory(Paths().imageDirectory);
  }
  IdleOnExit(const IdleOnExit&) = delete;
  IdleOnExit& operator=(const IdleOnExit&) = delete;

 private:
  bool& makingTiles_;
};

}  // namespace

TileMakingRun::TileMakingRun(TileMakingView view, TileMaker makeTile)
    : view_(std::move(view)), makeTile_(std::move(makeTile)) {
  if (!makeTile_) {
    makeTile_ = [this](const std::string& path, const std::string& title, CBmp* madeTile) {
      return MakeTile(path, title, madeTile, fit_) == 1;
    };
  }
}

TileMakingOutcome TileMakingRun::MakeTilesFromFolder() {
  if (makingTiles_) return AbortRunInProgress();
  // Said before a folder is chosen, not after.
  if (RefuseUnchangeableLibrary(Paths().currentLibrary)) return TileMakingOutcome::kUnchangeable;
  const std::optional<std::string> folder = Shell::Instance().BrowseForFolder();
  if (!folder) return TileMakingOutcome::kNoFolder;
  return MakeTilesFromFolder(*folder);
}

TileMakingOutcome TileMakingRun::MakeTilesFromFolder(const std::string& folder) {
  if (makingTiles_) return AbortRunInProgress();
  if (RefuseUnchangeableLibrary(Paths().currentLibrary)) return TileMakingOutcome::kUnchangeable;
  IdleOnExit idle(makingTiles_);
  stopRequested_ = false;

  const int count = static_cast<int>(ListPhotographs(folder).size());
  if (count == 0) {
    ShowMessage("No images found!");
    return TileMakingOutcome::kNoImages;
  }
  const std::string question =
      std::to_string(count) + " images found, shall I proceed to make tiles from these images?";
  if (ShowMessage(question, MessageStyle::kQuestion) != MessageAnswer::kYes)
    return TileMakingOutcome::kDeclined;
  return MakeTiles(folder, count);
}

void TileMakingRun::Abort() {
  if (!makingTiles_) return;
  stopRequested_ = true;
  Shell::Instance().Beep(300, 30);
  ShowMessage("Tile creation aborted");
}

TileMakingOutcome TileMakingRun::AbortRunInProgress() {
  Abort();
  return TileMakingOutcome::kStoppedRunInProgress;
}

TileMakingOutcome TileMakingRun::MakeTiles(const std::string& folder, int budget) {
  if (view_.progress.show) view_.progress.show(budget);
  TileMakingOutcome outcome = TileMakingOutcome::kFinished;
  // Listed again: the folder may have changed while the user was asked. The
  // budget keeps the run to the number announced in the question.
  for (const DirectoryEntry& entry : ListPhotographs(folder)) {
    if (stopRequested_) {
      outcome = TileMakingOutcome::kStopped;
      break;
    }
    const std::string title = FileTitle(entry.name);
    // MakeTile throws when the library cannot take the tile (its folder gone
    // or read-only, the disk full). Every further tile would fail the same
    // way, so the run ends here with one message instead.
    CDrawDibBmp tile;
    bool made = false;
    try {
      made = makeTile_(entry.fullPath, title, view_.tileMade ? &tile : nullptr);
    } catch (const std::exception& error) {
      ReportFileError(FileError(TilePath(Paths().currentLibrary, title), error.what()));
      outcome = TileMakingOutcome::kWriteFailed;
      break;
    }
    if (made && view_.tileMade) view_.tileMade(title, tile);
    if (view_.progress.step) view_.progress.step();
    PumpMessages();
    if (--budget == 0) {
      stopRequested_ = true;
      break;
    }
  }
  if (view_.progress.hide) view_.progress.hide();
  if (view_.runEnded) view_.runEnded();
  return outcome;
}

}  // namespace tesselor
