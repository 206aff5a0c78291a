#include "app/main_frame.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QAction>
#include <QDragEnterEvent>
#include <QFile>
#include <QLabel>
#include <QMenuBar>
#include <QMimeData>
#include <QProcess>
#include <QStandardPaths>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTest>
#include <QToolBar>

#include "app/help_launcher.h"
#include "app/qt_shell.h"
#include "app/recent_file_list.h"
#include "app/tesselor_view.h"
#include "platform/app_paths.h"
#include "tests/support/scripted_shell.h"
#include "tests/ui/ui_test_support.h"

namespace tesselor {
namespace {

using testing::Rgb;

// The frame with a document whose messages and dialogs are scripted; the Qt
// shell only says which dialogs exist.
class FrameTest : public ::testing::Test {
 protected:
  FrameTest()
      : settings(QString::fromStdString(dir.File("settings.conf")), QSettings::IniFormat),
        recentFiles(settings),
        frame(doc, qtShell, recentFiles) {
    qtShell.dialogs.optionsDialog = [](CTesselorDoc&, QWidget*) { return true; };
    scripted.optionsDialog = [](CTesselorDoc&) { return true; };
    doc.SetBuilder([this](const CBmp& source, CBmp& mosaic, const BuildOptions& options) {
      testing::FillBitmap(mosaic, mosaic.width, mosaic.height, [](int x, int y) {
        return Rgb{uint8_t(40 + (x / 8 % 2) * 150), uint8_t(90 + (y / 8 % 2) * 100), 160};
      });
      if (duringBuild) duringBuild();
      return source.width && options.tileSize ? BuildOutcome::kCompleted : BuildOutcome::kNoTiles;
    });
    frame.UpdateActions();
  }

  std::string WritePhoto(const std::string& name = "photo.bmp") {
    const std::string path = dir.File(name);
    testing::WritePhoto(path, 320, 240, [](int x, int y) {
      return Rgb{uint8_t(200 - y / 2), uint8_t(120 + x / 4), uint8_t(60 + y / 3)};
    });
    return path;
  }

  // The texts of a menu's visible entries, each with its shortcut after a
  // tab as the menu shows it; separators as "".
  QStringList MenuTexts(int index) {
    QStringList texts;
    for (QAction* action : frame.menuBar()->actions()[index]->menu()->actions()) {
      if (!action->isVisible()) continue;
      QString text = action->isSeparator() ? QString() : action->text();
      if (!action->shortcut().isEmpty()) text += "\t" + action->shortcut().toString();
      texts.append(text);
    }
    return texts;
  }

  void ShowAndActivate() {
    frame.show();
    frame.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&frame));
  }

  testing::WithTestApplication application;
  testing::TempDir dir;
  QSettings settings;
  RecentFileList recentFiles;
  ScriptedShell scripted;
  QtShell qtShell;
  CTesselorDoc doc;
  CMainFrame frame;
  std::function<void()> duringBuild;
};

TEST_F(FrameTest, MenusHoldTheirEntriesWithAccessKeysAndShortcutTexts) {
  QStringList titles;
  for (QAction* menu : frame.menuBar()->actions()) titles.append(menu->text());
  EXPECT_EQ(titles, QStringList({"&File", "&View", "&Mosaic", "&Help"}));
  EXPECT_EQ(MenuTexts(0), QStringList({"&Open...\tCtrl+O", "&Save\tCtrl+S", "Save &As...", "",
                                       "&Print...\tCtrl+P", "Print Pre&view", "P&rint Setup...", "",
                                       "Recent File", "", "E&xit"}));
  EXPECT_EQ(MenuTexts(1),
            QStringList({"&Toolbar", "&Status Bar", "", "T&oggle\tSpace", "", "Zoom &In\tAlt+Num++",
                         "Zoom &Out\tAlt+Num+-", "&Zoom 1:1\t1"}));
  EXPECT_EQ(MenuTexts(2), QStringList({"&Library manager ...", "", "Wizard ...\tAlt+W", "",
                                       "&Create mosaic...\tAlt+C", "Save &tile list..."}));
  EXPECT_EQ(MenuTexts(3), QStringList({"&Help Topics\tF1", "", "&About Tesselor..."}));
  EXPECT_FALSE(frame.RecentFileAction(0)->isEnabled());
}

