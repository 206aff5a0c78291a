#include <gtest/gtest.h>

#include <QAction>
#include <QDir>

#include "app/main_frame.h"
#include "app/tesselor_app.h"
#include "app/tesselor_view.h"
#include "platform/app_paths.h"
#include "tests/ui/ui_test_support.h"

namespace tesselor {
namespace {

using testing::Rgb;

constexpr Rgb kGreen{30, 170, 60};

class StartupTest : public ::testing::Test {
 protected:
  StartupTest() {
    testing::UseSettingsFolder(dir.File("config"));
    photo = dir.File("photo.bmp");
    testing::WritePlainPhoto(photo, 120, 90, kGreen);
    qputenv("TESSELOR_HOME", QByteArray::fromStdString(dir.Path()));
  }
  ~StartupTest() override {
    qunsetenv("TESSELOR_HOME");
    Paths() = saved;
    QDir::setCurrent(savedDirectory);
  }

  // A wizard stand-in that finishes with the photograph and the start-up box
  // as given, and a build that paints nothing.
  void PrepareRun(CTesselorApp& app, bool showWizardNextTime) {
    app.Shell().dialogs.wizard = [this, showWizardNextTime](CTesselorDoc& doc, QWidget*) {
      ++wizardRuns;
      wizardBoxes.push_back(doc.wizardChoices.showAtStart);
      doc.wizardChoices.imagePath = photo;
      doc.wizardChoices.showAtStart = showWizardNextTime;
      return true;
    };
    app.Document().SetBuilder(
        [](const CBmp&, CBmp&, const BuildOptions&) { return BuildOutcome::kCompleted; });
  }

  testing::WithTestApplication application;
  testing::TempDir dir;
  AppPaths saved = Paths();
  QString savedDirectory = QDir::currentPath();
  std::string photo;
  int wizardRuns = 0;
  std::vector<bool> wizardBoxes;
};

TEST_F(StartupTest, WizardChoiceAndRecentFilesSurviveARestart) {
  {
    CTesselorApp first;
    PrepareRun(first, false);
    ASSERT_TRUE(first.InitInstance({}));
    EXPECT_EQ(wizardRuns, 1);  // a first run opens the wizard, box ticked
    EXPECT_EQ(first.RecentFiles().Files(), QStringList{QString::fromStdString(photo)});
  }
  CTesselorApp second;
  PrepareRun(second, true);
  ASSERT_TRUE(second.InitInstance({}));
  EXPECT_EQ(wizardRuns, 1);  // cleared last time: no wizard at start
  EXPECT_EQ(second.RecentFiles().Files(), QStringList{QString::fromStdString(photo)});
  EXPECT_EQ(second.MainFrame().RecentFileAction(0)->text(), "&1 " + QString::fromStdString(photo));
  // Opened by hand, the wizard shows the box as it was left.
  second.MainFrame().Action(Command::kWizard)->trigger();
  EXPECT_EQ(wizardBoxes, (std::vector<bool>{true, false}));
}

TEST_F(StartupTest, CommandLineImageIsShownAtStart) {
  QDir::setCurrent(QString::fromStdString(dir.Path()));
  CTesselorApp app;
  ASSERT_TRUE(app.InitInstance({"photo.bmp"}));  // relative to the working folder
  EXPECT_EQ(app.Document().SourcePath(), photo);
  EXPECT_EQ(app.MainFrame().windowTitle(), "photo - Tesselor");
  EXPECT_TRUE(app.MainFrame().isVisible());
  QApplication::processEvents();
  CTesselorView& view = app.MainFrame().View();
  const QImage screen = view.viewport()->grab().toImage();
  const QPoint middle = view.ImageRect().center();
  EXPECT_EQ(testing::ToRgb(screen.pixel(middle)), kGreen);
  // The shared folders are set after the image is open.
  EXPECT_EQ(Paths().programDirectory, dir.Path());
  EXPECT_EQ(Paths().currentLibrary, "Demo Tile Library/");
}

TEST_F(StartupTest, AnImageThatCannotBeOpenedEndsStartUp) {
  testing::MessageBoxAnswerer answerer;
  CTesselorApp app;
  EXPECT_FALSE(app.InitInstance({QString::fromStdString(dir.File("missing.jpg"))}));
  ASSERT_EQ(answerer.seen.size(), 1u);
  EXPECT_EQ(answerer.seen[0].text, "Unable open file, it may have been moved or deleted");
  EXPECT_EQ(answerer.seen[0].icon, QMessageBox::NoIcon);
}

TEST_F(StartupTest, WithoutAWizardNothingOpensAndItsCommandIsGreyed) {
  CTesselorApp app;
  ASSERT_TRUE(app.InitInstance({}));
  EXPECT_EQ(app.Document().Title(), "Untitled");
  EXPECT_FALSE(app.MainFrame().Action(Command::kWizard)->isEnabled());
  EXPECT_TRUE(app.MainFrame().Action(Command::kOpen)->isEnabled());
}

}  // namespace
}  // namespace tesselor
