// The options dialog: what it shows for the document's settings, how typed
// and spun sizes set the magnification, what it writes back on closing, and
// where the summary panel puts its lines.
#include "app/options_dialog.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>
#include <algorithm>
#include <map>
#include <optional>

#include "app/options_summary.h"
#include "engine/tesselor_doc.h"
#include "platform/app_paths.h"
#include "tests/support/scripted_shell.h"
#include "tests/ui/ui_test_support.h"

namespace tesselor {
namespace {

using testing::TempDir;

const QColor kDarkRed(150, 0, 0);
const QColor kGreen(0, 100, 0);

class OptionsDialogTest : public ::testing::Test {
 protected:
  OptionsDialogTest() {
    testing::TestApplication();
    Paths().currentLibrary = "Demo Tile Library/";
    settings.sourceWidth = 640;
    settings.sourceHeight = 480;
  }

  template <typename Control>
  static Control* Find(const QWidget& dialog, const char* name) {
    auto* control = dialog.findChild<Control*>(QLatin1String(name));
    EXPECT_NE(control, nullptr) << name;
    return control;
  }

  static std::vector<SummaryText> Summary(const QWidget& dialog) {
    return dialog.findChild<COptionsSummary*>()->Lines();
  }

  // The line showing text, if the panel shows it.
  static std::optional<SummaryText> Line(const QWidget& dialog, const QString& text) {
    for (const SummaryText& line : Summary(dialog))
      if (line.text == text) return line;
    return std::nullopt;
  }

  static int LineY(const QWidget& dialog, const QString& text) {
    const auto line = Line(dialog, text);
    EXPECT_TRUE(line) << text.toStdString();
    return line ? line->position.y() : -1;
  }

  // Types text over the field's content and leaves the field, as a user
  // moving on to the next control does.
  static void TypeAndLeave(QDialog& dialog, const char* field, const QString& text) {
    auto* edit = Find<QLineEdit>(dialog, field);
    edit->setFocus();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClicks(edit, text);
    Find<QSpinBox>(dialog, "magnification")->setFocus();
  }

  static void ShowActive(QDialog& dialog) {
    dialog.show();
    dialog.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
  }

