// The program's one top-level window: menu, dockable toolbar, status bar and
// the view. Every command from menu, toolbar or keyboard goes through Route,
// which hands it to the view, then the document, then the frame itself; one
// UpdateActions greys what may not run now.
#pragma once

#include <QHash>
#include <QMainWindow>
#include <memory>

#include "engine/tesselor_doc.h"

class QAction;
class QLabel;
class QMenu;
class QPrinter;
class QToolBar;

namespace tesselor {

class CTesselorView;
class HelpLauncher;
class QtShell;
class RecentFileList;

class CMainFrame : public QMainWindow, public DocumentListener {
  Q_OBJECT

 public:
  CMainFrame(CTesselorDoc& doc, QtShell& shell, RecentFileList& recentFiles,
             QWidget* parent = nullptr);
  ~CMainFrame() override;

  // Runs command id if it may run now.
  void Route(int id);
  // Whether command id may run now: not while a build runs (for the commands
  // that start work), not while its dialog is missing, and a recent-file
  // entry only while it holds a file.
  bool IsEnabled(int id) const;
  void UpdateActions();

  QAction* Action(int id) const { return actions_.value(id); }
  CTesselorView& View() const { return *view_; }
  QToolBar& ToolBar() const { return *toolBar_; }
  HelpLauncher& Help() const { return *help_; }
  QPrinter& Printer();

  void OnTitleChanged() override;
  void OnBusyChanged() override;

 protected:
  // Closing the window while a build runs is refused, as Exit is.
  void closeEvent(QCloseEvent* event) override;
  // A photograph dropped on the window opens as File > Open would open it.
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  QAction* CreateAction(int id, const QString& text, const QString& iconName = QString());
  void CreateMenus();
  void CreateToolBar();
  void CreateStatusBar();
  void RebuildRecentFiles();
  void RunFrameCommand(int id);
  void OpenRecentFile(int index);

  CTesselorDoc& doc_;
  QtShell& shell_;
  RecentFileList& recentFiles_;
  CTesselorView* view_;
  QToolBar* toolBar_ = nullptr;
  QLabel* idleText_ = nullptr;
  QMenu* fileMenu_ = nullptr;
  QAction* recentFilesEnd_ = nullptr;  // the separator after the recent files
  QHash<int, QAction*> actions_;
  std::unique_ptr<HelpLauncher> help_;
  std::unique_ptr<QPrinter> printer_;
};

}  // namespace tesselor
