// Making tiles for the current library from a folder of photographs, one
// photograph at a time, as the library manager's "Add new tiles" button does.
// Free of any toolkit: the front end follows the run through callbacks, and
// stays responsive through the Shell's PumpMessages between photographs, so a
// click in the middle can stop the run.
#pragma once

#include <functional>
#include <string>

#include "imagelib/bmp.h"
#include "library/make_tile.h"
#include "library/tile_operations.h"

namespace tesselor {

// Writes the tile of one photograph and copies it into madeTile; true when a
// tile file was written.
using TileMaker = std::function<bool(const std::string& sourcePath, const std::string& sourceTitle,
                                     CBmp* madeTile)>;

// What the front end shows of a run; any member may be left empty.
struct TileMakingView {
  ProgressBar progress;  // one step per photograph
  // A tile was written: the preview shows it as made, before JPEG loss.
  std::function<void(const std::string& tileName, const CBmp& tile)> tileMade;
  std::function<void()> runEnded;  // idle again: show the count, refill the tile list
};

enum class TileMakingOutcome {
  kStoppedRunInProgress,  // a run was going on; this request stopped it
  kUnchangeable,          // the current library cannot take tiles (said why)
  kNoFolder,              // the folder browser was cancelled
  kNoImages,              // the folder holds no photograph (see ListPhotographs)
  kDeclined,              // the user answered No to the count question
  kFinished,              // every photograph was handled
  kStopped,               // a stop request ended the run after the tile in hand
  kWriteFailed,           // a tile could not be written; reported once, run ended
};

class TileMakingRun {
 public:
  // makeTile defaults to MakeTile; tests give their own.
  explicit TileMakingRun(TileMakingView view = {}, TileMaker makeTile = {});
  TileMakingRun(const TileMakingRun&) = delete;  // the default maker reads this run's fit
  TileMakingRun& operator=(const TileMakingRun&) = delete;

  // How the default maker fits photographs that are not square.
  void SetFit(TileFit fit) { fit_ = fit; }

  // The "Add new tiles" button: stops a run in progress (with a beep and a
  // message), or else asks for a folder through the Shell and makes tiles.
  TileMakingOutcome MakeTilesFromFolder();
  // The same with the folder already chosen.
  TileMakingOutcome MakeTilesFromFolder(const std::string& folder);

  // Stops the run in progress after the photograph in hand, with a beep and a
  // message: what a second click on the button does.
  void Abort();
  // The same without a word: what closing the manager does. The front end
  // closes once MakeTilesFromFolder has returned.
  void RequestStop() { stopRequested_ = true; }

  // True from the moment a folder was chosen until the run is idle again.
  bool MakingTiles() const { return makingTiles_; }

 private:
  TileMakingOutcome AbortRunInProgress();
  TileMakingOutcome MakeTiles(const std::string& folder, int budget);

  TileMakingView view_;
  TileMaker makeTile_;
  TileFit fit_ = TileFit::kSqueeze;
  bool makingTiles_ = false;
  bool stopRequested_ = false;
};

}  // namespace tesselor
