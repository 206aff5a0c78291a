#include "app/main_frame.h"

#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFontMetrics>
#include <QIcon>
#include <QLabel>
#include <QMenuBar>
#include <QMimeData>
#include <QPageSetupDialog>
#include <QPrinter>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QWhatsThis>
#include <new>

#include "app/about_dlg.h"
#include "app/command_table.h"
#include "app/help_launcher.h"
#include "app/qt_shell.h"
#include "app/recent_file_list.h"
#include "app/tesselor_view.h"

namespace tesselor {

namespace {

constexpr const char* kAppTitle = "Tesselor";
constexpr int kRecentFileTextWidth = 420;

QString RecentFileText(int index, const QString& path, const QFontMetrics& metrics) {
  QString shown =
      metrics.elidedText(QDir::toNativeSeparators(path), Qt::ElideMiddle, kRecentFileTextWidth);
  return QString("&%1 %2").arg(index + 1).arg(shown.replace("&", "&&"));
}

}  // namespace

CMainFrame::CMainFrame(CTesselorDoc& doc, QtShell& shell, RecentFileList& recentFiles,
                       QWidget* parent)
    : QMainWindow(parent),
      doc_(doc),
      shell_(shell),
      recentFiles_(recentFiles),
      view_(new CTesselorView(doc)),
      help_(std::make_unique<HelpLauncher>(this)) {
  setWindowIcon(QIcon(":/icons/tesselor-256.png"));
  setCentralWidget(view_);
  setDockNestingEnabled(true);
  setAcceptDrops(true);
  CreateToolBar();
  CreateMenus();
  CreateStatusBar();
  doc_.AddListener(this);
  connect(&recentFiles_, &RecentFileList::Changed, this, &CMainFrame::RebuildRecentFiles);
  RebuildRecentFiles();
  OnTitleChanged();
  HelpLauncher::Install(help_.get());
  resize(900, 680);
}

CMainFrame::~CMainFrame() {
  doc_.RemoveListener(this);
}

QAction* CMainFrame::CreateAction(int id, const QString& text, const QString& iconName) {
  auto* action = new QAction(text, this);
  if (const CommandInfo* info = FindCommand(id)) {
    action->setStatusTip(info->prompt);
    if (!info->tooltip.isEmpty()) action->setToolTip(info->tooltip);
    action->setShortcuts(info->shortcuts);
  }
  if (!iconName.isEmpty()) {
    action->setIcon(QIcon(":/toolbar/" + iconName + ".png"));
    action->setIconVisibleInMenu(false);
  }
  connect(action, &QAction::triggered, this, [this, id] { Route(id); });
  // Keys work whether or not the command sits on a visible menu or toolbar.
  addAction(action);
  actions_.insert(id, action);
  return action;
}

void CMainFrame::CreateToolBar() {
  toolBar_ = new QToolBar("Toolbar", this);
  toolBar_->setObjectName("toolbar");
  toolBar_->setIconSize(QSize(20, 16));
  toolBar_->setMovable(true);
  toolBar_->setFloatable(true);
  toolBar_->setAllowedAreas(Qt::AllToolBarAreas);
  addToolBar(Qt::TopToolBarArea, toolBar_);

  toolBar_->addAction(CreateAction(kIdFileOpen, "&Open...\tCtrl+O", "open"));
  toolBar_->addAction(CreateAction(kIdFileSave, "&Save\tCtrl+S", "save"));
  toolBar_->addSeparator();
  toolBar_->addAction(CreateAction(kIdFilePrint, "&Print...\tCtrl+P", "print"));
  toolBar_->addSeparator();
  toolBar_->addAction(CreateAction(kIdAppAbout, "&About Tesselor...", "about"));
  toolBar_->addSeparator();
  toolBar_->addAction(CreateAction(kIdCreatePhotomosaic, "Create a photomosaic", "mosaic"));
  toolBar_->addAction(CreateAction(kIdFlip, "Flip between original and photomosaic", "flip"));
  toolBar_->addAction(CreateAction(kIdLibraryManager, "&Library manager ...", "library"));
  toolBar_->addSeparator();
  toolBar_->addAction(CreateAction(kIdZoomIn, "Zoom in", "zoomin"));
  toolBar_->addAction(CreateAction(kIdZoomOut, "Zoom out", "zoomout"));
  toolBar_->addAction(CreateAction(kIdZoomOneToOne, "View at 1:1 magnification", "oneone"));
  toolBar_->addSeparator();
  toolBar_->addAction(CreateAction(kIdWizard, "Wizard ...\t(ALT+W)", "wizard"));
}

void CMainFrame::CreateMenus() {
  fileMenu_ = menuBar()->addMenu("&File");
  fileMenu_->addAction(Action(kIdFileOpen));
  fileMenu_->addAction(Action(kIdFileSave));
  fileMenu_->addAction(CreateAction(kIdFileSaveAs, "Save &As..."));
  fileMenu_->addSeparator();
  fileMenu_->addAction(Action(kIdFilePrint));
  fileMenu_->addAction(CreateAction(kIdFilePrintPreview, "Print Pre&view"));
  fileMenu_->addAction(CreateAction(kIdFilePrintSetup, "P&rint Setup..."));
  fileMenu_->addSeparator();
  for (int i = 0; i < RecentFileList::kSize; ++i)
    fileMenu_->addAction(CreateAction(kIdFileRecentFirst + i, "Recent File"));
  recentFilesEnd_ = fileMenu_->addSeparator();
  fileMenu_->addAction(CreateAction(kIdAppExit, "E&xit"));

  QMenu* viewMenu = menuBar()->addMenu("&View");
  QAction* toolBarToggle = toolBar_->toggleViewAction();
  toolBarToggle->setText("&Toolbar");
  toolBarToggle->setStatusTip(FindCommand(kIdViewToolbar)->prompt);
  actions_.insert(kIdViewToolbar, toolBarToggle);
  viewMenu->addAction(toolBarToggle);
  QAction* statusBarToggle = CreateAction(kIdViewStatusBar, "&Status Bar");
  statusBarToggle->setCheckable(true);
  statusBarToggle->setChecked(true);
  viewMenu->addAction(statusBarToggle);
  viewMenu->addSeparator();
  viewMenu->addAction(CreateAction(kIdToggle, "T&oggle\t(Space)"));
  viewMenu->addSeparator();
  viewMenu->addAction(CreateAction(kIdMenuZoomIn, "Zoom &In \t(ALT +)"));
  viewMenu->addAction(CreateAction(kIdMenuZoomOut, "Zoom &Out \t(ALT -)"));
  viewMenu->addAction(CreateAction(kIdMenuZoomOneToOne, "&Zoom 1:1\t(ALT 1)"));

  QMenu* mosaicMenu = menuBar()->addMenu("&Mosaic");
  mosaicMenu->addAction(Action(kIdLibraryManager));
  mosaicMenu->addSeparator();
  mosaicMenu->addAction(Action(kIdWizard));
  mosaicMenu->addSeparator();
  mosaicMenu->addAction(CreateAction(kIdCreateMosaic, "&Create mosaic...\t(ALT+C)"));

  QMenu* helpMenu = menuBar()->addMenu("&Help");
  helpMenu->addAction(CreateAction(kIdHelpTopics, "&Help Topics"));
  helpMenu->addSeparator();
  helpMenu->addAction(Action(kIdAppAbout));

  // Commands reached only from the keyboard or from other windows.
  CreateAction(kIdFileNew, "New");
  CreateAction(kIdContextHelp, "Help");
  CreateAction(kIdSelectLibrary, "Select the current tile library");
  CreateAction(kIdNewLibrary, "Create a new tile library");
}

void CMainFrame::CreateStatusBar() {
  // A plain widget on the left of the bar is hidden while a prompt shows and
  // comes back when it goes, which is what the idle text needs.
  idleText_ = new QLabel(kIdleStatusText);
  statusBar()->addWidget(idleText_, 1);
}

void CMainFrame::RebuildRecentFiles() {
  const QStringList& files = recentFiles_.Files();
  const QFontMetrics metrics(fileMenu_->font());
  for (int i = 0; i < RecentFileList::kSize; ++i) {
    QAction* action = Action(kIdFileRecentFirst + i);
    if (i < files.size()) {
      action->setText(RecentFileText(i, files[i], metrics));
      action->setVisible(true);
    } else {
      // An empty list still shows its greyed place in the menu.
      action->setText("Recent File");
      action->setVisible(i == 0 && files.isEmpty());
    }
  }
  UpdateActions();
}

bool CMainFrame::IsEnabled(int id) const {
  if (!doc_.IsCommandEnabled(id)) return false;
  const DialogHooks& dialogs = shell_.dialogs;
  switch (id) {
    case kIdCreatePhotomosaic:
    case kIdCreateMosaic:
      return bool(dialogs.optionsDialog);
    case kIdWizard:
      return bool(dialogs.wizard);
    case kIdLibraryManager:
    case kIdNewLibrary:
      return bool(dialogs.libraryManager);
    case kIdSelectLibrary:
      return bool(dialogs.libraryChooser);
    default:
      if (id >= kIdFileRecentFirst && id <= kIdFileRecentLast)
        return id - kIdFileRecentFirst < recentFiles_.Files().size();
      return true;
  }
}

void CMainFrame::UpdateActions() {
  for (auto it = actions_.cbegin(); it != actions_.cend(); ++it)
    it.value()->setEnabled(IsEnabled(it.key()));
}

void CMainFrame::Route(int id) {
  if (!IsEnabled(id)) return;
  try {
    if (!view_->OnCommand(id) && !doc_.OnCommand(id)) RunFrameCommand(id);
  } catch (const std::bad_alloc&) {
    ShowMessage("There is not enough memory to complete the operation.", MessageStyle::kStop);
  } catch (const std::exception& error) {
    ShowMessage(error.what(), MessageStyle::kStop);
  }
  UpdateActions();
}

void CMainFrame::RunFrameCommand(int id) {
  switch (id) {
    case kIdFileNew:
      doc_.OnNewDocument();
      break;
    case kIdFilePrint:
      view_->Print(Printer());
      break;
    case kIdFilePrintPreview:
      view_->PrintPreview(Printer());
      break;
    case kIdFilePrintSetup: {
      QPageSetupDialog dialog(&Printer(), this);
      dialog.exec();
      break;
    }
    case kIdAppAbout: {
      CAboutDlg about(this);
      about.exec();
      break;
    }
    case kIdAppExit:
      close();
      break;
    case kIdHelpTopics:
      help_->WinHelp(0);
      break;
    case kIdContextHelp:
      QWhatsThis::enterWhatsThisMode();
      break;
    case kIdSelectLibrary:
      shell_.RunLibraryChooser();
      break;
    case kIdViewStatusBar:
      statusBar()->setVisible(Action(kIdViewStatusBar)->isChecked());
      break;
    default:
      if (id >= kIdFileRecentFirst && id <= kIdFileRecentLast)
        OpenRecentFile(id - kIdFileRecentFirst);
  }
}

void CMainFrame::OpenRecentFile(int index) {
  const QString path = recentFiles_.Files().value(index);
  if (path.isEmpty()) return;
  // A file that no longer opens is dropped from the list.
  if (!doc_.OpenDocumentFile(path.toStdString())) recentFiles_.Remove(path);
}

QPrinter& CMainFrame::Printer() {
  if (!printer_) printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
  return *printer_;
}

void CMainFrame::OnTitleChanged() {
  setWindowTitle(QString::fromStdString(doc_.Title()) + " - " + kAppTitle);
}

void CMainFrame::OnBusyChanged() {
  UpdateActions();
}

namespace {

// The first local file among the dropped addresses: one photograph is open
// at a time.
QString DroppedFile(const QMimeData* data) {
  if (!data) return {};
  for (const QUrl& url : data->urls())
    if (url.isLocalFile()) return url.toLocalFile();
  return {};
}

}  // namespace

void CMainFrame::dragEnterEvent(QDragEnterEvent* event) {
  if (IsEnabled(kIdFileOpen) && !DroppedFile(event->mimeData()).isEmpty())
    event->acceptProposedAction();
}

void CMainFrame::dropEvent(QDropEvent* event) {
  const QString path = DroppedFile(event->mimeData());
  if (!IsEnabled(kIdFileOpen) || path.isEmpty()) return;
  event->acceptProposedAction();
  // Opened once the drop is over: a message box inside the drop would hold
  // the dragging program until it closes.
  QTimer::singleShot(0, this, [this, path] { doc_.OpenDocumentFile(path.toStdString()); });
}

void CMainFrame::closeEvent(QCloseEvent* event) {
  if (!IsEnabled(kIdAppExit)) {
    event->ignore();
    return;
  }
  QMainWindow::closeEvent(event);
}

}  // namespace tesselor
