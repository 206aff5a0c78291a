// The desktop program's shell: message boxes, file dialogs, the wait cursor,
// beeps, progress windows and the modal dialogs the document runs, all on Qt.
#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <functional>

#include "platform/shell.h"

namespace tesselor {

class CMontageProgressDlg;
class RecentFileList;

// The modal dialogs the document opens. Each is set once its dialog exists;
// while one is missing its command is greyed.
struct DialogHooks {
  std::function<bool(CTesselorDoc&, QWidget* parent)> optionsDialog;
  std::function<bool(CTesselorDoc&, QWidget* parent)> wizard;
  std::function<void(CTesselorDoc&, bool createNewLibrary, QWidget* parent)> libraryManager;
  std::function<bool(QWidget* parent)> libraryChooser;
};

// A file dialog's list of types as Qt's filter text:
// "Windows Bitmap (*.bmp);;TIFF (*.tif *.tiff)".
QString QtFileFilter(const std::vector<FileDialogType>& types);

class QtShell : public Shell {
  Q_DECLARE_TR_FUNCTIONS(QtShell)

 public:  // The event queue is drained at most this often; the build asks far more
  // often than a person can click.
  static constexpr int kPumpIntervalMs = 5;

  QtShell() = default;
  QtShell(const QtShell&) = delete;
  QtShell& operator=(const QtShell&) = delete;

  // Dialogs and progress windows open over this window.
  void SetMainWindow(QWidget* window) { mainWindow_ = window; }
  void SetRecentFiles(RecentFileList* recentFiles) { recentFiles_ = recentFiles; }

  DialogHooks dialogs;

  // While set, every progress window, open or still to come, reports Abort,
  // so the work in hand stops in each of its phases.
  void StopWork(bool stop);

  MessageAnswer MessageBox(const std::string& text, MessageStyle style) override;
  std::unique_ptr<ProgressWindow> CreateProgressWindow() override;
  void PumpMessages() override;
  void BeginWaitCursor() override;
  void EndWaitCursor() override;
  void Beep(int frequencyHz, int durationMs) override;
  std::optional<std::string> FileDialog(FileDialogMode mode, const std::string& defaultExtension,
                                        const std::vector<FileDialogType>& types,
                                        const FileDialogLabels& labels = {}) override;
  std::optional<std::string> BrowseForFolder() override;
  bool RunOptionsDialog(CTesselorDoc& doc) override;
  bool RunWizard(CTesselorDoc& doc) override;
  void RunLibraryManager(CTesselorDoc& doc, bool createNewLibrary) override;
  bool RunLibraryChooser() override;
  void AddToRecentFiles(const std::string& path) override;

 private:
  QPointer<QWidget> mainWindow_;
  RecentFileList* recentFiles_ = nullptr;
  QElapsedTimer sinceLastPump_;
  QPointer<CMontageProgressDlg> progress_;
  bool stoppingWork_ = false;
};

}  // namespace tesselor
