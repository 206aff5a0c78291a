// The program's one top-level window: menu, dockable toolbar, status bar and
// the view. CreateActions makes one action per command, shared by menu,
// toolbar and keyboard; UpdateActions alone decides which may run now.
#pragma once

#include <QMainWindow>
#include <array>
#include <functional>
#include <map>
#include <memory>

#include "app/recent_file_list.h"
#include "engine/tesselor_doc.h"

class QAction;
class QLabel;
class QPrinter;
class QToolBar;

namespace tesselor {

class CTesselorView;
class HelpLauncher;
class QtShell;

// The commands of the main window.
enum class Command {
  kOpen,
  kSave,
  kSaveAs,
  kPrint,
  kPrintPreview,
  kPrintSetup,
  kExit,
  kToolbar,
  kStatusBar,
  kFlip,
  kZoomIn,
  kZoomOut,
  kZoomOneToOne,
  kLibraryManager,
  kWizard,
  kCreateMosaic,
  kSaveTileList,
  kHelpTopics,
  kAbout,
  kNew,
  kContextHelp,
};

// The status-bar text while nothing is highlighted.
inline constexpr const char* kIdleStatusText =
    QT_TRANSLATE_NOOP("tesselor::CMainFrame", "For Help, press F1");

class CMainFrame : public QMainWindow, public DocumentListener {
  Q_OBJECT

 public:
  CMainFrame(CTesselorDoc& doc, QtShell& shell, RecentFileList& recentFiles,
             QWidget* parent = nullptr);
  ~CMainFrame() override;

  // Enables each command exactly when it may run: nothing that starts work
  // or leaves the program while a build runs, nothing whose dialog is
  // missing, a recent-file entry only while it holds a file.
  void UpdateActions();

  QAction* Action(Command command) const { return actions_.at(command); }
  QAction* RecentFileAction(int index) const { return recentActions_.at(index); }
  CTesselorView& View() const { return *view_; }
  QToolBar& ToolBar() const { return *toolBar_; }
  HelpLauncher& Help() const { return *help_; }
  QPrinter& Printer();

  void OnInitialUpdate() override;
  void OnUpdate() override { UpdateActions(); }
  void OnTitleChanged() override;
  void OnBusyChanged() override;

 protected:
  // Keeps the main keyboard's Alt+plus and Alt+minus from the zoom commands.
  bool event(QEvent* event) override;
  // Closing the window while a build runs offers to stop the build, and
  // closes once it has stopped.
  void closeEvent(QCloseEvent* event) override;
  // A photograph dropped on the window opens as File > Open would open it.
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void CreateActions();
  QAction* AddAction(Command command, const QString& text, const QString& statusTip,
                     const QKeySequence& key, std::function<void()> run);
  // Connects action to run, reporting what run throws.
  void Connect(QAction* action, std::function<void()> run);
  void CreateToolBar();
  void CreateMenus();
  void CreateStatusBar();
  bool IsEnabled(Command command) const;
  void RebuildRecentFiles();
  void OpenRecentFile(int index);
  void Print();
  void PrintPreview();
  void PrintSetup();
  void ShowAbout();
  // What the last build placed, in the status bar's own text until the
  // photograph changes; the idle text while there is none.
  void ShowTileUseSummary();

  CTesselorDoc& doc_;
  QtShell& shell_;
  RecentFileList& recentFiles_;
  CTesselorView* view_;
  QToolBar* toolBar_ = nullptr;
  QLabel* statusText_ = nullptr;
  std::map<Command, QAction*> actions_;
  std::array<QAction*, RecentFileList::kSize> recentActions_{};
  std::unique_ptr<HelpLauncher> help_;
  std::unique_ptr<QPrinter> printer_;
  bool closeAfterBuild_ = false;
};

}  // namespace tesselor
