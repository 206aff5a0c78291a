// Picking a folder, with a status line under the dialog that names the
// folder the selection stands on; "Add new tiles" picks its photographs'
// folder with it.
#pragma once

#include <QCoreApplication>
#include <QFileDialog>
#include <QLabel>
#include <QPointer>
#include <QString>

namespace tesselor {

// The status line's text: long paths are cut to their first 35 characters
// followed by "...".
QString ShortenForStatusLine(const QString& folder);

class CFolderBrowser {
  Q_DECLARE_TR_FUNCTIONS(CFolderBrowser)

 public:
  static constexpr int kChosen = 1;
  static constexpr int kNotChosen = 2;
  static constexpr int kStatusLength = 35;

  // An empty initialFolder starts in the working directory.
  explicit CFolderBrowser(QString initialFolder = {}, QWidget* owner = nullptr);
  CFolderBrowser(const CFolderBrowser&) = delete;
  CFolderBrowser& operator=(const CFolderBrowser&) = delete;

  // Runs the dialog: kChosen with the folder in GetFolder, or kNotChosen.
  int DoModal();

  // The chosen folder's full path. After kNotChosen it holds the last folder
  // highlighted (the initial one if none was), which callers do not use.
  const QString& GetFolder() const { return folder_; }

  // The open dialog and its status line, for tests; null while not running.
  QFileDialog* Dialog() const { return dialog_; }
  QLabel* StatusLine() const { return status_; }

 private:
  void OnSelectionChanged(const QString& folder);

  QString initialFolder_;
  QPointer<QWidget> owner_;
  QString folder_;
  QPointer<QFileDialog> dialog_;
  QPointer<QLabel> status_;
};

}  // namespace tesselor
