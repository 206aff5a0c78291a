// The library chooser: the rows it lists, the preview stepping through the
// selected library on its timer, what Select Library and Cancel leave as the
// current library, the legacy upgrade on selection, and its messages.
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include "app/library_chooser_dialog.h"
#include "app/tile_preview.h"
#include "tests/ui/library_dialog_fixture.h"

namespace tesselor {
namespace {

using testing::kBlue;
using testing::kGreen;
using testing::kRed;
using testing::Rgb;

class LibraryChooserTest : public testing::LibraryDialogTest {
 protected:
  // The dialog on screen with its list filled, as after its first paint.
  static void Open(CLibraryChooserDlg& dialog) {
    dialog.show();
    dialog.FillLibraryList();
  }

  static QStringList Rows(const CLibraryChooserDlg& dialog) {
    QStringList rows;
    QTreeWidget* list = dialog.LibraryList();
    for (int i = 0; i < list->topLevelItemCount(); ++i)
      rows.append(list->topLevelItem(i)->text(0) + " " + list->topLevelItem(i)->text(1));
    return rows;
  }

  static QTreeWidgetItem* Row(const CLibraryChooserDlg& dialog, const QString& name) {
    const auto found = dialog.LibraryList()->findItems(name, Qt::MatchExactly);
    EXPECT_EQ(found.size(), 1) << name.toStdString();
    return found.value(0);
  }

  static void ClickRow(const CLibraryChooserDlg& dialog, const QString& name, bool twice = false) {
    QTreeWidget* list = dialog.LibraryList();
    const QPoint centre = list->visualItemRect(Row(dialog, name)).center();
    if (twice)
      QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, centre);
    else
      QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, centre);
  }

  // The colour the preview shows, or nothing when it shows no square.
  static std::optional<Rgb> Previewed(const CLibraryChooserDlg& dialog) {
    if (!dialog.Preview()->SquareShown()) return std::nullopt;
    return CentreColour(*dialog.Preview());
  }
};

TEST_F(LibraryChooserTest, ListsTheLibrariesWithTheirCountsAndSelectsTheCurrentOne) {
  for (const char* name : {"a.jpg", "b.jpg", "c.jpg"}) WriteTile("Demo Tile Library", name, kRed);
  Library("Birds");
  Library("help");
  CLibraryChooserDlg dialog;
  Open(dialog);
  EXPECT_EQ(Rows(dialog), QStringList({"Birds 0", "Demo Tile Library 3"}));
  ASSERT_EQ(dialog.LibraryList()->selectedItems().size(), 1);
  EXPECT_EQ(dialog.LibraryList()->selectedItems()[0]->text(0), "Demo Tile Library");
  EXPECT_EQ(dialog.windowTitle(), "Tile Libraries");
  EXPECT_TRUE(dialog.PreviewTimer().isActive());
  EXPECT_EQ(dialog.PreviewTimer().interval(), 1100);
}

TEST_F(LibraryChooserTest, ThePreviewStepsThroughTheLibraryAndStartsAgain) {
  WriteTile("Demo Tile Library", "a.jpg", kRed);
  WriteTile("Demo Tile Library", "b.jpg", kGreen);
  WriteTile("Demo Tile Library", "c.jpg", kBlue);
  WriteTile("Single", "only.jpg", kGreen);
  Library("Birds");
  CLibraryChooserDlg dialog;
  Open(dialog);
  std::vector<Rgb> shown = {*Previewed(dialog)};
  for (int tick = 0; tick < 4; ++tick) {
    dialog.OnTimer();
    shown.push_back(*Previewed(dialog));
  }
  const std::vector<Rgb> expected = {kRed, kGreen, kBlue, kRed, kGreen};
  for (size_t i = 0; i < expected.size(); ++i) EXPECT_TRUE(Near(shown[i], expected[i])) << i;

  // Another library goes on from the index reached, or its first tile when
  // it has fewer; a library of one tile shows it at every tick.
  ClickRow(dialog, "Single");
  EXPECT_EQ(dialog.SelectedLibrary(), "Single/");
  for (int tick = 0; tick < 3; ++tick) {
    ASSERT_TRUE(Previewed(dialog));
    EXPECT_TRUE(Near(*Previewed(dialog), kGreen));
    dialog.OnTimer();
  }
  ClickRow(dialog, "Birds");
  EXPECT_FALSE(Previewed(dialog));
  EXPECT_TRUE(shell.messages.empty());
}

