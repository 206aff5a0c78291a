// The "Tile Libraries" dialog: every library beside the program with its
// number of tiles, a preview that steps through the selected library's tiles,
// and "Select Library" to make the selection the current library.
#pragma once

#include <QDialog>
#include <QTimer>
#include <functional>
#include <memory>
#include <set>
#include <string>

#include "imagelib/draw_dib_bmp.h"

class QTreeWidget;

namespace tesselor {

class CTilePreview;

class CLibraryChooserDlg : public QDialog {
  Q_OBJECT

 public:
  static constexpr int kPreviewPeriodMs = 1100;

  explicit CLibraryChooserDlg(QWidget* parent = nullptr);
  ~CLibraryChooserDlg() override;

  // Runs the dialog over parent; true when a library was confirmed.
  static bool Run(QWidget* parent);

  // Fills the list; done once, as soon as the dialog is on screen, so the
  // caption can show that counting is under way.
  void FillLibraryList();
  // What one tick of the preview timer does: the next tile.
  void OnTimer();

  void accept() override;

  // Seconds since the epoch for the caption's dots; tests set their own.
  std::function<qint64()> clock;

  bool ListFilled() const { return listFilled_; }
  const std::string& SelectedLibrary() const { return selectedLibrary_; }
  const QTimer& PreviewTimer() const { return timer_; }
  QTreeWidget* LibraryList() const { return list_; }
  CTilePreview* Preview() const { return preview_; }

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void OnCountingProgress();
  void OnSelectionChanged();
  void OnItemClicked();
  // Takes the selected item, if any, as the library to preview.
  bool TakeSelectedItem();
  void DrawPreview();
  void UpgradeSelectedLibrary();
  // Runs show (which opens a message) with the timer at rest, so a tick
  // cannot open a further message on top of it.
  void WithTimerPaused(const std::function<void()>& show);

  QTreeWidget* list_;
  CTilePreview* preview_;
  QTimer timer_;
  std::unique_ptr<CDrawDibBmp> previewBitmap_;
  std::string selectedLibrary_;
  std::set<std::string> reportedUnreadable_;
  int previewIndex_ = 0;
  int captionDots_ = 0;
  qint64 fillStartTime_ = 0;
  bool fillStarted_ = false;
  bool listFilled_ = false;
};

}  // namespace tesselor