TEST_F(FrameTest, ToolbarHasElevenButtonsInGroupsWithTooltips) {
  QStringList tips;
  for (QAction* action : frame.ToolBar().actions()) {
    tips.append(action->isSeparator() ? QString() : action->toolTip());
    if (!action->isSeparator()) {
      EXPECT_FALSE(action->icon().isNull()) << action->toolTip().toStdString();
      EXPECT_EQ(action->icon().availableSizes().value(0), QSize(20, 16));
    }
  }
  EXPECT_EQ(tips, QStringList({"Open", "Save", "", "Print", "", "About", "", "Create a photomosaic",
                               "Flip between original and photomosaic", "Tile library manager", "",
                               "Zoom in", "Zoom out", "View at 1:1 magnification", "",
                               "Photomosaic Wizard"}));
  EXPECT_EQ(frame.ToolBar().allowedAreas(), Qt::AllToolBarAreas);
}

TEST_F(FrameTest, StatusBarShowsTheIdleTextAndEachCommandsPrompt) {
  ShowAndActivate();
  const QList<QLabel*> labels = frame.statusBar()->findChildren<QLabel*>();
  ASSERT_FALSE(labels.isEmpty());
  EXPECT_EQ(labels.first()->text(), kIdleStatusText);
  frame.Action(Command::kOpen)->showStatusText(&frame);
  EXPECT_EQ(frame.statusBar()->currentMessage(), "Open an existing document");
  frame.Action(Command::kFlip)->showStatusText(&frame);
  EXPECT_EQ(frame.statusBar()->currentMessage(),
            "Toggle view between original image and its photomosaic");
  EXPECT_EQ(frame.Action(Command::kFlip)->toolTip(), "Flip between original and photomosaic");
}

// The summary of a real build (the fixture's stand-in keeps no record) is
// the bar's own text: a menu's prompt passing over it must not wipe it.
TEST_F(FrameTest, BuildSummaryOutlastsMenuPromptsUntilAnotherPhotographOpens) {
  mkdir(dir.File("Lib").c_str(), 0700);
  testing::WritePlainPhoto(dir.File("Lib/red.jpg"), 64, 64, {220, 20, 20});
  testing::WritePlainPhoto(dir.File("Lib/blue.jpg"), 64, 64, {20, 20, 120});
  const AppPaths saved = Paths();
  Paths().programDirectory = dir.Path();
  Paths().currentLibrary = "Lib/";
  CTesselorDoc builtDoc;
  CMainFrame builtFrame(builtDoc, qtShell, recentFiles);
  builtFrame.show();
  ASSERT_TRUE(builtDoc.OpenDocumentFile(WritePhoto()));
  builtFrame.Action(Command::kCreateMosaic)->trigger();
  Paths() = saved;
  ASSERT_TRUE(builtDoc.MosaicBuilt());
  QLabel* text = builtFrame.statusBar()->findChildren<QLabel*>().value(0);
  ASSERT_TRUE(text);
  const QString summary = text->text();
  EXPECT_TRUE(summary.contains("distinct photos used")) << summary.toStdString();

  builtFrame.Action(Command::kOpen)->showStatusText(&builtFrame);
  EXPECT_EQ(builtFrame.statusBar()->currentMessage(), "Open an existing document");
  QStatusTipEvent tipEnds{QString()};
  QApplication::sendEvent(&builtFrame, &tipEnds);
  EXPECT_TRUE(text->isVisible());
  EXPECT_EQ(text->text(), summary);

  ASSERT_TRUE(builtDoc.OpenDocumentFile(WritePhoto("other.bmp")));
  EXPECT_EQ(text->text(), kIdleStatusText);
}

