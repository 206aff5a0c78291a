// The wizard: its compiled-in pictures, the buttons and pictures of each page,
// the photograph check on step one, and what the document builds and stores
// after Finish or Cancel.
#include "app/wizard.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <cstring>
#include <functional>
#include <map>

#include "app/help_launcher.h"
#include "app/wizard_photo_page.h"
#include "app/wizard_picture.h"
#include "app/wizard_style_page.h"
#include "app/wizard_tiles_page.h"
#include "app/wizard_welcome_page.h"
#include "platform/app_paths.h"
#include "tests/support/scripted_shell.h"
#include "resources/compiled_resources.h"
#include "tests/ui/ui_test_support.h"

namespace tesselor {
namespace {

using testing::TempDir;

bool SamePixels(const CBmp* a, const CBmp* b) {
  if (!a || !b || a->width != b->width || a->height != b->height ||
      a->bitsPerPixel != b->bitsPerPixel)
    return false;
  const size_t rowBytes = CBmp::LineLengthFor(a->width, a->bitsPerPixel);
  for (int y = 0; y < a->height; ++y)
    if (std::memcmp(a->lineArray[y], b->lineArray[y], rowBytes) != 0) return false;
  return true;
}

// True when the picture shown is the compiled-in picture id.
bool ShowsPicture(const CBmp* shown, int id) {
  return SamePixels(shown, LoadWizardPicture(id).get());
}

// The wizard buttons a user sees, by text, with whether each can be pressed.
std::map<QString, bool> VisibleButtons(const QWizard& wizard) {
  std::map<QString, bool> buttons;
  for (auto which : {QWizard::BackButton, QWizard::NextButton, QWizard::CommitButton,
                     QWizard::FinishButton, QWizard::CancelButton, QWizard::HelpButton}) {
    QAbstractButton* button = wizard.button(which);
    if (button->isVisible()) buttons[button->text().remove('&')] = button->isEnabled();
  }
  return buttons;
}

// Presses whichever forward button the page shows.
void PressNext(QWizard& wizard) {
  for (auto which : {QWizard::NextButton, QWizard::CommitButton})
    if (wizard.button(which)->isVisible()) return wizard.button(which)->click();
  ADD_FAILURE() << "no Next button on page " << wizard.currentId();
}

class WizardTest : public ::testing::Test {
 protected:
  WizardTest() {
    testing::TestApplication();
    InstallCompiledResources();
    Paths().currentLibrary = "Demo Tile Library/";
  }

  // A small photograph named name in the test's folder; its content, not
  // its name, makes it a Windows bitmap.
  std::string Photo(const std::string& name) {
    testing::WritePhoto(folder.File(name), 80, 40, [](int x, int y) {
      return testing::Rgb{uint8_t(x * 3), uint8_t(y * 6), 40};
    });
    return folder.File(name);
  }

  // Chooses path through step one's "Select image ..." button.
  void SelectImage(CWizard& wizard, const std::string& path) {
    shell.dialogPaths.push_back(path);
    wizard.PhotoPage()->findChild<QPushButton*>("selectImage")->click();
  }

