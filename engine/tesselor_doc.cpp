#include "engine/tesselor_doc.h"

#include <algorithm>
#include <cstdio>
#include <new>

#include "engine/mosaic_bitmap.h"
#include "imagelib/photograph_decoder.h"
#include "imagelib/picture_writer.h"
#include "imagelib/text_exception.h"
#include "platform/app_paths.h"
#include "platform/directory_listing.h"
#include "platform/file_error.h"
#include "platform/shell.h"

namespace tesselor {

namespace {

constexpr const char* kUntitled = "Untitled";
constexpr const char* kDefaultExtension = "jpg";
constexpr int kBuildBeepHz = 300;
constexpr int kBuildBeepMs = 30;

constexpr const char* kNoMosaicMessage = "A Mosaic image has not been created yet";

// What Save As writes: the extension picks the writer.
const std::vector<FileDialogType> kMosaicFileTypes = {{"Compressed JPG", {"jpg", "jpeg"}},
                                                      {"Windows Bitmap", {"bmp"}}};

bool HasExtensionOf(const std::vector<FileDialogType>& types, const std::string& extension) {
  for (const FileDialogType& type : types)
    if (std::find(type.extensions.begin(), type.extensions.end(), extension) !=
        type.extensions.end())
      return true;
  return false;
}

void ShowSaveError(const std::string& path, const std::string& cause) {
  ShowMessage("Unable to save " + path + ".\n" + cause, MessageStyle::kStop);
}

}  // namespace

const std::vector<FileDialogType>& PhotoFileTypes() {
  static const std::vector<FileDialogType> types = [] {
    std::vector<FileDialogType> kinds = kMosaicFileTypes;
    kinds.insert(kinds.end(), {{"PNG", {"png"}},
                               {"TIFF", {"tif", "tiff"}},
                               {"WebP", {"webp"}},
                               {"HEIF and AVIF", {"heic", "heif", "avif"}}});
    FileDialogType all{"All pictures", {}};
    for (const FileDialogType& kind : kinds)
      all.extensions.insert(all.extensions.end(), kind.extensions.begin(), kind.extensions.end());
    kinds.insert(kinds.begin(), all);
    return kinds;
  }();
  return types;
}

bool CheckPhotoFileName(const std::string& path) {
  if (HasExtensionOf(PhotoFileTypes(), LowerExtension(path))) return true;
  ShowMessage("Tesselor only accepts JPEG, BMP, PNG, TIFF, WebP and HEIF image files",
              MessageStyle::kExclamation);
  return false;
}

std::string LowerExtension(const std::string& path) {
  const std::string name = path.substr(path.find_last_of('/') + 1);
  const size_t dot = name.find_last_of('.');
  return ToLowerAscii(dot == std::string::npos ? name : name.substr(dot + 1));
}

CTesselorDoc::CTesselorDoc() : title_(kUntitled) {}

void CTesselorDoc::OnFileOpen() {
  const std::optional<std::string> path =
      Shell::Instance().FileDialog(FileDialogMode::kOpen, kDefaultExtension, PhotoFileTypes());
  if (!path) return;
  if (OnOpenDocument(*path)) SetTitle(FileTitle(*path));
  Shell::Instance().AddToRecentFiles(*path);
  overwriteConfirmed_ = false;
  UpdateAllViews();
}

void CTesselorDoc::OnFileSave() {
  if (sourcePath_.empty()) {
    OnFileSaveAs();
    return;
  }
  // Asking whether to overwrite the photograph makes no sense while there is
  // nothing to write over it.
  if (!mosaicBuilt_) {
    ShowMessage(kNoMosaicMessage);
    return;
  }
  if (!overwriteConfirmed_) {
    const MessageAnswer answer = ShowMessage(
        "This will overwrite the original image with the photomosaic.\nAre you sure you want to do "
        "this?\n\nClick 'Yes' to overwrite the original image.\nClick 'No' to save the images "
        "under "
        "a different filename.\n",
        MessageStyle::kQuestion);
    if (answer != MessageAnswer::kYes) {
      OnFileSaveAs();
      return;
    }
    overwriteConfirmed_ = true;
  }
  OnSaveDocument(sourcePath_);
}

void CTesselorDoc::OnFileSaveAs() {
  const std::optional<std::string> path =
      Shell::Instance().FileDialog(FileDialogMode::kSave, kDefaultExtension, kMosaicFileTypes);
  if (!path) return;
  if (!OnSaveDocument(*path)) return;
  SetTitle(FileTitle(*path));
  Shell::Instance().AddToRecentFiles(*path);
}

void CTesselorDoc::OnNewDocument() {
  SetTitle(kUntitled);
  NotifyInitialUpdate();
}

bool CTesselorDoc::OpenDocumentFile(const std::string& path) {
  if (!OnOpenDocument(path)) return false;
  SetTitle(FileTitle(path));
  Shell::Instance().AddToRecentFiles(path);
  return true;
}

bool CTesselorDoc::OnOpenDocument(const std::string& path) {
  if (!CanOpenForReading(path)) {
    ShowMessage("Unable open file, it may have been moved or deleted");
    return false;
  }
  Paths().imageDirectory = CurrentDirectory();
  if (!CheckPhotoFileName(path)) return false;
  // Decode into a bitmap of its own, so a file that turns out to be broken
  // leaves the current photograph and mosaic in place.
  auto source = std::make_unique<CDrawDibBmp>();
  try {
    CPhotographDecoder().DecodeFile(path, *source, 32);
  } catch (const std::exception&) {  // CTextException, or no memory for the pixels
    ShowMessage("Unable to read file, it may not contain a valid image",
                MessageStyle::kExclamation);
    return false;
  }
  mosaicImage_.reset();
  sourceImage_ = std::move(source);
  mosaicImage_ = NewMosaicBitmap(*sourceImage_, 1.0);
  mosaicBuilt_ = false;
  showOriginal_ = true;
  sourcePath_ = path;
  // Else the options would show the new photograph's mosaic at the old
  // photograph's typed size, beside a spinner that says otherwise.
  settings.ForgetTypedSize();
  // A Yes to overwriting was about the previous photograph; a newly opened
  // one must not be written over without asking again.
  overwriteConfirmed_ = false;
  NotifyInitialUpdate();
  return true;
}

bool CTesselorDoc::OnSaveDocument(const std::string& path) {
  if (!mosaicImage_ || !mosaicBuilt_) {
    ShowMessage(kNoMosaicMessage);
    return false;
  }
  const std::string extension = LowerExtension(path);
  const std::optional<PictureType> type = PictureTypeFor(extension);
  if (!type) {
    const MessageAnswer answer = ShowMessage(
        "Tesselor writes image files in JPEG and BMP file formats\nThe file exntension you have "
        "provided, '" +
            extension + "' will not be recognised\n\nContinue to save with this extension?",
        MessageStyle::kQuestion);
    if (answer != MessageAnswer::kYes) return false;
  }
  try {
    // A name no writer takes, kept after the question, gets a JPEG.
    WritePicture(*mosaicImage_, path, type.value_or(PictureType::kJpeg));
  } catch (const FileError& error) {
    ShowSaveError(error.Path(), error.Cause());
    return false;
  } catch (const CTextException& error) {
    ShowSaveError(path, error.GetText());
    return false;
  } catch (const std::bad_alloc&) {
    ShowSaveError(path, "There is not enough memory to write the file.");
    return false;
  }
  sourcePath_ = path;
  return true;
}

void CTesselorDoc::OnCreateMosaic() {
  if (!sourceImage_) {
    ShowMessage("You must load an image before you can create a montage",
                MessageStyle::kInformation);
    return;
  }
  settings.sourceWidth = sourceImage_->width;
  settings.sourceHeight = sourceImage_->height;
  if (!Shell::Instance().RunOptionsDialog(*this)) return;

  mosaicImage_.reset();  // the old mosaic's memory may be needed for the new one
  mosaicImage_ = NewMosaicBitmap(*sourceImage_, settings.magnification);
  if (!mosaicImage_) {
    // With the old mosaic gone the views fall back to the photograph.
    mosaicBuilt_ = false;
    showOriginal_ = true;
    UpdateAllViews();
    ShowMessage(
        "Not enough memory to create the mosaic image.\nTry selecting a lower magnification.");
    return;
  }
  BuildMosaic(settings.ToBuildOptions());
}

void CTesselorDoc::OnWizard() {
  wizardChoices = WizardChoices{};
  if (sourceImage_) wizardChoices.imagePath = sourcePath_;
  wizardChoices.showAtStart = profile_->GetProfileInt(kWizardProfileName, 1) != 0;
  if (!Shell::Instance().RunWizard(*this)) return;

  const std::string path = wizardChoices.imagePath;
  // The build needs the mosaic bitmap the open makes (the photograph's size,
  // for the wizard's magnification of 1); after a failed open there is none.
  const bool opened = OnOpenDocument(path);
  if (opened) SetTitle(path);
  Shell::Instance().AddToRecentFiles(path);
  const int position =
      std::clamp(wizardChoices.tileSizePosition, 0, static_cast<int>(kTileSizeChoices.size()) - 1);
  const int tileSize = kTileSizeChoices[position];
  profile_->WriteProfileInt(kWizardProfileName, wizardChoices.showAtStart ? 1 : 0);
  if (opened && mosaicImage_) {
    // The cache switch is the user's standing choice, not a style the
    // wizard picks for them.
    BuildOptions options = WizardBuildOptions(tileSize, wizardChoices.randomPattern);
    options.useTileCache = settings.useTileCache;
    BuildMosaic(options);
  }
}

void CTesselorDoc::BuildMosaic(const BuildOptions& options) {
  lastReport_ = BuildReport{};
  SetBusy(true);
  BuildOutcome outcome;
  try {
    outcome = builder_(*sourceImage_, *mosaicImage_, options);
  } catch (...) {
    SetBusy(false);  // or every command would stay greyed for good
    throw;
  }
  SetBusy(false);
  // Whatever the build painted, all or part, is now the mosaic. A build that
  // painted nothing leaves a blank bitmap, which Save would write as a black
  // picture over the photograph: that is no mosaic, and the photograph stays.
  mosaicBuilt_ = outcome == BuildOutcome::kCompleted || outcome == BuildOutcome::kAborted;
  Shell::Instance().Beep(kBuildBeepHz, kBuildBeepMs);
  showOriginal_ = !mosaicBuilt_;
  UpdateAllViews();
}

void CTesselorDoc::OnSaveTileList() {
  if (!mosaicBuilt_) {
    ShowMessage(kNoMosaicMessage);
    return;
  }
  // Named after the photograph (or the mosaic last saved), so the list
  // lands beside the picture it describes.
  const std::optional<std::string> path =
      Shell::Instance().FileDialog(FileDialogMode::kSave, "csv", {{"Tile list", {"csv"}}},
                                   {"Save Tile List", FileTitle(sourcePath_) + ".csv"});
  if (!path) return;
  try {
    lastReport_.tilesUsed.Save(*path);
  } catch (const FileError& error) {
    ShowSaveError(error.Path(), error.Cause());
  }
}

void CTesselorDoc::OnFlip() {
  showOriginal_ = !showOriginal_;
  UpdateAllViews();
}

void CTesselorDoc::OnLibraryManager() {
  Shell::Instance().RunLibraryManager(*this, false);
}

void CTesselorDoc::OnNewLibrary() {
  Shell::Instance().RunLibraryManager(*this, true);
}

const CDrawDibBmp* CTesselorDoc::CurrentPicture() const {
  if (showOriginal_ || !mosaicImage_) return sourceImage_.get();
  return mosaicImage_.get();
}

int CTesselorDoc::DisplayWidth() const {
  if (mosaicImage_) return mosaicImage_->width;
  return sourceImage_ ? sourceImage_->width : 0;
}

int CTesselorDoc::DisplayHeight() const {
  if (mosaicImage_) return mosaicImage_->height;
  return sourceImage_ ? sourceImage_->height : 0;
}

void CTesselorDoc::RemoveListener(DocumentListener* listener) {
  listeners_.erase(std::remove(listeners_.begin(), listeners_.end(), listener), listeners_.end());
}

void CTesselorDoc::UpdateAllViews() {
  for (DocumentListener* listener : listeners_) listener->OnUpdate();
}

void CTesselorDoc::NotifyInitialUpdate() {
  for (DocumentListener* listener : listeners_) listener->OnInitialUpdate();
}

void CTesselorDoc::SetTitle(const std::string& title) {
  title_ = title;
  for (DocumentListener* listener : listeners_) listener->OnTitleChanged();
}

void CTesselorDoc::SetBusy(bool busy) {
  busy_ = busy;
  for (DocumentListener* listener : listeners_) listener->OnBusyChanged();
}

}  // namespace tesselor