TEST_F(FrameTest, EveryBusyGatedCommandIsGreyedDuringABuildAndCloseIsRefused) {
  const std::vector<Command> gated = {
      Command::kOpen,           Command::kSave,         Command::kSaveAs,
      Command::kPrintSetup,     Command::kPrint,        Command::kPrintPreview,
      Command::kAbout,          Command::kExit,         Command::kHelpTopics,
      Command::kContextHelp,    Command::kCreateMosaic, Command::kFlip,
      Command::kZoomIn,         Command::kZoomOut,      Command::kZoomOneToOne,
      Command::kLibraryManager, Command::kWizard,       Command::kSaveTileList};
  qtShell.dialogs.wizard = [](CTesselorDoc&, QWidget*) { return true; };
  qtShell.dialogs.libraryManager = [](CTesselorDoc&, bool, QWidget*) {};
  recentFiles.Add(QString::fromStdString(WritePhoto("recent.bmp")));
  ASSERT_TRUE(doc.OpenDocumentFile(WritePhoto()));
  ShowAndActivate();
  bool checked = false;
  duringBuild = [&] {
    checked = true;
    for (Command command : gated) EXPECT_FALSE(frame.Action(command)->isEnabled()) << int(command);
    EXPECT_FALSE(frame.RecentFileAction(0)->isEnabled());
    EXPECT_TRUE(frame.Action(Command::kToolbar)->isEnabled());
    EXPECT_TRUE(frame.Action(Command::kNew)->isEnabled());
    EXPECT_FALSE(frame.close());
    EXPECT_TRUE(frame.isVisible());
    // Keys that reach the window while the build drains events do nothing.
    const bool showsOriginal = doc.ShowsOriginal();
    QTest::keyClick(&frame, Qt::Key_Space);
    QTest::keyClick(&frame, Qt::Key_C, Qt::AltModifier);
    EXPECT_EQ(doc.ShowsOriginal(), showsOriginal);
    // Nor do commands triggered from elsewhere: no dialog opens, no second
    // build starts.
    for (Command command : {Command::kOpen, Command::kCreateMosaic, Command::kWizard,
                            Command::kFlip, Command::kLibraryManager})
      frame.Action(command)->trigger();
    EXPECT_EQ(doc.ShowsOriginal(), showsOriginal);
    EXPECT_TRUE(scripted.dialogPaths.empty());
  };
  int builds = 0;
  scripted.optionsDialog = [&builds](CTesselorDoc&) { return ++builds, true; };
  scripted.wizard = [&builds](CTesselorDoc&) { return ++builds, false; };
  int managerRuns = 0;
  scripted.libraryManager = [&managerRuns](CTesselorDoc&, bool) { ++managerRuns; };
  frame.Action(Command::kCreateMosaic)->trigger();
  ASSERT_TRUE(checked);
  EXPECT_EQ(builds, 1);
  EXPECT_EQ(managerRuns, 0);
  for (Command command : gated) EXPECT_TRUE(frame.Action(command)->isEnabled()) << int(command);
  EXPECT_TRUE(frame.RecentFileAction(0)->isEnabled());
  EXPECT_TRUE(frame.close());
}

TEST_F(FrameTest, ClosingDuringABuildOffersToStopItAndClosesOnceStopped) {
  ASSERT_TRUE(doc.OpenDocumentFile(WritePhoto()));
  ShowAndActivate();
  scripted.answers = {MessageAnswer::kNo, MessageAnswer::kYes};
  bool abortedAfterYes = false;
  duringBuild = [&] {
    EXPECT_FALSE(frame.close());  // No: the build goes on
    EXPECT_TRUE(frame.isVisible());
    EXPECT_FALSE(frame.close());  // Yes: it is told to stop
    abortedAfterYes = qtShell.CreateProgressWindow()->AbortRequested();
  };
  frame.Action(Command::kCreateMosaic)->trigger();
  ASSERT_EQ(scripted.messages.size(), 2u);
  EXPECT_EQ(scripted.messages[0].text,
            "A mosaic is being built.\nStop building it and close Tesselor?");
  EXPECT_EQ(scripted.messages[0].style, MessageStyle::kQuestion);
  EXPECT_TRUE(abortedAfterYes);
  EXPECT_TRUE(QTest::qWaitFor([&] { return !frame.isVisible(); }));
  EXPECT_FALSE(qtShell.CreateProgressWindow()->AbortRequested());  // the next build runs
}