  TempDir folder;
  ScriptedShell shell;
};

TEST_F(WizardTest, PicturesAreCompiledInAtTheFrameWidth) {
  for (int id : {146, 147, 151, 152, 153, 154, 155, 157, 158, 159}) {
    const auto picture = LoadWizardPicture(id);
    ASSERT_NE(picture, nullptr) << id;
    EXPECT_EQ(picture->width, CWizardPicture::kWidth) << id;
    EXPECT_EQ(picture->height, id == kWelcomePictureId ? 188 : 187) << id;
    EXPECT_EQ(picture->bitsPerPixel, 32) << id;
  }
  EXPECT_EQ(LoadWizardPicture(160), nullptr);
}

TEST_F(WizardTest, FirstRunTicksTheBoxAndOffers24PixelTiles) {
  CWizard wizard(WizardChoices{});
  EXPECT_EQ(wizard.windowTitle(), "Wizard");
  EXPECT_TRUE(wizard.WelcomePage()->ShowAtStart());
  EXPECT_EQ(wizard.TilesPage()->findChild<QComboBox*>("tileSize")->currentText(), "24 x 24");
  EXPECT_TRUE(ShowsPicture(wizard.TilesPage()->ShownPicture(), 152));
  EXPECT_TRUE(ShowsPicture(wizard.StylePage()->ShownPicture(), 146));
}

TEST_F(WizardTest, ButtonsFollowThePageAndStepOneCannotGoBack) {
  CWizard wizard(WizardChoices{"", 3, false, true});
  wizard.show();
  using Buttons = std::map<QString, bool>;
  EXPECT_EQ(VisibleButtons(wizard),
            (Buttons{{"< Back", false}, {"Next >", true}, {"Cancel", true}, {"Help", true}}));

  PressNext(wizard);
  ASSERT_EQ(wizard.currentId(), 1);
  EXPECT_EQ(VisibleButtons(wizard),
            (Buttons{{"< Back", false}, {"Next >", true}, {"Cancel", true}, {"Help", true}}));

  SelectImage(wizard, Photo("photo.jpg"));
  PressNext(wizard);
  ASSERT_EQ(wizard.currentId(), 2);
  EXPECT_EQ(VisibleButtons(wizard),
            (Buttons{{"< Back", true}, {"Next >", true}, {"Cancel", true}, {"Help", true}}));

  PressNext(wizard);
  ASSERT_EQ(wizard.currentId(), 3);
  EXPECT_EQ(VisibleButtons(wizard),
            (Buttons{{"< Back", true}, {"Finish", true}, {"Cancel", true}, {"Help", true}}));

  wizard.back();
  wizard.back();
  EXPECT_EQ(wizard.currentId(), 1);
  EXPECT_FALSE(wizard.button(QWizard::BackButton)->isEnabled());
}

TEST_F(WizardTest, StepOneRefusesNextUntilAPhotographIsRead) {
  CWizard wizard(WizardChoices{});
  wizard.show();
  PressNext(wizard);
  PressNext(wizard);
  EXPECT_EQ(wizard.currentId(), 1);
  ASSERT_EQ(shell.messages.size(), 1u);
  EXPECT_EQ(shell.messages[0].text,
            "You cannot proceed to the next step until you specify an image");
  EXPECT_EQ(shell.messages[0].style, MessageStyle::kStop);
}

TEST_F(WizardTest, StepOneTellsWhyAFileCannotBeUsed) {
  const std::string good = Photo("good.jpg");
  testing::WriteFileBytes(folder.File("photo.gif"), testing::ReadFileBytes(good));
  testing::WriteFileBytes(folder.File("broken.jpg"), {'n', 'o', 't', ' ', 'a', ' ', 'j', 'p', 'g'});
  CWizard wizard(WizardChoices{});
  auto* path = wizard.PhotoPage()->findChild<QLineEdit*>("imagePath");

  SelectImage(wizard, good);
  SelectImage(wizard, folder.File("missing.jpg"));
  SelectImage(wizard, folder.File("photo.gif"));
  // A wrong name or a missing file leaves the photograph chosen before.
  EXPECT_EQ(path->text().toStdString(), good);
  EXPECT_NE(wizard.PhotoPage()->Preview(), nullptr);

  SelectImage(wizard, folder.File("broken.jpg"));
  EXPECT_EQ(wizard.PhotoPage()->Preview(), nullptr);

  ASSERT_EQ(shell.messages.size(), 3u);
  EXPECT_EQ(shell.messages[0].text, "Unable open file, it may have been moved or deleted");
  EXPECT_EQ(shell.messages[0].style, MessageStyle::kOk);
  EXPECT_EQ(shell.messages[1].text,
            "Tesselor only accepts JPEG, BMP, PNG, TIFF, WebP and HEIF image files");
  EXPECT_EQ(shell.messages[1].style, MessageStyle::kExclamation);
  EXPECT_EQ(shell.messages[2].text, "Unable to read file, it may not contain a valid image");
  EXPECT_EQ(shell.messages[2].style, MessageStyle::kExclamation);
}

TEST_F(WizardTest, StepOneTakesUpperCaseExtensionsAndTheDocumentsPhotograph) {
  const std::string upper = Photo("photo.JPEG");
  CWizard wizard(WizardChoices{upper, 3, false, true});
  wizard.show();
  PressNext(wizard);  // step one reads the handed photograph as it opens
  EXPECT_EQ(wizard.PhotoPage()->findChild<QLineEdit*>("imagePath")->text().toStdString(), upper);
  ASSERT_NE(wizard.PhotoPage()->Preview(), nullptr);
  EXPECT_EQ(wizard.PhotoPage()->Preview()->width, 80);
  PressNext(wizard);
  EXPECT_EQ(wizard.currentId(), 2);
  EXPECT_TRUE(shell.messages.empty());
}

TEST_F(WizardTest, PicturesFollowTheStyleAndTileSizeChosen) {
  CWizard wizard(WizardChoices{});
  wizard.StylePage()->findChild<QRadioButton*>("randomPattern")->click();
  EXPECT_TRUE(ShowsPicture(wizard.StylePage()->ShownPicture(), 147));
  EXPECT_TRUE(wizard.StylePage()->RandomPattern());
  wizard.StylePage()->findChild<QRadioButton*>("regularGrid")->click();
  EXPECT_TRUE(ShowsPicture(wizard.StylePage()->ShownPicture(), 146));

  auto* sizes = wizard.TilesPage()->findChild<QComboBox*>("tileSize");
  const int pictureAt[] = {151, 154, 153, 152, 155, 157, 158};
  for (int position = 0; position < 7; ++position) {
    sizes->setCurrentIndex(position);
    EXPECT_TRUE(ShowsPicture(wizard.TilesPage()->ShownPicture(), pictureAt[position])) << position;
  }
}

TEST_F(WizardTest, FramesDrawTheirPictureOnBlackAndAnEmptyPreviewGrey) {
  const auto picture = LoadWizardPicture(kGridPictureId);
  CWizardPicture illustration(CWizardPicture::Fit::kWidth);
  illustration.SetPicture(picture.get());
  const QImage drawn = illustration.grab().toImage();
  for (const QPoint at : {QPoint(0, 0), QPoint(247, 186), QPoint(100, 50)}) {
    const testing::Rgb expected = testing::PixelAt(*picture, at.x(), at.y());
    EXPECT_EQ(testing::ToRgb(drawn.pixel(at)), expected) << at.x() << "," << at.y();
  }

  CWizardPicture preview(CWizardPicture::Fit::kInside);
  EXPECT_EQ(QColor(preview.grab().toImage().pixel(100, 100)), QColor(128, 128, 128));
  CDrawDibBmp wide;
  testing::FillBitmap(wide, 496, 100, [](int, int) { return testing::Rgb{255, 255, 255}; });
  preview.SetPicture(&wide);
  const QImage centred = preview.grab().toImage();
  EXPECT_EQ(QColor(centred.pixel(100, 10)), QColor(Qt::black));  // above the picture
  EXPECT_EQ(QColor(centred.pixel(100, 93)), QColor(Qt::white));
  // A tall picture is centred across instead.
  EXPECT_EQ(FitInside(QRect(0, 0, 248, 187), 187, 374), (PicturePlacement{77, 0, 0.5}));
}

TEST_F(WizardTest, HelpOnEveryPageOpensTheWizardTopic) {
  struct RecordingLauncher : HelpLauncher {
    RecordingLauncher() : HelpLauncher(nullptr) {}
    bool DisplayTopic(const QString& address) override {
      shown.append(address);
      return true;
    }
    QStringList shown;
  } launcher;
  HelpLauncher::Install(&launcher);
  CWizard wizard(WizardChoices{Photo("photo.jpg"), 3, false, true});
  wizard.show();
  for (int page = 0; page < 4; ++page) {
    wizard.button(QWizard::HelpButton)->click();
    if (page < 3) PressNext(wizard);
  }
  HelpLauncher::Install(nullptr);
  ASSERT_EQ(launcher.shown.size(), 4);
  for (const QString& address : launcher.shown) EXPECT_TRUE(address.endsWith("/Wizard.htm"));
}

// The document's wizard command with the real modal wizard, driven by a
// script that runs once the wizard is on screen.
class WizardBuildTest : public WizardTest {
 protected:
  WizardBuildTest() {
    doc.SetBuilder([this](const CBmp&, CBmp&, const BuildOptions& options) {
      builds.push_back(options);
      return BuildOutcome::kCompleted;
    });
    shell.wizard = [](CTesselorDoc& document) { return CWizard::Run(document, nullptr); };
  }