  ScriptedShell shell;
  MosaicSettings settings;
};

TEST_F(OptionsDialogTest, FreshDialogShowsSourceSizeAndDefaultSummary) {
  COptionsDialog dialog(settings);
  auto* tabs = Find<QTabWidget>(dialog, "tabs");
  ASSERT_EQ(tabs->count(), 4);
  EXPECT_EQ(tabs->currentIndex(), 0);
  EXPECT_EQ(tabs->tabText(0), "Mosaic Size");
  EXPECT_EQ(tabs->tabText(1), "Montage options");
  EXPECT_EQ(tabs->tabText(2), "Tile options");
  EXPECT_EQ(tabs->tabText(3), "Variety");
  EXPECT_EQ(Find<QSpinBox>(dialog, "magnification")->value(), 1);
  EXPECT_EQ(Find<QLineEdit>(dialog, "xSize")->text(), "640");
  EXPECT_EQ(Find<QLineEdit>(dialog, "ySize")->text(), "480");

  struct Expected {
    const char* text;
    QPoint position;
    bool bold;
  };
  const Expected expected[] = {
      {"Mosaic Dimensions:", {10, 12}, true},
      {"(640 , 480)", {140, 12}, true},
      {"Tile Library:", {10, 33}, true},
      {"Demo Tile Library", {20, 54}, true},
      {"Tile Size:", {20, 68}, false},
      {"32 x 32", {140, 68}, false},
      {"Mirroring of tiles is enabled", {20, 82}, false},
      {"Mosaic Options:", {10, 103}, true},
      {"Tiling Accuracy:", {20, 124}, false},
      {"Medium", {140, 124}, false},
      {"Randomization:", {20, 138}, false},
      {"Low", {140, 138}, false},
      {"Colour Adjustment:", {20, 152}, false},
      {"20%", {140, 152}, false},
  };
  const std::vector<SummaryText> lines = Summary(dialog);
  ASSERT_EQ(lines.size(), std::size(expected));
  for (size_t i = 0; i < lines.size(); ++i) {
    EXPECT_EQ(lines[i].text, expected[i].text);
    EXPECT_EQ(lines[i].position, expected[i].position) << expected[i].text;
    EXPECT_EQ(lines[i].bold, expected[i].bold) << expected[i].text;
  }
  EXPECT_EQ(Line(dialog, "(640 , 480)")->colour, kDarkRed);
  EXPECT_EQ(Line(dialog, "Demo Tile Library")->colour, QColor(0, 0, 230));
  EXPECT_EQ(Line(dialog, "Mirroring of tiles is enabled")->colour, kGreen);
}

TEST_F(OptionsDialogTest, SpinningTheMagnificationShowsTheSizeAtOnce) {
  COptionsDialog dialog(settings);
  Find<QSpinBox>(dialog, "magnification")->setValue(3);
  EXPECT_EQ(Find<QLineEdit>(dialog, "xSize")->text(), "1920");
  EXPECT_EQ(Find<QLineEdit>(dialog, "ySize")->text(), "1440");
  EXPECT_TRUE(Line(dialog, "(1920 , 1440)"));
  EXPECT_EQ(settings.magnification, 3.0);
}

TEST_F(OptionsDialogTest, TypedSizeSetsMagnificationButNeverShrinksTheMosaic) {
  COptionsDialog dialog(settings);
  ShowActive(dialog);
  auto* spinner = Find<QSpinBox>(dialog, "magnification");

  TypeAndLeave(dialog, "xSize", "1000");
  EXPECT_EQ(settings.magnification, 1.5625);
  EXPECT_EQ(Find<QLineEdit>(dialog, "xSize")->text(), "1000");
  EXPECT_EQ(Find<QLineEdit>(dialog, "ySize")->text(), "750");
  EXPECT_TRUE(Line(dialog, "(1000 , 750)"));
  EXPECT_EQ(spinner->value(), 1);  // the spinner keeps its own whole number

  TypeAndLeave(dialog, "xSize", "100");
  EXPECT_EQ(settings.magnification, 1.0);
  EXPECT_EQ(Find<QLineEdit>(dialog, "xSize")->text(), "640");
  EXPECT_EQ(Find<QLineEdit>(dialog, "ySize")->text(), "480");

  TypeAndLeave(dialog, "ySize", "");  // nothing typed counts as 0
  EXPECT_EQ(settings.magnification, 1.0);
  EXPECT_EQ(Find<QLineEdit>(dialog, "ySize")->text(), "480");
}

TEST_F(OptionsDialogTest, DimensionsTooWideForTheirColumnTakeALineOfTheirOwn) {
  COptionsDialog dialog(settings);
  ShowActive(dialog);
  TypeAndLeave(dialog, "xSize", "200000");
  const std::optional<SummaryText> dimensions = Line(dialog, "(200000 , 150000)");
  ASSERT_TRUE(dimensions);
  const int end = dimensions->position.x() +
                  QFontMetrics(SummaryFont(true)).horizontalAdvance(dimensions->text);
  EXPECT_LT(end, COptionsSummary::kWidth - 1);  // all of it inside the border
  EXPECT_GE(dimensions->position.y(), LineY(dialog, "Mosaic Dimensions:") + 14);
  EXPECT_GE(LineY(dialog, "Tile Library:"), dimensions->position.y() + 14);
  EXPECT_GE(LineY(dialog, "Colour Adjustment:"), 152 + 14);
}

TEST_F(OptionsDialogTest, PassingThroughASizeFieldKeepsTheOtherFieldsMagnification) {
  COptionsDialog dialog(settings);
  ShowActive(dialog);
  TypeAndLeave(dialog, "ySize", "481");
  const double fromHeight = 481.0 / 480.0;
  EXPECT_DOUBLE_EQ(settings.magnification, fromHeight);
  Find<QLineEdit>(dialog, "xSize")->setFocus();  // shows 641, which is 641/640
  Find<QSpinBox>(dialog, "magnification")->setFocus();
  EXPECT_DOUBLE_EQ(settings.magnification, fromHeight);
}

TEST_F(OptionsDialogTest, EnterInASizeFieldStillCountsTheTypedSize) {
  COptionsDialog dialog(settings);
  ShowActive(dialog);
  auto* edit = Find<QLineEdit>(dialog, "xSize");
  edit->setFocus();
  edit->selectAll();
  QTest::keyClicks(edit, "1280");
  QTest::keyClick(edit, Qt::Key_Return);
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(settings.magnification, 2.0);
}

TEST_F(OptionsDialogTest, TypedMagnificationGivesBackEveryTypedSize) {
  // Plain division can land a hair low (15 / 11 x 11 truncates to 14).
  for (int source = 1; source <= 300; ++source)
    for (int typed = source; typed <= 3 * source; ++typed)
      ASSERT_EQ(MosaicSizeText(source, MagnificationForTypedSize(QString::number(typed), source)),
                QString::number(typed))
          << typed << " over " << source;
  // A run of digits too long for an int is held at the largest int.
  const double huge = MagnificationForTypedSize("99999999999999999999", 640);
  EXPECT_EQ(MosaicSizeText(640, huge), "2147483647");
  EXPECT_EQ(MosaicSizeText(480, huge), "1610612735");
}

TEST_F(OptionsDialogTest, ClosingWritesTheControlsBackAfterOkAndCancelAlike) {
  for (const bool ok : {true, false}) {
    MosaicSettings edited = settings;
    COptionsDialog dialog(edited);
    Find<QComboBox>(dialog, "tileSize")->setCurrentIndex(5);  // 12 x 12
    Find<QComboBox>(dialog, "accuracy")->setCurrentIndex(0);  // High
    Find<QComboBox>(dialog, "randomization")->setCurrentIndex(3);
    Find<QSpinBox>(dialog, "colourAdjust")->setValue(0);
    Find<QSpinBox>(dialog, "blendPercent")->setValue(30);
    Find<QCheckBox>(dialog, "mirrorTiles")->setChecked(false);
    Find<QCheckBox>(dialog, "randomPlacement")->setChecked(true);
    ok ? dialog.accept() : dialog.reject();

    EXPECT_EQ(edited.tileSize, 12);
    EXPECT_EQ(edited.accuracyLevel, 0);
    EXPECT_EQ(edited.accuracyStep, 1);
    EXPECT_EQ(edited.randomization, 20);
    EXPECT_EQ(edited.colourAdjust, 0);
    EXPECT_EQ(edited.blendPercent, 30);
    EXPECT_FALSE(edited.mirrorTiles);
    EXPECT_TRUE(edited.randomPlacement);

    // The next opening starts from what was left.
    COptionsDialog again(edited);
    EXPECT_EQ(Find<QComboBox>(again, "tileSize")->currentText(), "12 x 12");
    EXPECT_FALSE(Find<QCheckBox>(again, "mirrorTiles")->isChecked());
  }
}

TEST_F(OptionsDialogTest, DocumentBuildsAfterOkOnlyWithTheDialogsValues) {
  TempDir folder;
  testing::WritePlainPhoto(folder.File("photo.bmp"), 64, 48, {200, 90, 40});
  CTesselorDoc doc;
  ASSERT_TRUE(doc.OnOpenDocument(folder.File("photo.bmp")));
  std::vector<BuildOptions> builds;
  doc.SetBuilder([&](const CBmp&, CBmp&, const BuildOptions& options) {
    builds.push_back(options);
    return BuildOutcome::kCompleted;
  });
  bool pressOk = false;
  shell.optionsDialog = [&](CTesselorDoc& document) {
    COptionsDialog dialog(document.settings);
    Find<QComboBox>(dialog, "tileSize")->setCurrentIndex(6);  // 8 x 8
    Find<QSpinBox>(dialog, "magnification")->setValue(2);
    pressOk ? dialog.accept() : dialog.reject();
    return dialog.result() == QDialog::Accepted;
  };

  doc.OnCreateMosaic();
  EXPECT_TRUE(builds.empty());
  EXPECT_EQ(doc.settings.tileSize, 8);
  EXPECT_EQ(doc.settings.accuracyStep, 2);

  pressOk = true;
  doc.OnCreateMosaic();
  ASSERT_EQ(builds.size(), 1u);
  EXPECT_EQ(builds[0].tileSize, 8);
  EXPECT_EQ(builds[0].accuracyStep, 2);
  EXPECT_EQ(builds[0].magnification, 2.0);
  EXPECT_EQ(doc.MosaicImage()->width, 128);
}

TEST_F(OptionsDialogTest, OptionalTileLinesMoveTheOptionsBelowThem) {
  COptionsDialog dialog(settings);
  auto* mirror = Find<QCheckBox>(dialog, "mirrorTiles");
  auto* random = Find<QCheckBox>(dialog, "randomPlacement");
  EXPECT_EQ(LineY(dialog, "Mosaic Options:"), 103);

  mirror->setChecked(false);
  EXPECT_EQ(LineY(dialog, "Mosaic Options:"), 89);
  EXPECT_FALSE(Line(dialog, "Mirroring of tiles is enabled"));

  random->setChecked(true);  // takes the line mirroring left
  EXPECT_EQ(LineY(dialog, "Random tile placement mosaic"), 82);
  EXPECT_EQ(LineY(dialog, "Mosaic Options:"), 103);

  mirror->setChecked(true);
  EXPECT_EQ(LineY(dialog, "Mirroring of tiles is enabled"), 82);
  EXPECT_EQ(LineY(dialog, "Random tile placement mosaic"), 96);
  EXPECT_EQ(LineY(dialog, "Mosaic Options:"), 117);
  EXPECT_EQ(LineY(dialog, "Randomization:"), 152);
}

TEST_F(OptionsDialogTest, EveryTileCanBeChosenAndThePanelSaysWhatTheTileCapLeftOut) {
  MosaicSettings edited = settings;
  COptionsDialog dialog(edited, nullptr, 250);
  EXPECT_EQ(LineY(dialog, "250 photos left out by the tile limit"), 96);
  EXPECT_EQ(LineY(dialog, "Mosaic Options:"), 117);

  Find<QCheckBox>(dialog, "allTiles")->setChecked(true);
  EXPECT_FALSE(Line(dialog, "250 photos left out by the tile limit"));
  EXPECT_EQ(LineY(dialog, "Every tile of the library is used"), 96);
  dialog.accept();
  EXPECT_TRUE(edited.ToBuildOptions().allTiles);
}

// On by default and then unmentioned; turned off, the panel says so and the
// build is told, and the next opening starts from the choice.
TEST_F(OptionsDialogTest, TileCacheCanBeTurnedOffAndOnlyThenThePanelMentionsIt) {
  MosaicSettings edited = settings;
  COptionsDialog dialog(edited);
  auto* cache = Find<QCheckBox>(dialog, "useTileCache");
  EXPECT_TRUE(cache->isChecked());
  EXPECT_FALSE(Line(dialog, "Tile cache is off"));
  cache->setChecked(false);
  EXPECT_EQ(LineY(dialog, "Tile cache is off"), 96);
  EXPECT_EQ(LineY(dialog, "Mosaic Options:"), 117);
  dialog.accept();
  EXPECT_FALSE(edited.ToBuildOptions().useTileCache);
  COptionsDialog again(edited);
  EXPECT_FALSE(Find<QCheckBox>(again, "useTileCache")->isChecked());
}

TEST_F(OptionsDialogTest, BlendLineTakesTheColourLinesPlaceWhenThereIsNone) {
  COptionsDialog dialog(settings);
  Find<QSpinBox>(dialog, "blendPercent")->setValue(30);
  EXPECT_EQ(LineY(dialog, "Colour Adjustment:"), 152);
  EXPECT_EQ(LineY(dialog, "Blend Image:"), 166);

  Find<QSpinBox>(dialog, "colourAdjust")->setValue(0);
  EXPECT_FALSE(Line(dialog, "Colour Adjustment:"));
  EXPECT_EQ(LineY(dialog, "Blend Image:"), 152);
  EXPECT_EQ(Line(dialog, "30%")->position, QPoint(140, 152));
}

TEST_F(OptionsDialogTest, VarietyChoicesStartOffAndAreShownAndWrittenBackOnceSet) {
  {
    // Untouched, the dialog leaves every variety choice off, so the mosaic
    // stays the one the plain rules give.
    COptionsDialog dialog(settings);
    EXPECT_EQ(Find<QSpinBox>(dialog, "minDistance")->text(), "Off");
    EXPECT_EQ(Find<QSpinBox>(dialog, "maxUses")->text(), "Off");
    EXPECT_EQ(Find<QComboBox>(dialog, "metric")->currentText(), "RGB");
    dialog.accept();
    EXPECT_FALSE(settings.variety.AnyOn());
  }
  COptionsDialog dialog(settings);
  Find<QSpinBox>(dialog, "minDistance")->setValue(8);
  Find<QSpinBox>(dialog, "maxUses")->setValue(3);
  Find<QComboBox>(dialog, "metric")->setCurrentIndex(1);
  EXPECT_EQ(LineY(dialog, "Minimum Distance:"), 166);
  EXPECT_EQ(Line(dialog, "8 cells")->position, QPoint(140, 166));
  EXPECT_EQ(Line(dialog, "3")->position, QPoint(140, 180));
  EXPECT_EQ(Line(dialog, "CIELAB")->position, QPoint(140, 194));
  dialog.reject();
  EXPECT_EQ(settings.variety.minDistance, 8);
  EXPECT_EQ(settings.variety.maxUses, 3);
  EXPECT_EQ(settings.variety.metric, ColourMetric::kLab);
  EXPECT_EQ(Find<QSpinBox>(COptionsDialog(settings), "minDistance")->value(), 8);
}

TEST_F(OptionsDialogTest, LastMosaicLinesFollowTheOptionsAndThePanelGrowsToHoldThem) {
  OptionsSummaryValues values;
  values.colourAdjust = 20;
  values.blendPercent = 30;
  values.minDistance = 8;
  values.lastMosaic = {412, "sky.jpg", 9, 3};
  COptionsSummary panel([&values] { return values; });
  panel.Refresh();
  std::map<QString, QPoint> at;
  for (const SummaryText& line : panel.Lines()) at[line.text] = line.position;
  EXPECT_EQ(at["Minimum Distance:"], QPoint(20, 166));
  EXPECT_EQ(at["Last Mosaic:"], QPoint(10, 187));
  EXPECT_EQ(at["412"], QPoint(140, 208));
  EXPECT_EQ(at["9 times"], QPoint(140, 222));
  EXPECT_EQ(at["sky.jpg"], QPoint(30, 236));
  EXPECT_EQ(at["3 cells"], QPoint(140, 250));
  EXPECT_GE(panel.height(), 250 + 15);

  // Without a mosaic, or with every rule kept, those lines go.
  values.lastMosaic->rulesBroken = 0;
  const std::vector<SummaryText> kept = panel.Lines();
  EXPECT_TRUE(std::none_of(kept.begin(), kept.end(),
                           [](const SummaryText& line) { return line.text == "Rules Broken:"; }));
  values.lastMosaic.reset();
  panel.Refresh();
  EXPECT_EQ(panel.height(), COptionsSummary::kHeight);
}

TEST_F(OptionsDialogTest, PanelDrawsEachLineDownwardFromItsPosition) {
  COptionsDialog dialog(settings);
  const QImage panel = dialog.findChild<COptionsSummary*>()->grab().toImage();
  ASSERT_EQ(panel.size(), QSize(COptionsSummary::kWidth, COptionsSummary::kHeight));
  EXPECT_EQ(QColor(panel.pixel(0, 0)), QColor(Qt::black));
  EXPECT_EQ(QColor(panel.pixel(panel.width() - 1, panel.height() - 1)), QColor(Qt::black));
  EXPECT_EQ(QColor(panel.pixel(5, panel.height() - 5)), QColor(Qt::white));

  // Rows holding a reddish pixel in the value column: the "(640 , 480)" line
  // must start at its position's row, not stand on it as a baseline.
  const auto reddish = [&](int y) {
    for (int x = 140; x < panel.width() - 1; ++x) {
      const QColor c(panel.pixel(x, y));
      if (c.red() > 100 && c.green() < 90 && c.blue() < 90) return true;
    }
    return false;
  };
  for (int y = 1; y < 12; ++y) EXPECT_FALSE(reddish(y)) << y;
  bool inLine = false;
  for (int y = 12; y < 12 + 15; ++y) inLine |= reddish(y);
  EXPECT_TRUE(inLine);
  // However wide the system's face, headings end before the values start.
  const QFontMetrics bold(SummaryFont(true));
  EXPECT_LE(bold.height(), 15);
  EXPECT_LT(10 + bold.horizontalAdvance("Mosaic Dimensions:"), 140);
  EXPECT_LT(20 + QFontMetrics(SummaryFont(false)).horizontalAdvance("Colour Adjustment:"), 140);
}

TEST_F(OptionsDialogTest, SelectLibraryShowsTheChosenLibrary) {
  int chooserRuns = 0;
  shell.libraryChooser = [&] {
    ++chooserRuns;
    Paths().currentLibrary = "Seaside/";
    return true;
  };
  COptionsDialog dialog(settings);
  Find<QPushButton>(dialog, "selectLibrary")->click();
  EXPECT_EQ(chooserRuns, 1);
  EXPECT_TRUE(Line(dialog, "Seaside"));
  EXPECT_EQ(LineY(dialog, "Seaside"), 54);
}

}  // namespace
}  // namespace tesselor
