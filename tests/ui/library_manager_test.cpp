// The library manager and its small dialogs: what the tile list, count and
// preview show, what the buttons leave behind, and how a tile-making run
// behaves inside the dialog (following it, stopping, closing, failing).
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <cstdio>

#include "app/folder_browser.h"
#include "app/library_manager_dialog.h"
#include "app/text_input_dialog.h"
#include "app/tile_preview.h"
#include "engine/tesselor_doc.h"
#include "tests/ui/library_dialog_fixture.h"

namespace tesselor {
namespace {

using testing::kBlack;
using testing::kBlue;
using testing::kGreen;
using testing::kRed;
using testing::Rgb;
using testing::WhenModalOpens;

// Types text into a text-input dialog and presses OK.
template <typename Dialog>
std::function<void(Dialog&)> Enter(const QString& text) {
  return [text](Dialog& dialog) {
    dialog.Edit()->setText(text);
    dialog.accept();
  };
}

class LibraryManagerTest : public testing::LibraryDialogTest {
 protected:
  template <typename Control>
  static Control* Find(const QWidget& dialog, const char* name) {
    auto* control = dialog.findChild<Control*>(QLatin1String(name));
    EXPECT_NE(control, nullptr) << name;
    return control;
  }

  static QString Count(const CLibraryManagerDlg& dialog) {
    return Find<QLabel>(dialog, "tileCount")->text();
  }
  static void Click(const CLibraryManagerDlg& dialog, const char* button) {
    Find<QPushButton>(dialog, button)->click();
  }
  static void MoveTo(const CLibraryManagerDlg& dialog, int row) {
    Find<QListWidget>(dialog, "tileList")->setCurrentRow(row);
  }
  static Rgb PreviewColour(const CLibraryManagerDlg& dialog) {
    return CentreColour(*dialog.findChild<CTilePreview*>());
  }
  // Idle: the count shows where the progress bar stood.
  static bool ShowsIdle(const CLibraryManagerDlg& dialog) {
    return !dialog.MakingTiles() && Find<QLabel>(dialog, "tileCount")->isVisibleTo(&dialog) &&
           !Find<QProgressBar>(dialog, "progressBar")->isVisibleTo(&dialog);
  }

  // A folder of count photographs large enough to become tiles.
  std::string PhotoFolder(int count) {
    const std::string folder = Library("photos");
    for (int i = 0; i < count; ++i)
      testing::WritePlainPhoto(folder + "p" + std::to_string(i) + ".jpg", 80, 70,
                               {uint8_t(30 * i), 90, 150});
    return folder;
  }