  // Runs the Wizard command; script works the wizard and ends it.
  void RunWizard(const std::function<void(CWizard&)>& script) {
    QTimer::singleShot(0, [&] {
      auto* wizard = dynamic_cast<CWizard*>(QApplication::activeModalWidget());
      ASSERT_NE(wizard, nullptr);
      script(*wizard);
      if (wizard->isVisible()) wizard->reject();  // a failed script must not hang the test
    });
    doc.OnWizard();
  }

  // Walks the wizard from the welcome page to Finish.
  void FinishWith(CWizard& wizard, const std::string& photo, bool randomPattern, int position) {
    PressNext(wizard);
    SelectImage(wizard, photo);
    PressNext(wizard);
    if (randomPattern) wizard.StylePage()->findChild<QRadioButton*>("randomPattern")->click();
    PressNext(wizard);
    wizard.TilesPage()->findChild<QComboBox*>("tileSize")->setCurrentIndex(position);
    wizard.button(QWizard::FinishButton)->click();
  }

  CTesselorDoc doc;
  std::vector<BuildOptions> builds;
};

TEST_F(WizardBuildTest, FinishBuildsWithTheWizardsOwnValues) {
  const std::string photo = Photo("photo.jpg");
  RunWizard([&](CWizard& wizard) { FinishWith(wizard, photo, true, 6); });
  ASSERT_EQ(builds.size(), 1u);
  const BuildOptions& built = builds[0];
  EXPECT_EQ(built.tileSize, 8);
  EXPECT_EQ(built.accuracyStep, 2);
  EXPECT_EQ(built.magnification, 1.0);
  EXPECT_EQ(built.blendFraction, 0.12);
  EXPECT_TRUE(built.mirrorTiles);
  EXPECT_EQ(built.colourAdjust, 45);
  EXPECT_EQ(built.randomization, 30);
  EXPECT_TRUE(built.randomPlacement);
  EXPECT_EQ(doc.SourcePath(), photo);
  EXPECT_FALSE(doc.ShowsOriginal());
  EXPECT_EQ(shell.recentFiles, std::vector<std::string>{photo});
  EXPECT_EQ(doc.Profile().GetProfileInt("Wizard", -1), 1);
  // The options dialog's record is the wizard's to leave alone.
  EXPECT_EQ(doc.settings.tileSize, MosaicSettings{}.tileSize);
  EXPECT_EQ(doc.settings.colourAdjust, MosaicSettings{}.colourAdjust);

  RunWizard([&](CWizard& wizard) { FinishWith(wizard, photo, false, 0); });
  ASSERT_EQ(builds.size(), 2u);
  EXPECT_EQ(builds[1].tileSize, 64);
  EXPECT_EQ(builds[1].accuracyStep, 16);
  EXPECT_FALSE(builds[1].randomPlacement);
}

TEST_F(WizardBuildTest, OnlyFinishWritesTheShowAtStartChoice) {
  const std::string photo = Photo("photo.jpg");
  RunWizard([&](CWizard& wizard) {
    wizard.WelcomePage()->findChild<QCheckBox*>("showAtStart")->setChecked(false);
    PressNext(wizard);
    SelectImage(wizard, photo);
    wizard.reject();
  });
  EXPECT_TRUE(builds.empty());
  EXPECT_EQ(doc.Profile().GetProfileInt("Wizard", -1), -1);
  EXPECT_EQ(doc.SourceImage(), nullptr);

  RunWizard([&](CWizard& wizard) {
    wizard.WelcomePage()->findChild<QCheckBox*>("showAtStart")->setChecked(false);
    FinishWith(wizard, photo, false, 3);
  });
  EXPECT_EQ(doc.Profile().GetProfileInt("Wizard", -1), 0);

  // The next run shows the box cleared and the photograph already chosen.
  RunWizard([&](CWizard& wizard) {
    EXPECT_FALSE(wizard.WelcomePage()->ShowAtStart());
    PressNext(wizard);
    EXPECT_NE(wizard.PhotoPage()->Preview(), nullptr);
    wizard.reject();
  });
}

}  // namespace
}  // namespace tesselor
