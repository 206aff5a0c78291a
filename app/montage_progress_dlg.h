// The small modeless window shown while a tile library loads and a mosaic is
// built: a status line, a progress bar and an Abort button. The engine drives
// it between steps and reads the abort flag; clicks reach it only while the
// engine drains the event queue.
#pragma once

#include <QDialog>

#include "platform/progress_window.h"

class QLabel;
class QProgressBar;
class QPushButton;

namespace tesselor {

class CMontageProgressDlg : public QDialog, public ProgressWindow {
  Q_OBJECT

 public:
  explicit CMontageProgressDlg(QWidget* owner);

  void SetRange(int64_t low, int64_t high) override;
  void SetPos(int64_t pos) override;
  void StepIt() override;
  void SetStatusText(const std::string& text) override;
  bool AbortRequested() const override { return abortRequested_; }
  void RequestAbort() { abortRequested_ = true; }

  QPushButton* AbortButton() const { return abortButton_; }
  QProgressBar* ProgressBar() const { return progressBar_; }
  QLabel* StatusLine() const { return statusLine_; }

 protected:
  // Enter and Escape neither close the window nor abort: only the button
  // stops the work, and the engine closes the window.
  void keyPressEvent(QKeyEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  QLabel* statusLine_;
  QProgressBar* progressBar_;
  QPushButton* abortButton_;
  bool abortRequested_ = false;
};

}  // namespace tesselor
