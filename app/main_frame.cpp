#include "app/main_frame.h"

#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFontMetrics>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QMimeData>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QWhatsThis>
#include <new>

#include "app/about_dlg.h"
#include "app/help_launcher.h"
#include "app/qt_shell.h"
#include "app/run_modal.h"
#include "app/tesselor_view.h"

namespace tesselor {

namespace {

constexpr int kRecentFileTextWidth = 420;

// Alt with a keypad key. Qt's X11 and Wayland key maps drop the keypad
// modifier before they match a real key press against shortcuts, so the
// press matches the plain form alone; the keypad form comes first so that
// menus name the key, and matches events that keep the modifier.
QList<QKeySequence> AltKeypad(Qt::Key key) {
  return {QKeySequence(QKeyCombination(Qt::AltModifier | Qt::KeypadModifier, key)),
          QKeySequence(QKeyCombination(Qt::AltModifier, key))};
}

// Alt with the main keyboard's plus or minus, which the plain zoom shortcuts
// would take too: the zoom keys are the keypad's.
bool IsMainKeyboardZoomKey(const QKeyEvent& key) {
  return (key.key() == Qt::Key_Plus || key.key() == Qt::Key_Minus) &&
         key.modifiers().testFlag(Qt::AltModifier) && !key.modifiers().testFlag(Qt::KeypadModifier);
}

QString RecentFileText(int index, const QString& path, const QFontMetrics& metrics) {
  QString shown =
      metrics.elidedText(QDir::toNativeSeparators(path), Qt::ElideMiddle, kRecentFileTextWidth);
  return QStringLiteral("&%1 %2").arg(index + 1).arg(shown.replace("&", "&&"));
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
  CreateActions();
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

void CMainFrame::CreateActions() {
  AddAction(Command::kOpen, tr("&Open..."), tr("Open an existing document"),
            QKeySequence(Qt::CTRL | Qt::Key_O), [this] { doc_.OnFileOpen(); });
  AddAction(Command::kSave, tr("&Save"), tr("Save the active document"),
            QKeySequence(Qt::CTRL | Qt::Key_S), [this] { doc_.OnFileSave(); });
  AddAction(Command::kSaveAs, tr("Save &As..."), tr("Save the active document with a new name"), {},
            [this] { doc_.OnFileSaveAs(); });
  AddAction(Command::kPrint, tr("&Print..."), tr("Print the active document"),
            QKeySequence(Qt::CTRL | Qt::Key_P), [this] { Print(); });
  AddAction(Command::kPrintPreview, tr("Print Pre&view"), tr("Display full pages"), {},
            [this] { PrintPreview(); });
  AddAction(Command::kPrintSetup, tr("P&rint Setup..."),
            tr("Change the printer and printing options"), {}, [this] { PrintSetup(); });
  AddAction(Command::kExit, tr("E&xit"), tr("Quit the application; prompts to save documents"), {},
            [this] { close(); });
  QAction* statusBarShown =
      AddAction(Command::kStatusBar, tr("&Status Bar"), tr("Show or hide the status bar"), {},
                [this] { statusBar()->setVisible(Action(Command::kStatusBar)->isChecked()); });
  statusBarShown->setCheckable(true);
  statusBarShown->setChecked(true);
  AddAction(Command::kFlip, tr("T&oggle"),
            tr("Toggle view between original image and its photomosaic"),
            QKeySequence(Qt::Key_Space), [this] { doc_.OnFlip(); });
  AddAction(Command::kZoomIn, tr("Zoom &In"), tr("Increase the magnification of the image"), {},
            [this] { view_->ZoomIn(); })
      ->setShortcuts(AltKeypad(Qt::Key_Plus));
  AddAction(Command::kZoomOut, tr("Zoom &Out"), tr("Decrease the magnification of the image"), {},
            [this] { view_->ZoomOut(); })
      ->setShortcuts(AltKeypad(Qt::Key_Minus));
  // The key 1 alone, not Alt+1, gives 1:1.
  AddAction(Command::kZoomOneToOne, tr("&Zoom 1:1"), tr("View the image with a 1:1 magnification"),
            QKeySequence(Qt::Key_1), [this] { view_->ZoomOneToOne(); });
  AddAction(Command::kLibraryManager, tr("&Library manager ..."),
            tr("Add and remove tiles from the current tile library"), {},
            [this] { doc_.OnLibraryManager(); });
  AddAction(Command::kWizard, tr("Wizard ..."), tr("Launch the Photomosaic Wizard"),
            QKeySequence(Qt::ALT | Qt::Key_W), [this] { doc_.OnWizard(); });
  AddAction(Command::kCreateMosaic, tr("&Create mosaic..."),
            tr("Create a photomosaic of the current image"), QKeySequence(Qt::ALT | Qt::Key_C),
            [this] { doc_.OnCreateMosaic(); });
  AddAction(Command::kSaveTileList, tr("Save &tile list..."),
            tr("Save where each tile of the mosaic went and which photo it shows, as CSV"), {},
            [this] { doc_.OnSaveTileList(); });
  AddAction(Command::kHelpTopics, tr("&Help Topics"), tr("List Help topics"),
            QKeySequence(Qt::Key_F1), [this] { help_->ShowTopic(HelpTopic::kIntroduction); });
  AddAction(Command::kAbout, tr("&About Tesselor..."),
            tr("Display program information, version number and copyright"), {},
            [this] { ShowAbout(); });
  // Reached only from the keyboard.
  AddAction(Command::kNew, tr("New"), tr("Create a new document"),
            QKeySequence(Qt::CTRL | Qt::Key_N), [this] { doc_.OnNewDocument(); });
  AddAction(Command::kContextHelp, tr("Help"),
            tr("Display help for clicked on buttons, menus and windows"),
            QKeySequence(Qt::SHIFT | Qt::Key_F1), [] { QWhatsThis::enterWhatsThisMode(); });

  for (int i = 0; i < RecentFileList::kSize; ++i) {
    auto* action = new QAction(this);
    action->setStatusTip(tr("Open this document"));
    Connect(action, [this, i] { OpenRecentFile(i); });
    recentActions_[i] = action;
  }
}

QAction* CMainFrame::AddAction(Command command, const QString& text, const QString& statusTip,
                               const QKeySequence& key, std::function<void()> run) {
  auto* action = new QAction(text, this);
  action->setStatusTip(statusTip);
  action->setShortcut(key);
  Connect(action, std::move(run));
  // Keys work whether or not the command sits on a visible menu or toolbar.
  addAction(action);
  actions_[command] = action;
  return action;
}

void CMainFrame::Connect(QAction* action, std::function<void()> run) {
  // A disabled action never triggers, so UpdateActions is all the gating.
  connect(action, &QAction::triggered, this, [this, run = std::move(run)] {
    try {
      run();
    } catch (const std::bad_alloc&) {
      ShowMessage(tr("There is not enough memory to complete the operation.").toStdString(),
                  MessageStyle::kStop);
    } catch (const std::exception& error) {
      ShowMessage(error.what(), MessageStyle::kStop);
    }
    UpdateActions();
  });
}

void CMainFrame::CreateToolBar() {
  toolBar_ = new QToolBar(tr("Toolbar"), this);
  toolBar_->setObjectName("toolbar");
  toolBar_->setIconSize(QSize(20, 16));
  toolBar_->setMovable(true);
  toolBar_->setFloatable(true);
  toolBar_->setAllowedAreas(Qt::AllToolBarAreas);
  addToolBar(Qt::TopToolBarArea, toolBar_);

  const auto button = [this](Command command, const char* icon, const QString& toolTip) {
    QAction* action = Action(command);
    action->setIcon(QIcon(QStringLiteral(":/toolbar/%1.png").arg(QLatin1String(icon))));
    action->setIconVisibleInMenu(false);
    action->setToolTip(toolTip);
    toolBar_->addAction(action);
  };
  button(Command::kOpen, "open", tr("Open"));
  button(Command::kSave, "save", tr("Save"));
  toolBar_->addSeparator();
  button(Command::kPrint, "print", tr("Print"));
  toolBar_->addSeparator();
  button(Command::kAbout, "about", tr("About"));
  toolBar_->addSeparator();
  button(Command::kCreateMosaic, "mosaic", tr("Create a photomosaic"));
  button(Command::kFlip, "flip", tr("Flip between original and photomosaic"));
  button(Command::kLibraryManager, "library", tr("Tile library manager"));
  toolBar_->addSeparator();
  button(Command::kZoomIn, "zoomin", tr("Zoom in"));
  button(Command::kZoomOut, "zoomout", tr("Zoom out"));
  button(Command::kZoomOneToOne, "oneone", tr("View at 1:1 magnification"));
  toolBar_->addSeparator();
  button(Command::kWizard, "wizard", tr("Photomosaic Wizard"));

  QAction* shown = toolBar_->toggleViewAction();
  shown->setText(tr("&Toolbar"));
  shown->setStatusTip(tr("Show or hide the toolbar"));
  actions_[Command::kToolbar] = shown;
}

void CMainFrame::CreateMenus() {
  const auto menu = [this](const QString& title, std::initializer_list<Command> commands) {
    QMenu* added = menuBar()->addMenu(title);
    for (Command command : commands) added->addAction(Action(command));
    return added;
  };
  QMenu* file = menu(tr("&File"), {Command::kOpen, Command::kSave, Command::kSaveAs});
  file->addSeparator();
  file->addActions(
      {Action(Command::kPrint), Action(Command::kPrintPreview), Action(Command::kPrintSetup)});
  file->addSeparator();
  for (QAction* recent : recentActions_) file->addAction(recent);
  file->addSeparator();
  file->addAction(Action(Command::kExit));

  QMenu* view = menu(tr("&View"), {Command::kToolbar, Command::kStatusBar});
  view->addSeparator();
  view->addAction(Action(Command::kFlip));
  view->addSeparator();
  view->addActions(
      {Action(Command::kZoomIn), Action(Command::kZoomOut), Action(Command::kZoomOneToOne)});

  QMenu* mosaic = menu(tr("&Mosaic"), {Command::kLibraryManager});
  mosaic->addSeparator();
  mosaic->addAction(Action(Command::kWizard));
  mosaic->addSeparator();
  mosaic->addAction(Action(Command::kCreateMosaic));
  mosaic->addAction(Action(Command::kSaveTileList));

  QMenu* help = menu(tr("&Help"), {Command::kHelpTopics});
  help->addSeparator();
  help->addAction(Action(Command::kAbout));
}

void CMainFrame::CreateStatusBar() {
  // A plain widget on the left of the bar is hidden while a prompt shows and
  // comes back when it goes, which is what the idle text and a build's
  // summary need: a temporary message would be wiped by the first menu
  // prompt the pointer passes.
  statusText_ = new QLabel(tr(kIdleStatusText));
  statusBar()->addWidget(statusText_, 1);
}

void CMainFrame::RebuildRecentFiles() {
  const QStringList& files = recentFiles_.Files();
  const QFontMetrics metrics(menuBar()->font());
  for (int i = 0; i < RecentFileList::kSize; ++i) {
    QAction* action = recentActions_[i];
    if (i < files.size()) {
      action->setText(RecentFileText(i, files[i], metrics));
      action->setVisible(true);
    } else {
      // An empty list still shows its greyed place in the menu.
      action->setText(tr("Recent File"));
      action->setVisible(i == 0 && files.isEmpty());
    }
  }
  UpdateActions();
}

bool CMainFrame::IsEnabled(Command command) const {
  switch (command) {
    case Command::kToolbar:
    case Command::kStatusBar:
    case Command::kNew:
      return true;
    case Command::kCreateMosaic:
      return !doc_.IsBusy() && shell_.dialogs.optionsDialog;
    case Command::kWizard:
      return !doc_.IsBusy() && shell_.dialogs.wizard;
    case Command::kLibraryManager:
      return !doc_.IsBusy() && shell_.dialogs.libraryManager;
    case Command::kSaveTileList:
      return !doc_.IsBusy() && doc_.MosaicBuilt();
    default:
      return !doc_.IsBusy();
  }
}

void CMainFrame::UpdateActions() {
  for (const auto& [command, action] : actions_) action->setEnabled(IsEnabled(command));
  // A recent file opened mid-build would replace the bitmaps the build is
  // painting.
  for (int i = 0; i < RecentFileList::kSize; ++i)
    recentActions_[i]->setEnabled(!doc_.IsBusy() && i < recentFiles_.Files().size());
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

void CMainFrame::Print() {
  if (!RunModal(new QPrintDialog(&Printer(), this))) return;
  QPainter painter(&Printer());
  view_->PrintPage(painter);
}

void CMainFrame::PrintPreview() {
  auto* preview = new QPrintPreviewDialog(&Printer(), this);
  connect(preview, &QPrintPreviewDialog::paintRequested, this, [this](QPrinter* target) {
    QPainter painter(target);
    view_->PrintPage(painter);
  });
  RunModal(preview);
}

void CMainFrame::PrintSetup() {
  RunModal(new QPageSetupDialog(&Printer(), this));
}

void CMainFrame::ShowAbout() {
  RunModal(new CAboutDlg(this));
}

void CMainFrame::OnTitleChanged() {
  setWindowTitle(tr("%1 - Tesselor").arg(QString::fromStdString(doc_.Title())));
}

void CMainFrame::ShowTileUseSummary() {
  const TileUseRecord& record = doc_.TilesUsed();
  QString text = QString::fromStdString(record.SummaryLine());
  if (const std::string broken = record.RulesBrokenLine(); !broken.empty())
    text += tr("; %1: the library has too few photos for them").arg(QString::fromStdString(broken));
  statusText_->setText(text.isEmpty() ? tr(kIdleStatusText) : text);
}

void CMainFrame::OnInitialUpdate() {
  UpdateActions();
  // A newly opened photograph has no mosaic for the summary to describe.
  statusText_->setText(tr(kIdleStatusText));
}

void CMainFrame::OnBusyChanged() {
  UpdateActions();
  if (!doc_.IsBusy()) ShowTileUseSummary();
  if (doc_.IsBusy() || !closeAfterBuild_) return;
  closeAfterBuild_ = false;
  shell_.StopWork(false);
  // The build is still on its way out further down the call stack.
  QTimer::singleShot(0, this, &QWidget::close);
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
  if (IsEnabled(Command::kOpen) && !DroppedFile(event->mimeData()).isEmpty())
    event->acceptProposedAction();
}

void CMainFrame::dropEvent(QDropEvent* event) {
  const QString path = DroppedFile(event->mimeData());
  if (!IsEnabled(Command::kOpen) || path.isEmpty()) return;
  event->acceptProposedAction();
  // Opened once the drop is over: a message box inside the drop would hold
  // the dragging program until it closes.
  QTimer::singleShot(0, this, [this, path] { doc_.OpenDocumentFile(path.toStdString()); });
}

bool CMainFrame::event(QEvent* event) {
  if (event->type() == QEvent::ShortcutOverride &&
      IsMainKeyboardZoomKey(static_cast<const QKeyEvent&>(*event))) {
    // Claimed here, so no shortcut takes the key.
    event->accept();
    return true;
  }
  return QMainWindow::event(event);
}

void CMainFrame::closeEvent(QCloseEvent* event) {
  if (!doc_.IsBusy()) {
    QMainWindow::closeEvent(event);
    return;
  }
  // The build drains events from its own loop; the window can only go once
  // that loop has ended.
  event->ignore();
  const MessageAnswer answer = ShowMessage(
      tr("A mosaic is being built.\nStop building it and close Tesselor?").toStdString(),
      MessageStyle::kQuestion);
  if (answer != MessageAnswer::kYes) return;
  closeAfterBuild_ = true;
  shell_.StopWork(true);
}

}  // namespace tesselor