TEST_F(FrameTest, CommandsWhoseDialogIsMissingStayGreyed) {
  EXPECT_FALSE(frame.Action(Command::kWizard)->isEnabled());
  EXPECT_FALSE(frame.Action(Command::kLibraryManager)->isEnabled());
  EXPECT_TRUE(frame.Action(Command::kCreateMosaic)->isEnabled());
  qtShell.dialogs.wizard = [](CTesselorDoc&, QWidget*) { return false; };
  frame.UpdateActions();
  EXPECT_TRUE(frame.Action(Command::kWizard)->isEnabled());
}

TEST_F(FrameTest, TileListCanBeSavedOnlyWhileThereIsAMosaic) {
  QAction* save = frame.Action(Command::kSaveTileList);
  EXPECT_FALSE(save->isEnabled());
  ASSERT_TRUE(doc.OpenDocumentFile(WritePhoto()));
  EXPECT_FALSE(save->isEnabled());
  frame.Action(Command::kCreateMosaic)->trigger();
  EXPECT_TRUE(save->isEnabled());
  // A photograph opened afterwards has no mosaic, so no tile list either.
  ASSERT_TRUE(doc.OpenDocumentFile(WritePhoto("other.bmp")));
  EXPECT_FALSE(save->isEnabled());
}

TEST_F(FrameTest, KeysOneAndSpaceAreBoundAltOneIsNot) {
  ASSERT_TRUE(doc.OpenDocumentFile(WritePhoto()));
  frame.Action(Command::kCreateMosaic)->trigger();
  ShowAndActivate();
  frame.Action(Command::kZoomIn)->trigger();
  frame.Action(Command::kZoomIn)->trigger();
  ASSERT_EQ(frame.View().ZoomLevel(), 12);
  QTest::keyClick(&frame, Qt::Key_1, Qt::AltModifier);
  EXPECT_EQ(frame.View().ZoomLevel(), 12);
  QTest::keyClick(&frame, Qt::Key_1);
  EXPECT_EQ(frame.View().ZoomLevel(), 10);
  QTest::keyClick(&frame, Qt::Key_Minus, Qt::AltModifier | Qt::KeypadModifier);
  EXPECT_EQ(frame.View().ZoomLevel(), 9);
  QTest::keyClick(&frame, Qt::Key_Minus, Qt::AltModifier);  // the main keyboard's
  QTest::keyClick(&frame, Qt::Key_Plus, Qt::AltModifier | Qt::ShiftModifier);
  EXPECT_EQ(frame.View().ZoomLevel(), 9);

  ASSERT_FALSE(doc.ShowsOriginal());
  QTest::keyClick(&frame, Qt::Key_Space);
  EXPECT_TRUE(doc.ShowsOriginal());
}

// Run on a private X display by under_xvfb.sh: an X server hands Qt the keypad
// keys in a form no synthetic event has.
TEST_F(FrameTest, ZoomKeysWorkFromARealKeyboardWithNumLockOnAndOff) {
  if (QGuiApplication::platformName() != "xcb") GTEST_SKIP() << "needs an X display";
  const QString xdotool = QStandardPaths::findExecutable("xdotool");
  if (xdotool.isEmpty()) GTEST_SKIP() << "needs xdotool";
  ASSERT_TRUE(doc.OpenDocumentFile(WritePhoto()));
  ShowAndActivate();
  const auto press = [&](const char* keys) {
    ASSERT_EQ(QProcess::execute(xdotool, {"key", keys}), 0) << keys;
  };
  const auto zoomBecomes = [&](int level) {
    return QTest::qWaitFor([&] { return frame.View().ZoomLevel() == level; });
  };
  for (const char* numLock : {"off", "on"}) {
    SCOPED_TRACE(std::string("NumLock ") + numLock);
    frame.Action(Command::kZoomOneToOne)->trigger();
    press("alt+KP_Add");
    EXPECT_TRUE(zoomBecomes(11));
    press("alt+KP_Subtract");
    press("alt+KP_Subtract");
    EXPECT_TRUE(zoomBecomes(9));
    // The main keyboard's plus and minus leave the zoom alone.
    press("alt+minus");
    press("alt+KP_Add");
    EXPECT_TRUE(zoomBecomes(10));
    press("alt+shift+equal");
    press("alt+KP_Subtract");
    EXPECT_TRUE(zoomBecomes(9));
    press("Num_Lock");
  }
}

