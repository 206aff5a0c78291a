// The "Library manager" dialog: the tiles of the current library in a sorted
// list with a preview of the one last clicked, and the commands that add
// tiles made from a folder of photographs, delete, rename, choose another
// library and create a new one.
#pragma once

#include <QDialog>
#include <QStringList>
#include <memory>
#include <optional>
#include <string>

#include "imagelib/draw_dib_bmp.h"
#include "library/tile_making_run.h"

class QComboBox;
class QLabel;
class QListWidget;
class QProgressBar;
class QPushButton;

namespace tesselor {

class CTesselorDoc;
class CTilePreview;

class CLibraryManagerDlg : public QDialog {
  Q_OBJECT

 public:
  explicit CLibraryManagerDlg(QWidget* parent = nullptr);
  ~CLibraryManagerDlg() override;

  // What the library manager command runs over parent: the dialog, or for a
  // new library only the questions that make one.
  static void Run(CTesselorDoc& doc, bool createNewLibrary, QWidget* parent);

  // Refills the list from the current library, previews the first tile
  // found and shows the count.
  void RefreshTileList();

  // While tiles are being made, closing waits for the tile in hand.
  void done(int result) override;

  bool MakingTiles() const { return run_.MakingTiles(); }
  // The list's names, top to bottom.
  QStringList TileNames() const;

 private:
  // The buttons' commands.
  void MakeTilesFromFolder();
  void DeleteSelectedTiles();
  void RenameAllTiles();
  void SelectTileLibrary();
  void CreateNewLibrary();

  QPushButton* AddButton(const QString& text, const char* name,
                         void (CLibraryManagerDlg::*handler)());
  tesselor::ProgressBar ProgressCallbacks();
  void ShowProgress(int total);
  void HideProgress();
  void ShowCount();
  void LoadPreview(const std::string& name);
  void ShowMadeTile(const CBmp& tile);
  void ShowBlackPreview();

  QListWidget* tileList_;
  CTilePreview* preview_;
  QProgressBar* progressBar_;
  QLabel* countText_;
  // How "Add new tiles" makes square tiles of photos that are not square.
  QComboBox* fit_;
  // Why the current library's tiles cannot be changed; hidden when they can.
  QLabel* unchangeableNotice_;
  std::unique_ptr<CDrawDibBmp> previewBitmap_;
  TileMakingRun run_;
  // A close asked for while tiles were being made, done once the run ends.
  std::optional<int> pendingResult_;
};

// Asks for a name and makes that library, which becomes the current one.
// False when the question was cancelled or the folder could not be made (the
// user has been told).
bool CreateNewLibraryFromDialog(QWidget* parent);

}  // namespace tesselor
