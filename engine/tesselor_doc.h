// The program's one document: the photograph, the mosaic built from it and
// the settings it is built with. It opens photographs, runs the two ways of
// building (options dialog and wizard), flips between the pictures and saves
// the mosaic. Everything the user sees goes through the installed Shell, so the
// document runs the same under the desktop program, the terminal and the tests.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "engine/create_mosaic.h"
#include "engine/document_listener.h"
#include "engine/mosaic_settings.h"
#include "engine/profile_store.h"
#include "engine/wizard_choices.h"
#include "imagelib/draw_dib_bmp.h"
#include "platform/shell.h"

namespace tesselor {

// The build the document runs; tests put a stand-in here.
using MosaicBuilder = std::function<BuildOutcome(const CBmp&, CBmp&, const BuildOptions&)>;

class CTesselorDoc {
 public:
  // The profile value that opens the wizard at start and ticks its box.
  static constexpr const char* kWizardProfileName = "Wizard";

  CTesselorDoc();
  CTesselorDoc(const CTesselorDoc&) = delete;
  CTesselorDoc& operator=(const CTesselorDoc&) = delete;

  void OnFileOpen();
  void OnFileSave();
  void OnFileSaveAs();
  // Builds from the options dialog's settings.
  void OnCreateMosaic();
  // Builds from the wizard's choices; also run at start-up.
  void OnWizard();
  void OnFlip();
  // Mosaic > Save tile list: the record of the current mosaic's tiles as CSV.
  void OnSaveTileList();
  void OnLibraryManager();
  void OnNewLibrary();

  // The start of a new, untitled document; pictures and settings stay.
  void OnNewDocument();
  // Opens a photograph for the command line and the recent-file list: the
  // title and the recent list follow a successful open.
  bool OpenDocumentFile(const std::string& path);
  // Reads path as the new photograph; on failure the user has been told and
  // the document is as it was.
  bool OnOpenDocument(const std::string& path);
  // Writes the mosaic to path as JPEG or Windows bitmap by its extension.
  bool OnSaveDocument(const std::string& path);

  // The picture the views show: the photograph, or the mosaic once one is
  // shown; null before any photograph was opened.
  const CDrawDibBmp* CurrentPicture() const;
  // The size views lay the picture out at: the mosaic's, so flipping keeps the
  // size on screen; the photograph's while there is no mosaic bitmap.
  int DisplayWidth() const;
  int DisplayHeight() const;

  const CDrawDibBmp* SourceImage() const { return sourceImage_.get(); }
  const CDrawDibBmp* MosaicImage() const { return mosaicImage_.get(); }
  const std::string& SourcePath() const { return sourcePath_; }
  const std::string& Title() const { return title_; }
  // True for the whole of a build. The build drains the event queue, so the
  // front end must keep every command that starts work or leaves the program
  // from running meanwhile.
  bool IsBusy() const { return busy_; }
  bool ShowsOriginal() const { return showOriginal_; }
  bool OverwriteConfirmed() const { return overwriteConfirmed_; }
  // True once a build has painted at least one cell of the current mosaic.
  bool MosaicBuilt() const { return mosaicBuilt_; }
  // Tile files the tile cap kept out of the last build, for the summary the
  // user sees; 0 when every tile took part.
  int PhotosLeftOut() const { return lastReport_.photosLeftOut; }
  // Every tile the last build placed; the current mosaic's while
  // MosaicBuilt() holds.
  const TileUseRecord& TilesUsed() const { return lastReport_.tilesUsed; }

  // The options dialog edits these in place.
  MosaicSettings settings;
  // Exchanged with the wizard around each run.
  WizardChoices wizardChoices;

  void SetProfile(ProfileStore* profile) { profile_ = profile ? profile : &memoryProfile_; }
  ProfileStore& Profile() const { return *profile_; }
  void SetBuilder(MosaicBuilder builder) { builder_ = std::move(builder); }

  void AddListener(DocumentListener* listener) { listeners_.push_back(listener); }
  void RemoveListener(DocumentListener* listener);
  void UpdateAllViews();

 private:
  void SetTitle(const std::string& title);
  void SetBusy(bool busy);
  // Runs one build into the current mosaic, then shows it.
  void BuildMosaic(const BuildOptions& options);
  void NotifyInitialUpdate();

  std::unique_ptr<CDrawDibBmp> sourceImage_;
  std::unique_ptr<CDrawDibBmp> mosaicImage_;
  std::string sourcePath_;
  std::string title_;
  bool busy_ = false;
  bool showOriginal_ = true;
  bool overwriteConfirmed_ = false;
  bool mosaicBuilt_ = false;

  MemoryProfile memoryProfile_;
  ProfileStore* profile_ = &memoryProfile_;
  BuildReport lastReport_;
  MosaicBuilder builder_ = [this](const CBmp& source, CBmp& mosaic, const BuildOptions& options) {
    return CreateMosaic(source, mosaic, options, &lastReport_);
  };
  std::vector<DocumentListener*> listeners_;
};

// The text after the last '.' of the file name in path, lower-cased; the
// whole file name when it has no '.'.
std::string LowerExtension(const std::string& path);

// The photographs Open takes, "All pictures" first.
const std::vector<FileDialogType>& PhotoFileTypes();
// Whether path is named like one of them; when not, the user is told so.
bool CheckPhotoFileName(const std::string& path);

}  // namespace tesselor