TEST_F(FrameTest, TitleFollowsTheDocument) {
  EXPECT_EQ(frame.windowTitle(), "Untitled - Tesselor");
  ASSERT_TRUE(doc.OpenDocumentFile(WritePhoto("beach.bmp")));
  EXPECT_EQ(frame.windowTitle(), "beach - Tesselor");
}

TEST_F(FrameTest, RecentFilesOpenFromTheMenuAndAMissingOneIsDropped) {
  const QString first = QString::fromStdString(WritePhoto("first.bmp"));
  const QString gone = QString::fromStdString(dir.File("gone.bmp"));
  recentFiles.Add(first);
  recentFiles.Add(gone);
  EXPECT_EQ(MenuTexts(0).mid(8, 2), QStringList({"&1 " + gone, "&2 " + first}));
  frame.RecentFileAction(1)->trigger();
  EXPECT_EQ(doc.SourcePath(), first.toStdString());
  frame.RecentFileAction(0)->trigger();
  EXPECT_EQ(scripted.MessageTexts(),
            std::vector<std::string>{"Unable open file, it may have been moved or deleted"});
  EXPECT_EQ(recentFiles.Files(), QStringList{first});
}

TEST_F(FrameTest, ADroppedPhotographOpensAndOtherDropsAreRefused) {
  const std::string photo = WritePhoto("dropped.bmp");
  const auto drop = [this](const QList<QUrl>& urls) {
    QMimeData data;
    data.setUrls(urls);
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&frame, &enter);
    if (!enter.isAccepted()) return false;
    QDropEvent dropped(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&frame, &dropped);
    QCoreApplication::processEvents();
    return dropped.isAccepted();
  };
  EXPECT_FALSE(drop({QUrl("https://example.org/photo.jpg")}));
  EXPECT_TRUE(drop(
      {QUrl("https://example.org/a.jpg"), QUrl::fromLocalFile(QString::fromStdString(photo))}));
  EXPECT_EQ(doc.SourcePath(), photo);
  EXPECT_EQ(frame.windowTitle(), "dropped - Tesselor");
}

TEST_F(FrameTest, HelpTopicsOpensTheIntroduction) {
  const AppPaths saved = Paths();
  Paths().programDirectory = dir.Path();
  mkdir(dir.File("help").c_str(), 0700);
  testing::WriteFileBytes(dir.File("help/Introduction.htm"), {'h', 'i'});
  frame.Action(Command::kHelpTopics)->trigger();
  Paths() = saved;
  EXPECT_EQ(frame.Help().Attempts(),
            QStringList{QString::fromStdString(dir.File("help/Introduction.htm"))});
  ASSERT_NE(frame.Help().HelpWindow(), nullptr);
  EXPECT_TRUE(frame.Help().HelpWindow()->isVisible());
}

// The whole window as it looks with a mosaic: saved for a look, and checked
// for its parts.
TEST_F(FrameTest, GrabbedWindowShowsMenuToolbarMosaicAndStatusBar) {
  ASSERT_TRUE(doc.OpenDocumentFile(WritePhoto()));
  frame.Action(Command::kCreateMosaic)->trigger();
  frame.resize(760, 560);
  ShowAndActivate();
  QApplication::processEvents();
  const QImage shot = frame.grab().toImage();
  const QByteArray folder = qgetenv("TESSELOR_SCREENSHOTS");
  const QString file = folder.isEmpty() ? QString::fromStdString(dir.File("main-window.png"))
                                        : QString::fromLocal8Bit(folder) + "/main-window.png";
  ASSERT_TRUE(shot.save(file));
  EXPECT_EQ(shot.size(), frame.size() * shot.devicePixelRatio());
  EXPECT_TRUE(frame.menuBar()->isVisible());
  EXPECT_TRUE(frame.statusBar()->isVisible());
  // The middle of the window is the mosaic, not the surround.
  const QPoint centre = frame.View().mapTo(&frame, frame.View().rect().center());
  const Rgb middle = testing::ToRgb(shot.pixel(centre));
  EXPECT_EQ(middle.b, 160);
}

}  // namespace
}  // namespace tesselor