TEST_F(LibraryChooserTest, OnlySelectLibraryWithALibrarySelectedChangesTheCurrentLibrary) {
  Library("Birds");
  for (const auto& close : std::vector<std::function<void(CLibraryChooserDlg&)>>{
           [](CLibraryChooserDlg& d) { d.reject(); },
           [](CLibraryChooserDlg& d) {
             d.LibraryList()->clearSelection();
             d.accept();
           }}) {
    CLibraryChooserDlg dialog;
    Open(dialog);
    ClickRow(dialog, "Birds", true);
    EXPECT_TRUE(dialog.isVisible());  // a double click only selects
    EXPECT_EQ(dialog.SelectedLibrary(), "Birds/");
    close(dialog);
    EXPECT_EQ(Paths().currentLibrary, "Demo Tile Library/");
  }
  CLibraryChooserDlg dialog;
  Open(dialog);
  ClickRow(dialog, "Birds");
  dialog.findChild<QPushButton*>("selectLibrary")->click();
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(Paths().currentLibrary, "Birds/");
}

TEST_F(LibraryChooserTest, LegacyTilesCountUntilSelectedAndAreUpgradedOnceThen) {
  const std::string old = Library("Old");
  for (const char* name : {"r1.raw", "r2.raw", "r3.raw"})
    testing::WriteFileBytes(old + name, std::vector<uint8_t>(12288, 128));
  WriteTile("Old", "j1.jpg", kRed);
  WriteTile("Old", "j2.jpg", kRed);

  CLibraryChooserDlg dialog;
  Open(dialog);
  EXPECT_EQ(Rows(dialog), QStringList({"Demo Tile Library 0", "Old 5"}));
  EXPECT_TRUE(shell.messages.empty());
  ClickRow(dialog, "Old");
  ASSERT_EQ(shell.messages.size(), 1u);
  EXPECT_EQ(shell.messages[0].style, MessageStyle::kExclamation);
  EXPECT_EQ(testing::ListNames(old),
            std::vector<std::string>({"j1.jpg", "j2.jpg", "r1.jpg", "r2.jpg", "r3.jpg"}));
  EXPECT_EQ(Rows(dialog), QStringList({"Demo Tile Library 0", "Old 5"}));
  ClickRow(dialog, "Old");  // the same row again: no second upgrade
  EXPECT_EQ(shell.messages.size(), 1u);
}

// While the message about an unreadable tile is open the timer goes on
// ticking in the message's own loop; it must not stack up further messages.
TEST_F(LibraryChooserTest, AnUnreadableTileOpensOneMessageHoweverLongItStaysOpen) {
  struct SlowToAnswer : ScriptedShell {
    MessageAnswer MessageBox(const std::string& text, MessageStyle style) override {
      ScriptedShell::MessageBox(text, style);
      QTest::qWait(1300);  // longer than one tick
      return MessageAnswer::kOk;
    }
  } slowShell;
  WriteTile("Demo Tile Library", "a.jpg", kRed);
  testing::WriteFileBytes(Library("Demo Tile Library") + "b.jpg", {'n', 'o', 't'});

  CLibraryChooserDlg dialog;
  Open(dialog);
  dialog.OnTimer();
  ASSERT_EQ(slowShell.MessageTexts(),
            std::vector<std::string>{"Unable to read file, it may not contain a valid image"});
  EXPECT_EQ(slowShell.messages[0].style, MessageStyle::kExclamation);
  EXPECT_FALSE(Previewed(dialog));
  EXPECT_TRUE(dialog.PreviewTimer().isActive());
  dialog.OnTimer();  // and the next tick goes on to the first tile
  EXPECT_TRUE(Near(*Previewed(dialog), kRed));
  // Coming round to the broken tile again shows nothing, but says nothing
  // more: the user was told once.
  dialog.OnTimer();
  EXPECT_FALSE(Previewed(dialog));
  EXPECT_EQ(slowShell.messages.size(), 1u);
}

TEST_F(LibraryChooserTest, TheCaptionCountsSecondsInDotsWhileTilesAreCounted) {
  for (int i = 0; i < 60; ++i)
    testing::WriteFileBytes(Library("Big") + std::to_string(i) + ".jpg", {});
  CLibraryChooserDlg dialog;
  qint64 now = 1000;
  dialog.clock = [&now] { return now++; };  // a second passes at every look
  QStringList captions;
  QObject::connect(&dialog, &QWidget::windowTitleChanged,
                   [&](const QString& title) { captions.append(title); });
  Open(dialog);
  EXPECT_EQ(captions, QStringList({"Building tile list.", "Building tile list..",
                                   "Building tile list...", "Tile Libraries"}));
}

TEST_F(LibraryChooserTest, FillsItselfOnceItIsOnScreen) {
  WriteTile("Demo Tile Library", "a.jpg", kRed);
  CLibraryChooserDlg dialog;
  EXPECT_FALSE(dialog.ListFilled());
  dialog.show();
  EXPECT_TRUE(QTest::qWaitFor([&] { return dialog.ListFilled(); }));
  EXPECT_EQ(Rows(dialog), QStringList{"Demo Tile Library 1"});
  EXPECT_TRUE(Near(*Previewed(dialog), kRed));
}

}  // namespace
}  // namespace tesselor
