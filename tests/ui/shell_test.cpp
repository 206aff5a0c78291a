#include <gtest/gtest.h>

#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>

#include "app/montage_progress_dlg.h"
#include "app/qt_shell.h"
#include "engine/tesselor_doc.h"
#include "tests/ui/ui_test_support.h"

namespace tesselor {
namespace {

TEST(QtFileFilter, OpenOffersAllPicturesFirstThenEachKind) {
  EXPECT_EQ(QtFileFilter(PhotoFileTypes()),
            "All pictures (*.jpg *.jpeg *.bmp *.png *.tif *.tiff *.webp *.heic *.heif *.avif);;"
            "Compressed JPG (*.jpg *.jpeg);;Windows Bitmap (*.bmp);;PNG (*.png);;"
            "TIFF (*.tif *.tiff);;WebP (*.webp);;HEIF and AVIF (*.heic *.heif *.avif)");
}

class QtShellTest : public ::testing::Test {
 protected:
  QtShellTest() { Shell::Install(&shell); }
  ~QtShellTest() override { Shell::Install(nullptr); }

  testing::WithTestApplication application;
  QtShell shell;
};

TEST_F(QtShellTest, QuestionsHaveYesAndNoAndOtherStylesOnlyOk) {
  {
    testing::MessageBoxAnswerer yes(QMessageBox::Yes);
    EXPECT_EQ(ShowMessage("Overwrite?", MessageStyle::kQuestion), MessageAnswer::kYes);
    ASSERT_EQ(yes.seen.size(), 1u);
    EXPECT_EQ(yes.seen[0].icon, QMessageBox::Question);
    EXPECT_EQ(yes.seen[0].buttons, QMessageBox::Yes | QMessageBox::No);
  }
  testing::MessageBoxAnswerer ok;
  const std::pair<MessageStyle, QMessageBox::Icon> styles[] = {
      {MessageStyle::kOk, QMessageBox::NoIcon},
      {MessageStyle::kExclamation, QMessageBox::Warning},
      {MessageStyle::kInformation, QMessageBox::Information},
      {MessageStyle::kStop, QMessageBox::Critical}};
  for (const auto& [style, icon] : styles) {
    EXPECT_EQ(ShowMessage("line one\nline two", style), MessageAnswer::kOk);
    EXPECT_EQ(ok.seen.back().icon, icon);
    EXPECT_EQ(ok.seen.back().buttons, QMessageBox::Ok);
    EXPECT_EQ(ok.seen.back().text, "line one\nline two");
  }
}

TEST_F(QtShellTest, MissingDialogsAnswerCancel) {
  CTesselorDoc doc;
  EXPECT_FALSE(shell.RunOptionsDialog(doc));
  EXPECT_FALSE(shell.RunWizard(doc));
  EXPECT_FALSE(shell.RunLibraryChooser());
  bool ran = false;
  shell.dialogs.wizard = [&](CTesselorDoc&, QWidget*) { return ran = true; };
  EXPECT_TRUE(shell.RunWizard(doc));
  EXPECT_TRUE(ran);
}

// The photograph's own name is the likeliest pick, and it must not go
// unasked: No keeps the file dialog open, Yes gives the name.
TEST_F(QtShellTest, SaveDialogAsksBeforeAnExistingFileIsReplaced) {
  testing::TempDir dir;
  const QString photo = QString::fromStdString(dir.File("photo.jpg"));
  testing::WriteFileBytes(photo.toStdString(), {1, 2, 3});
  // The dialog opens in the working folder, where the photograph was opened.
  const QString workingFolder = QDir::currentPath();
  QDir::setCurrent(QString::fromStdString(dir.Path()));
  const auto saveOver = [&](QMessageBox::StandardButton answer) {
    QStringList asked;
    QTimer driver;
    driver.callOnTimeout([&] {
      QWidget* modal = QApplication::activeModalWidget();
      if (auto* box = qobject_cast<QMessageBox*>(modal)) {
        asked.append(box->text());
        box->button(answer)->click();
      } else if (auto* dialog = qobject_cast<QFileDialog*>(modal)) {
        if (!asked.isEmpty()) return dialog->reject();
        // Typed and confirmed as a user would. Queued: the question runs its
        // own event loop, and this timer does not fire again until its
        // handler returns.
        auto* name = dialog->findChild<QLineEdit*>("fileNameEdit");
        ASSERT_TRUE(name);
        name->setText("photo.jpg");
        QMetaObject::invokeMethod(name, "returnPressed", Qt::QueuedConnection);
      }
    });
    driver.start(10);
    const std::optional<std::string> chosen = shell.FileDialog(FileDialogMode::kSave, "jpg", {});
    EXPECT_EQ(asked.size(), 1);
    EXPECT_TRUE(asked.value(0).contains("already exists")) << asked.value(0).toStdString();
    return chosen;
  };
  EXPECT_EQ(saveOver(QMessageBox::No), std::nullopt);
  EXPECT_EQ(saveOver(QMessageBox::Yes), photo.toStdString());
  QDir::setCurrent(workingFolder);
}

// Saving something other than the mosaic says so in the title, and the
// offered name, accepted as it stands, is what the caller gets.
TEST_F(QtShellTest, SaveDialogShowsItsOwnTitleAndOffersTheNameGiven) {
  testing::TempDir dir;
  const QString workingFolder = QDir::currentPath();
  QDir::setCurrent(QString::fromStdString(dir.Path()));
  QString title, offered;
  QStringList filters;
  QTimer driver;
  driver.callOnTimeout([&] {
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    if (!dialog || !title.isEmpty()) return;
    title = dialog->windowTitle();
    filters = dialog->nameFilters();
    auto* name = dialog->findChild<QLineEdit*>("fileNameEdit");
    ASSERT_TRUE(name);
    offered = name->text();
    QMetaObject::invokeMethod(name, "returnPressed", Qt::QueuedConnection);
  });
  driver.start(10);
  const std::optional<std::string> chosen = shell.FileDialog(
      FileDialogMode::kSave, "csv", {{"Tile list", {"csv"}}}, {"Save Tile List", "photo.csv"});
  QDir::setCurrent(workingFolder);
  EXPECT_EQ(title, "Save Tile List");
  EXPECT_EQ(offered, "photo.csv");
  EXPECT_EQ(filters, QStringList{"Tile list (*.csv)"});
  EXPECT_EQ(chosen, dir.File("photo.csv"));
}

// A main window that goes away while one of its dialogs is open (the
// desktop session ending, say) takes the dialog along; the dialog counts as
// cancelled instead of being deleted a second time.
TEST_F(QtShellTest, ADialogWhoseWindowGoesAwayCountsAsCancelled) {
  const auto whileWindowGoes = [&](const std::function<void()>& openDialog) {
    auto* window = new QWidget;
    shell.SetMainWindow(window);
    QTimer closer;
    closer.callOnTimeout([&] {
      if (QApplication::activeModalWidget()) delete window;
    });
    closer.start(5);
    openDialog();
  };
  whileWindowGoes(
      [] { EXPECT_EQ(ShowMessage("Overwrite?", MessageStyle::kQuestion), MessageAnswer::kNo); });
  whileWindowGoes([&] {
    EXPECT_EQ(shell.FileDialog(FileDialogMode::kOpen, "jpg", PhotoFileTypes()), std::nullopt);
  });
}

TEST_F(QtShellTest, ProgressWindowCountsBeyondSixteenBitsAndOnlyAbortStopsIt) {
  std::unique_ptr<ProgressWindow> window = shell.CreateProgressWindow();
  auto* dialog = dynamic_cast<CMontageProgressDlg*>(window.get());
  ASSERT_NE(dialog, nullptr);
  EXPECT_TRUE(dialog->isVisible());
  EXPECT_EQ(dialog->windowTitle(), "Tesselor");
  EXPECT_EQ(dialog->StatusLine()->text(), "Montage progress");
  window->SetRange(0, 200000);
  window->SetPos(150000);
  window->StepIt();
  EXPECT_EQ(dialog->ProgressBar()->value(), 150001);
  window->SetStatusText("Creating image mosaic ...");
  EXPECT_EQ(dialog->StatusLine()->text(), "Creating image mosaic ...");

  QTest::keyClick(dialog, Qt::Key_Return);
  QTest::keyClick(dialog, Qt::Key_Escape);
  dialog->close();
  EXPECT_TRUE(dialog->isVisible());
  EXPECT_FALSE(window->AbortRequested());
  QTest::mouseClick(dialog->AbortButton(), Qt::LeftButton);
  QTest::mouseClick(dialog->AbortButton(), Qt::LeftButton);
  EXPECT_TRUE(window->AbortRequested());
  EXPECT_TRUE(dialog->isVisible());
}

}  // namespace
}  // namespace tesselor