  int TilesOnDisk() { return int(testing::ListNames(Library("Demo Tile Library")).size()); }
};

TEST_F(LibraryManagerTest, ListsTheLibrarySortedCountsAndPreviewsTheTileLastMovedTo) {
  WriteTile("Demo Tile Library", "b.jpg", kBlue);
  WriteTile("Demo Tile Library", "a.jpg", kRed);
  CLibraryManagerDlg dialog;
  EXPECT_EQ(dialog.TileNames(), QStringList({"a", "b"}));
  EXPECT_EQ(Count(dialog), "Tiles in Library : 2");
  EXPECT_TRUE(ShowsIdle(dialog));
  EXPECT_TRUE(Near(PreviewColour(dialog), kRed));
  MoveTo(dialog, 1);
  EXPECT_TRUE(Near(PreviewColour(dialog), kBlue));

  // A tile that does not decode leaves the square white, without a word.
  testing::WriteFileBytes(Library("Demo Tile Library") + "c.jpg", {'n', 'o'});
  dialog.RefreshTileList();
  MoveTo(dialog, 2);
  EXPECT_EQ(PreviewColour(dialog), (Rgb{255, 255, 255}));
  EXPECT_TRUE(shell.messages.empty());
}

TEST_F(LibraryManagerTest, EmptyAndMissingLibrariesShowNoTilesAndTheBlackPreview) {
  WriteTile("Demo Tile Library", "a.jpg", kRed);
  Library("Empty");
  for (const char* library : {"Missing/", "Empty/"}) {
    Paths().currentLibrary = library;
    CLibraryManagerDlg dialog;
    EXPECT_TRUE(dialog.TileNames().isEmpty()) << library;
    EXPECT_EQ(Count(dialog), "Tiles in Library : 0");
    EXPECT_EQ(PreviewColour(dialog), kBlack);
  }
  // Nor does an empty library go on showing the tile of the one before.
  Paths().currentLibrary = "Demo Tile Library/";
  CLibraryManagerDlg dialog;
  Paths().currentLibrary = "Empty/";
  dialog.RefreshTileList();
  EXPECT_EQ(PreviewColour(dialog), kBlack);
}

TEST_F(LibraryManagerTest, DeleteAsksWithTheSelectedCountThenShowsWhatIsLeft) {
  for (const char* name : {"a.jpg", "b.jpg", "c.jpg", "d.jpg"})
    WriteTile("Demo Tile Library", name, kRed);
  CLibraryManagerDlg dialog;
  Click(dialog, "deleteTiles");
  EXPECT_EQ(shell.MessageTexts(),
            std::vector<std::string>{
                "You must select the tiles you wish to deletete from the tile list"});

  for (int row : {0, 2, 3}) Find<QListWidget>(dialog, "tileList")->item(row)->setSelected(true);
  shell.answers = {MessageAnswer::kYes};
  Click(dialog, "deleteTiles");
  EXPECT_EQ(shell.messages.back().text, "Are you sure you want to delete the 3 selected tiles?");
  EXPECT_EQ(dialog.TileNames(), QStringList{"b"});
  EXPECT_EQ(Count(dialog), "Tiles in Library : 1");
  EXPECT_EQ(TilesOnDisk(), 1);
}

TEST_F(LibraryManagerTest, RenameNumbersTheTilesInListOrderAndRefusesLongBases) {
  WriteTile("Demo Tile Library", "z.jpg", kBlue);
  WriteTile("Demo Tile Library", "x.jpg", kRed);
  WriteTile("Demo Tile Library", "y.jpg", kGreen);
  CLibraryManagerDlg dialog;
  {
    QString caption;
    WhenModalOpens<CTextInputDlg> input([&](CTextInputDlg& input) {
      caption = input.windowTitle();
      Enter<CTextInputDlg>("sixteen-letters!")(input);
    });
    Click(dialog, "renameTiles");
    EXPECT_EQ(caption, "Renaming Tiles");
  }
  EXPECT_EQ(
      shell.MessageTexts(),
      std::vector<std::string>{"Filename too long, the maximum length allowed is 15 characters"});
  EXPECT_EQ(dialog.TileNames(), QStringList({"x", "y", "z"}));

  shell.answers = {MessageAnswer::kYes};
  WhenModalOpens<CTextInputDlg> input(Enter<CTextInputDlg>("fifteen-letters"));
  Click(dialog, "renameTiles");
  EXPECT_EQ(dialog.TileNames(),
            QStringList({"fifteen-letters0", "fifteen-letters1", "fifteen-letters2"}));
  EXPECT_TRUE(ShowsIdle(dialog));
  MoveTo(dialog, 0);  // x was first in the list
  EXPECT_TRUE(Near(PreviewColour(dialog), kRed));
}

TEST_F(LibraryManagerTest, ARenameStoppedByATakenNameShowsTheNamesAsTheyAreOnDisk) {
  WriteTile("Demo Tile Library", "a.jpg", kRed);
  WriteTile("Demo Tile Library", "b.jpg", kGreen);
  WriteTile("Demo Tile Library", "t1.jpg", kBlue);
  CLibraryManagerDlg dialog;
  shell.answers = {MessageAnswer::kYes};
  WhenModalOpens<CTextInputDlg> input(Enter<CTextInputDlg>("t"));
  Click(dialog, "renameTiles");
  EXPECT_EQ(shell.messages.back().style, MessageStyle::kStop);
  EXPECT_EQ(dialog.TileNames(), QStringList({"b", "t0", "t1"}));
  EXPECT_TRUE(ShowsIdle(dialog));
}

TEST_F(LibraryManagerTest, CreatingALibraryMakesItCurrentAndAnExistingNameIsRefused) {
  WriteTile("Demo Tile Library", "a.jpg", kRed);
  CLibraryManagerDlg dialog;
  {
    WhenModalOpens<CTextInputDlg> input(Enter<CTextInputDlg>("Birds"));
    Click(dialog, "createLibrary");
  }
  EXPECT_TRUE(testing::FileExists(dir.File("Birds")));
  EXPECT_EQ(Paths().currentLibrary, "Birds/");
  EXPECT_EQ(dialog.windowTitle(), "Library manager - Birds");
  EXPECT_TRUE(dialog.TileNames().isEmpty());
  EXPECT_EQ(Count(dialog), "Tiles in Library : 0");

  Paths().currentLibrary = "Demo Tile Library/";
  dialog.RefreshTileList();
  WhenModalOpens<CTextInputDlg> input(Enter<CTextInputDlg>("Birds"));
  Click(dialog, "createLibrary");
  EXPECT_EQ(shell.MessageTexts(),
            std::vector<std::string>{"Unable to create the directory:\nBirds"});
  EXPECT_EQ(Paths().currentLibrary, "Demo Tile Library/");
  EXPECT_EQ(dialog.TileNames(), QStringList{"a"});
}

TEST_F(LibraryManagerTest, TheNewLibraryCommandAsksForTheNameWithoutTheManager) {
  WhenModalOpens<CLibraryManagerDlg> manager([](CLibraryManagerDlg& dialog) { dialog.reject(); });
  WhenModalOpens<CTextInputDlg> input(Enter<CTextInputDlg>("Seaside"));
  CTesselorDoc doc;
  CLibraryManagerDlg::Run(doc, true, nullptr);
  EXPECT_TRUE(input.opened);
  EXPECT_EQ(Paths().currentLibrary, "Seaside/");
  QTest::qWait(20);
  EXPECT_FALSE(manager.opened);
}

TEST_F(LibraryManagerTest, SelectingALibraryRefreshesOnlyWhenTheChooserConfirms) {
  WriteTile("Seaside", "shell.jpg", kBlue);
  CLibraryManagerDlg dialog;
  shell.libraryChooser = [] {
    Paths().currentLibrary = "Seaside/";
    return false;
  };
  Click(dialog, "selectLibrary");
  EXPECT_TRUE(dialog.TileNames().isEmpty());
  shell.libraryChooser = [] { return true; };
  Click(dialog, "selectLibrary");
  EXPECT_EQ(dialog.TileNames(), QStringList{"shell"});
}

TEST_F(LibraryManagerTest, AddingTilesCountsAsksAndFollowsTheRunOnScreen) {
  CLibraryManagerDlg dialog;
  shell.dialogPaths = {Library("no photos")};
  Click(dialog, "addTiles");
  EXPECT_EQ(shell.MessageTexts(), std::vector<std::string>{"No images found!"});
  EXPECT_TRUE(ShowsIdle(dialog));

  const std::string photos = PhotoFolder(3);
  shell.messages.clear();
  shell.dialogPaths = {photos};
  shell.answers = {MessageAnswer::kNo};
  Click(dialog, "addTiles");
  EXPECT_EQ(
      shell.MessageTexts(),
      std::vector<std::string>{"3 images found, shall I proceed to make tiles from these images?"});
  EXPECT_EQ(TilesOnDisk(), 0);
  EXPECT_TRUE(ShowsIdle(dialog));

  // While the run goes on the bar stands where the count was, and each new
  // tile shows in the preview.
  auto* bar = Find<QProgressBar>(dialog, "progressBar");
  std::vector<int> barValues;
  shell.onPump = [&] {
    EXPECT_FALSE(ShowsIdle(dialog));
    EXPECT_EQ(bar->maximum(), 3);
    barValues.push_back(bar->value());
    EXPECT_TRUE(Near(PreviewColour(dialog), {uint8_t(30 * barValues.size() - 30), 90, 150}));
  };
  shell.dialogPaths = {photos};
  shell.answers = {MessageAnswer::kYes};
  Click(dialog, "addTiles");
  EXPECT_EQ(barValues, std::vector<int>({1, 2, 3}));
  EXPECT_EQ(dialog.TileNames(), QStringList({"p0", "p1", "p2"}));
  EXPECT_EQ(Count(dialog), "Tiles in Library : 3");
  EXPECT_TRUE(ShowsIdle(dialog));
}

TEST_F(LibraryManagerTest, AddingTilesSqueezesOrCropsWidePhotosAsChosen) {
  CLibraryManagerDlg dialog;
  // Red, green and blue bands: the squeezed tile shows all three, the centre
  // square green alone.
  const std::string photos = Library("wide");
  testing::WritePhoto(photos + "wide.bmp", 192, 64, [](int x, int) {
    return x < 64 ? kRed : x < 128 ? kGreen : kBlue;
  });
  auto* fit = Find<QComboBox>(dialog, "fit");
  EXPECT_EQ(fit->currentIndex(), 0);
  const std::string tile = Library("Demo Tile Library") + "wide.jpg";
  for (const bool crop : {false, true}) {
    std::remove(tile.c_str());
    fit->setCurrentIndex(crop ? 1 : 0);
    shell.dialogPaths = {photos};
    shell.answers = {MessageAnswer::kYes};
    Click(dialog, "addTiles");
    const QImage made(QString::fromStdString(tile));
    ASSERT_EQ(made.size(), QSize(64, 64)) << crop;
    EXPECT_TRUE(Near(testing::ToRgb(made.pixel(3, 32)), crop ? kGreen : kRed)) << crop;
    EXPECT_TRUE(Near(testing::ToRgb(made.pixel(60, 32)), crop ? kGreen : kBlue)) << crop;
  }
}

TEST_F(LibraryManagerTest, ASecondClickStopsTheRunAfterTheTileInHand) {
  CLibraryManagerDlg dialog;
  shell.dialogPaths = {PhotoFolder(4)};
  shell.answers = {MessageAnswer::kYes};
  shell.onPump = [&] {
    if (shell.pumps == 1) Click(dialog, "addTiles");
  };
  Click(dialog, "addTiles");
  EXPECT_EQ(shell.beeps, (std::vector<std::pair<int, int>>{{300, 30}}));
  EXPECT_EQ(shell.messages.back().text, "Tile creation aborted");
  EXPECT_EQ(dialog.TileNames(), QStringList{"p0"});
  EXPECT_TRUE(ShowsIdle(dialog));
}

TEST_F(LibraryManagerTest, OkEscapeOrTheCloseBoxDuringARunCloseOnlyOnceTheRunHasStopped) {
  const std::string photos = PhotoFolder(4);
  const std::vector<std::pair<const char*, std::function<void(CLibraryManagerDlg&)>>> closers = {
      {"OK", [](CLibraryManagerDlg& d) { Click(d, "ok"); }},
      {"Escape", [](CLibraryManagerDlg& d) { QTest::keyClick(&d, Qt::Key_Escape); }},
      {"close box", [](CLibraryManagerDlg& d) { d.close(); }},
  };
  for (const auto& [how, close] : closers) {
    for (const std::string& name : testing::ListNames(Library("Demo Tile Library")))
      std::remove((Library("Demo Tile Library") + name).c_str());
    CLibraryManagerDlg dialog;
    dialog.show();
    shell.pumps = 0;
    shell.dialogPaths = {photos};
    shell.answers = {MessageAnswer::kYes};
    bool openDuringRun = true;
    shell.onPump = [&] {
      if (shell.pumps == 1) close(dialog);
      openDuringRun &= dialog.isVisible();
    };
    Click(dialog, "addTiles");
    EXPECT_TRUE(openDuringRun) << how;
    EXPECT_EQ(TilesOnDisk(), 1) << how;
    EXPECT_FALSE(dialog.isVisible()) << how;
    EXPECT_FALSE(dialog.MakingTiles()) << how;
  }
}

TEST_F(LibraryManagerTest, ATileThatCannotBeWrittenEndsTheRunIdleWithOneMessage) {
  CLibraryManagerDlg dialog;
  Paths().currentLibrary = "Gone/";  // no such folder
  shell.dialogPaths = {PhotoFolder(3)};
  shell.answers = {MessageAnswer::kYes};
  Click(dialog, "addTiles");
  ASSERT_EQ(shell.messages.size(), 2u);  // the question, then the failure
  EXPECT_EQ(shell.messages[1].style, MessageStyle::kStop);
  EXPECT_TRUE(ShowsIdle(dialog));
  EXPECT_EQ(Count(dialog), "Tiles in Library : 0");
}

TEST(FolderBrowser, ReportsTheFolderChosenAndShowsTheSelectionShortened) {
  const QString fifty = "/" + QString(49, QLatin1Char('d'));
  EXPECT_EQ(ShortenForStatusLine(fifty), fifty.left(35) + "...");
  EXPECT_EQ(ShortenForStatusLine(fifty.left(35)), fifty.left(35));

  testing::TestApplication();
  testing::TempDir dir;
  const QString start = QString::fromStdString(dir.Path()).chopped(1);
  const QString photos = start + "/photos";
  QDir().mkpath(photos);
  CFolderBrowser browser(start);
  QString statusAtStart, statusAfterMove;
  WhenModalOpens<QFileDialog> choose([&](QFileDialog& dialog) {
    statusAtStart = browser.StatusLine()->text();
    emit dialog.currentChanged(photos);  // as when the user highlights it
    statusAfterMove = browser.StatusLine()->text();
    dialog.setDirectory(photos);
    static_cast<QDialog&>(dialog).accept();  // public there, and virtual
  });
  EXPECT_EQ(browser.DoModal(), CFolderBrowser::kChosen);
  EXPECT_EQ(browser.GetFolder(), photos);
  EXPECT_EQ(statusAtStart, ShortenForStatusLine(start));
  EXPECT_EQ(statusAfterMove, ShortenForStatusLine(photos));

  WhenModalOpens<QFileDialog> cancel([](QFileDialog& dialog) { dialog.reject(); });
  EXPECT_EQ(browser.DoModal(), CFolderBrowser::kNotChosen);
}

}  // namespace
}  // namespace tesselor
