#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QDialog>
#include <QEnterEvent>
#include <QTest>
#include <QTimer>

#include "app/help_launcher.h"
#include "app/hyperlink.h"
#include "platform/app_paths.h"
#include "tests/support/scripted_shell.h"
#include "tests/ui/ui_test_support.h"

namespace tesselor {
namespace {

class HelpTest : public ::testing::Test {
 protected:
  HelpTest() {
    Paths().programDirectory = dir.Path();
    launcher.openInBrowser = [this](const QString& path) { browserOpened.append(path); };
  }
  ~HelpTest() override { Paths() = saved; }

  void WriteTopic(const std::string& name) {
    mkdir(dir.File("help").c_str(), 0700);
    testing::WriteFileBytes(dir.File("help/" + name), {'<', 'p', '>', 'x'});
  }
  QString Topic(const std::string& name) {
    return QString::fromStdString(dir.File("help/" + name));
  }

  testing::WithTestApplication application;
  testing::TempDir dir;
  AppPaths saved = Paths();
  ScriptedShell shell;
  HelpLauncher launcher{nullptr};
  QStringList browserOpened;
};

TEST_F(HelpTest, AMissingTopicFallsBackToTheIntroduction) {
  WriteTopic("Introduction.htm");
  launcher.ShowTopic(HelpTopic::kWizard);
  EXPECT_EQ(launcher.Attempts(), QStringList({Topic("Wizard.htm"), Topic("Introduction.htm")}));
  ASSERT_NE(launcher.HelpWindow(), nullptr);
  EXPECT_TRUE(launcher.HelpWindow()->isVisible());
  EXPECT_TRUE(shell.messages.empty());
  EXPECT_TRUE(browserOpened.isEmpty());
}

TEST_F(HelpTest, WithNoPagesTheUserIsToldAndTheBrowserGetsTheFallbackPage) {
  launcher.ShowTopic(HelpTopic::kMontageOptions);
  EXPECT_EQ(launcher.Attempts(),
            QStringList({Topic("Montage options.htm"), Topic("Introduction.htm")}));
  ASSERT_EQ(shell.messages.size(), 1u);
  EXPECT_EQ(shell.messages[0].text,
            "The help pages are missing: Tesselor looked for them in\n" + dir.File("help/") +
                "\nIt will try to open the help in your web browser instead.");
  EXPECT_EQ(shell.messages[0].style, MessageStyle::kOk);
  EXPECT_EQ(browserOpened, QStringList{Topic("Error.htm")});
}

// A modal dialog blocks every window but its own: help asked for from one
// must be one of its windows, brought back from the task bar every time.
TEST_F(HelpTest, HelpFromAModalDialogIsUsableBesideItAndComesBackRestored) {
  WriteTopic("Montage options.htm");
  QDialog dialog;
  QTimer::singleShot(0, [&] {
    launcher.ShowTopic(HelpTopic::kMontageOptions);
    QTextBrowser* help = launcher.HelpWindow();
    ASSERT_NE(help, nullptr);
    EXPECT_EQ(help->parentWidget(), &dialog);
    help->showMinimized();
    launcher.ShowTopic(HelpTopic::kMontageOptions);
    EXPECT_FALSE(help->isMinimized());
    EXPECT_TRUE(help->isVisible());
    dialog.accept();
  });
  dialog.exec();
  ASSERT_NE(launcher.HelpWindow(), nullptr);  // it outlives the dialog
  EXPECT_EQ(launcher.HelpWindow()->parentWidget(), nullptr);
  EXPECT_TRUE(launcher.HelpWindow()->isVisible());
}

TEST_F(HelpTest, AnExistingTopicIsShownFirstTime) {
  WriteTopic("Library manager.htm");
  launcher.ShowTopic(HelpTopic::kLibraryManager);
  EXPECT_EQ(launcher.Attempts(), QStringList{Topic("Library manager.htm")});
  EXPECT_TRUE(launcher.HelpWindow()->source().toLocalFile().endsWith("Library manager.htm"));
}

class HyperLinkTest : public ::testing::Test {
 protected:
  HyperLinkTest() {
    link.openAddress = [this](const QString& address) {
      opened.append(address);
      return failure;
    };
  }

  testing::WithTestApplication application;
  ScriptedShell shell;
  CHyperLink link{"https://tesselor.example/"};
  QStringList opened;
  QString failure;
};

TEST_F(HyperLinkTest, TextIsTheAddressUntilAnotherIsGiven) {
  EXPECT_EQ(link.Address(), "https://tesselor.example/");
  EXPECT_EQ(link.toolTip(), "https://tesselor.example/");
  EXPECT_EQ(link.cursor().shape(), Qt::PointingHandCursor);
  EXPECT_TRUE(link.font().underline());
  link.SetAddress("file:///guide.htm");
  EXPECT_EQ(link.text(), "https://tesselor.example/");
  EXPECT_EQ(link.toolTip(), "file:///guide.htm");
  link.SetUnderline(false);
  EXPECT_FALSE(link.font().underline());
}

TEST_F(HyperLinkTest, ColourFollowsHoverAndAnOpenedLinkStaysVisited) {
  EXPECT_EQ(link.TextColour(), QColor(0, 0, 238));
  link.show();
  QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
  QApplication::sendEvent(&link, &enter);
  EXPECT_EQ(link.TextColour(), QApplication::palette().color(QPalette::Highlight));
  QTest::mouseClick(&link, Qt::LeftButton);
  EXPECT_EQ(opened, QStringList{"https://tesselor.example/"});
  EXPECT_TRUE(link.Visited());
  QEvent leave(QEvent::Leave);
  QApplication::sendEvent(&link, &leave);
  EXPECT_EQ(link.TextColour(), QColor(85, 26, 139));
  EXPECT_EQ(link.palette().color(QPalette::WindowText), QColor(85, 26, 139));
  EXPECT_TRUE(shell.messages.empty());
}

TEST_F(HyperLinkTest, AFailedOpenSaysWhyAndLeavesTheLinkUnvisited) {
  failure = "No program on this computer would open the address.";
  link.Follow();
  ASSERT_EQ(shell.messages.size(), 1u);
  EXPECT_EQ(shell.messages[0].text,
            "Unable to open hyperlink:\n\nNo program on this computer would open the address.");
  EXPECT_EQ(shell.messages[0].style, MessageStyle::kExclamation);
  EXPECT_FALSE(link.Visited());
}

TEST(HyperLinkErrors, MissingLocalFilesAreReportedBeforeAnyProgramStarts) {
  testing::TempDir dir;
  EXPECT_EQ(OpenAddressInBrowser(QString::fromStdString(dir.File("none.htm"))),
            "The specified file was not found.");
  EXPECT_EQ(OpenAddressInBrowser(QString::fromStdString(dir.File("no/such/page.htm"))),
            "The specified path was not found.");
}

}  // namespace
}  // namespace tesselor
