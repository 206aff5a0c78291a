#include "engine/tesselor_doc.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstring>

#include "imagelib/any_pic_decoder.h"
#include "platform/app_paths.h"
#include "tests/engine/engine_fixtures.h"
#include "tests/support/hand_made_pictures.h"
#include "tests/support/scripted_shell.h"
#include "tests/support/test_support.h"

namespace tesselor {
namespace {

using testing::FileExists;
using testing::ReadFileBytes;
using testing::TempDir;

constexpr const char* kNotCreated = "A Mosaic image has not been created yet";
constexpr const char* kOnlyJpegAndBmp =
    "Tesselor only accepts JPEG, BMP, PNG, TIFF, WebP and HEIF image files";
constexpr const char* kNoImageForMontage = "You must load an image before you can create a montage";
constexpr const char* kNoMemoryForMosaic =
    "Not enough memory to create the mosaic image.\nTry selecting a lower magnification.";

// A 24-bit Windows bitmap file written byte by byte, so the photographs the
// tests open do not depend on the program's own writers.
void WriteBmpFile(const std::string& path, int width, int height) {
  testing::BmpFile bmp;
  bmp.width = width;
  bmp.height = height;
  const int lineLength = (width * 3 + 3) / 4 * 4;
  bmp.pixels.assign(size_t(lineLength) * height, 0);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      uint8_t* pixel = &bmp.pixels[size_t(y) * lineLength + 3 * x];
      pixel[0] = uint8_t(x);
      pixel[1] = uint8_t(y);
      pixel[2] = 200;
    }
  testing::WriteFileBytes(path, bmp.Build());
}

bool StartsWith(const std::vector<uint8_t>& bytes, std::initializer_list<uint8_t> prefix) {
  return bytes.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), bytes.begin());
}

bool IsJpegFile(const std::string& path) {
  return StartsWith(ReadFileBytes(path), {0xFF, 0xD8});
}
bool IsBmpFile(const std::string& path) {
  return StartsWith(ReadFileBytes(path), {'B', 'M'});
}

class DocTest : public ::testing::Test {
 protected:
  DocTest() {
    doc.SetBuilder([this](const CBmp& source, CBmp& mosaic, const BuildOptions& options) {
      builds.push_back(options);
      builtSizes.emplace_back(mosaic.width, mosaic.height);
      EXPECT_EQ(mosaic.height, int(source.height * options.magnification));
      if (duringBuild) duringBuild();
      // Paint one pixel, so what a save writes can be told from a blank bitmap.
      mosaic.lineArray[0][0] = 77;
      return outcome;
    });
  }

  // Opens a fresh photograph of that size through the Open command.
  std::string OpenPhoto(int width, int height, const std::string& name = "photo.bmp") {
    const std::string path = dir.File(name);
    WriteBmpFile(path, width, height);
    shell.dialogPaths.push_back(path);
    doc.OnFileOpen();
    return path;
  }

  // Runs the options build, changing the settings as the dialog would.
  void BuildWithOptions(std::function<void(MosaicSettings&)> change = nullptr) {
    shell.optionsDialog = [change](CTesselorDoc& d) {
      if (change) change(d.settings);
      return true;
    };
    doc.OnCreateMosaic();
  }

  ScriptedShell shell;
  TempDir dir;
  CTesselorDoc doc;
  std::vector<BuildOptions> builds;
  std::vector<std::pair<int, int>> builtSizes;
  std::function<void()> duringBuild;
  BuildOutcome outcome = BuildOutcome::kCompleted;
};

// --- Opening photographs -------------------------------------------------

TEST_F(DocTest, OpenShowsThePhotographWithABlankMosaicOfItsSize) {
  const std::string path = OpenPhoto(30, 20);
  EXPECT_TRUE(shell.messages.empty());
  ASSERT_NE(doc.SourceImage(), nullptr);
  EXPECT_EQ(doc.SourceImage()->bitsPerPixel, 32);
  ASSERT_NE(doc.MosaicImage(), nullptr);
  EXPECT_EQ(doc.MosaicImage()->width, 30);
  EXPECT_EQ(doc.MosaicImage()->height, 20);
  EXPECT_EQ(doc.MosaicImage()->bitsPerPixel, 32);
  EXPECT_TRUE(doc.MosaicImage()->hasAlpha);
  EXPECT_EQ(doc.CurrentPicture(), doc.SourceImage());
  EXPECT_EQ(doc.SourcePath(), path);
  EXPECT_EQ(doc.Title(), "photo");
  EXPECT_EQ(shell.recentFiles, std::vector<std::string>{path});
  EXPECT_EQ(Paths().imageDirectory, CurrentDirectory());
}

TEST_F(DocTest, ExtensionRuleIgnoresCaseAndTheContentDecidesTheFormat) {
  // Bitmap bytes under a JPEG name: the name passes the rule, the decoder
  // goes by content.
  const std::string path = OpenPhoto(8, 6, "photo.JPEG");
  EXPECT_TRUE(shell.messages.empty());
  EXPECT_EQ(doc.SourcePath(), path);
  EXPECT_EQ(doc.Title(), "photo");
}

TEST_F(DocTest, OtherExtensionsAreRefusedAndLeaveTheDocumentAsItWas) {
  const std::string good = OpenPhoto(8, 6);
  const CDrawDibBmp* source = doc.SourceImage();
  mkdir(dir.File("album.jpg").c_str(), 0700);
  for (const std::string name : {"photo.gif", "noextension", "album.jpg/inside"}) {
    shell.messages.clear();
    OpenPhoto(8, 6, name);
    ASSERT_EQ(shell.MessageTexts(), std::vector<std::string>{kOnlyJpegAndBmp}) << name;
    EXPECT_EQ(shell.messages[0].style, MessageStyle::kExclamation);
    EXPECT_EQ(doc.SourceImage(), source) << name;
    EXPECT_EQ(doc.SourcePath(), good) << name;
    EXPECT_EQ(doc.Title(), "photo") << name;
  }
  // The recent list takes every path the user picked, opened or not.
  EXPECT_EQ(shell.recentFiles.size(), 4u);
}

TEST_F(DocTest, MissingFileSaysItMayHaveBeenMoved) {
  shell.dialogPaths.push_back(dir.File("gone.jpg"));
  doc.OnFileOpen();
  ASSERT_EQ(shell.messages.size(), 1u);
  EXPECT_EQ(shell.messages[0].text, "Unable open file, it may have been moved or deleted");
  EXPECT_EQ(shell.messages[0].style, MessageStyle::kOk);
  EXPECT_EQ(doc.SourceImage(), nullptr);
  EXPECT_EQ(doc.Title(), "Untitled");
}

TEST_F(DocTest, BrokenImageKeepsThePreviousPhotographMosaicPathAndTitle) {
  const std::string good = OpenPhoto(40, 30);
  BuildWithOptions();
  const CDrawDibBmp* source = doc.SourceImage();
  const CDrawDibBmp* mosaic = doc.MosaicImage();
  const std::string broken = dir.File("broken.jpg");
  testing::WriteFileBytes(broken, {0xFF, 0xD8, 0xFF, 0xE0, 1, 2, 3});
  shell.dialogPaths.push_back(broken);
  doc.OnFileOpen();
  EXPECT_EQ(shell.MessageTexts(),
            std::vector<std::string>{"Unable to read file, it may not contain a valid image"});
  EXPECT_EQ(doc.SourceImage(), source);
  EXPECT_EQ(doc.MosaicImage(), mosaic);
  EXPECT_TRUE(doc.MosaicBuilt());
  EXPECT_EQ(doc.CurrentPicture(), mosaic);
  EXPECT_EQ(doc.SourcePath(), good);
  EXPECT_EQ(doc.Title(), "photo");
}

// --- Saving --------------------------------------------------------------

TEST_F(DocTest, SavingBeforeAnyImageAsksForANameThenRefuses) {
  const std::string target = dir.File("mosaic.jpg");
  shell.dialogPaths.push_back(target);
  doc.OnFileSave();
  EXPECT_EQ(shell.MessageTexts(), std::vector<std::string>{kNotCreated});
  EXPECT_TRUE(shell.dialogPaths.empty());
  EXPECT_FALSE(FileExists(target));
}

TEST_F(DocTest, SavingBeforeABuildNeverWritesOverThePhotograph) {
  const std::string photo = OpenPhoto(16, 12);
  const std::vector<uint8_t> original = ReadFileBytes(photo);
  shell.answers.push_back(MessageAnswer::kYes);
  doc.OnFileSave();
  EXPECT_EQ(shell.MessageTexts(), std::vector<std::string>{kNotCreated});
  EXPECT_EQ(ReadFileBytes(photo), original);

  shell.messages.clear();
  const std::string target = dir.File("mosaic.bmp");
  shell.dialogPaths.push_back(target);
  doc.OnFileSaveAs();
  EXPECT_EQ(shell.MessageTexts(), std::vector<std::string>{kNotCreated});
  EXPECT_FALSE(FileExists(target));
  EXPECT_EQ(doc.SourcePath(), photo);
}

TEST_F(DocTest, SaveAsksOnceBeforeOverwritingThePhotograph) {
  const std::string photo = OpenPhoto(16, 12);
  BuildWithOptions();
  shell.answers.push_back(MessageAnswer::kYes);
  doc.OnFileSave();
  ASSERT_EQ(shell.messages.size(), 1u);
  EXPECT_EQ(shell.messages[0].style, MessageStyle::kQuestion);
  EXPECT_EQ(shell.messages[0].text.rfind("This will overwrite the original image with the "
                                         "photomosaic.\nAre you sure you want to do this?",
                                         0),
            0u);
  EXPECT_TRUE(doc.OverwriteConfirmed());
  EXPECT_TRUE(IsBmpFile(photo));  // the name decides the format

  // Answered once, later saves write straight away.
  CDrawDibBmp saved;
  CAnyPicDecoder().DecodeFile(photo, saved, 32);
  EXPECT_EQ(saved.width, 16);
  EXPECT_EQ(saved.lineArray[0][0], 77);
  std::remove(photo.c_str());
  doc.OnFileSave();
  EXPECT_EQ(shell.messages.size(), 1u);
  EXPECT_TRUE(FileExists(photo));
}

TEST_F(DocTest, NoToOverwriteGoesToSaveAsAndTheNextSaveAsksAgain) {
  const std::string photo = OpenPhoto(16, 12);
  const std::vector<uint8_t> original = ReadFileBytes(photo);
  BuildWithOptions();
  shell.answers.push_back(MessageAnswer::kNo);
  shell.dialogPaths.push_back(std::nullopt);  // and Save As is cancelled
  doc.OnFileSave();
  EXPECT_EQ(ReadFileBytes(photo), original);
  EXPECT_FALSE(doc.OverwriteConfirmed());

  shell.answers.push_back(MessageAnswer::kNo);
  shell.dialogPaths.push_back(dir.File("copy.jpg"));
  doc.OnFileSave();
  EXPECT_EQ(shell.messages.size(), 2u);
  EXPECT_TRUE(IsJpegFile(dir.File("copy.jpg")));
  EXPECT_EQ(ReadFileBytes(photo), original);
  EXPECT_EQ(doc.SourcePath(), dir.File("copy.jpg"));
  EXPECT_EQ(doc.Title(), "copy");
}

TEST_F(DocTest, OpeningAnotherPhotographForgetsTheYesToOverwriting) {
  OpenPhoto(16, 12);
  BuildWithOptions();
  shell.answers.push_back(MessageAnswer::kYes);
  doc.OnFileSave();
  ASSERT_TRUE(doc.OverwriteConfirmed());
  // The recent-file list opens without the Open command.
  const std::string second = dir.File("second.bmp");
  WriteBmpFile(second, 10, 10);
  ASSERT_TRUE(doc.OpenDocumentFile(second));
  EXPECT_FALSE(doc.OverwriteConfirmed());
}

TEST_F(DocTest, OpeningAnotherPhotographForgetsATypedSizeButKeepsASpunMagnification) {
  OpenPhoto(640, 480);
  // 200000 typed as the width: far past the spinner's 6.
  BuildWithOptions([](MosaicSettings& s) { s.magnification = 312.5; });
  OpenPhoto(300, 200, "second.bmp");
  EXPECT_EQ(doc.settings.magnification, 6.0);
  BuildWithOptions([](MosaicSettings& s) { s.magnification = 1.5625; });
  OpenPhoto(300, 200, "third.bmp");
  EXPECT_EQ(doc.settings.magnification, 1.0);
  BuildWithOptions([](MosaicSettings& s) { s.magnification = 3; });
  OpenPhoto(300, 200, "fourth.bmp");
  EXPECT_EQ(doc.settings.magnification, 3.0);
}

TEST_F(DocTest, SaveAsPicksTheWriterByExtension) {
  OpenPhoto(16, 12);
  BuildWithOptions();
  shell.dialogPaths = {dir.File("mosaic.bmp"), dir.File("mosaic.jpeg")};
  doc.OnFileSaveAs();
  doc.OnFileSaveAs();
  EXPECT_TRUE(IsBmpFile(dir.File("mosaic.bmp")));
  EXPECT_TRUE(IsJpegFile(dir.File("mosaic.jpeg")));
  EXPECT_TRUE(shell.messages.empty());
  EXPECT_EQ(doc.SourcePath(), dir.File("mosaic.jpeg"));
  EXPECT_EQ(doc.Title(), "mosaic");
  EXPECT_EQ(shell.recentFiles.back(), dir.File("mosaic.jpeg"));
}

TEST_F(DocTest, UnknownExtensionAsksAndYesWritesJpegUnderThatName) {
  OpenPhoto(16, 12);
  BuildWithOptions();
  const std::string png = dir.File("mosaic.gif");
  shell.dialogPaths = {png, png};
  shell.answers = {MessageAnswer::kNo, MessageAnswer::kYes};
  doc.OnFileSaveAs();
  ASSERT_EQ(shell.messages.size(), 1u);
  EXPECT_EQ(shell.messages[0].text,
            "Tesselor writes image files in JPEG and BMP file formats\nThe file exntension you "
            "have provided, 'gif' will not be recognised\n\nContinue to save with this extension?");
  EXPECT_FALSE(FileExists(png));
  EXPECT_EQ(doc.Title(), "photo");

  doc.OnFileSaveAs();
  EXPECT_TRUE(IsJpegFile(png));
  EXPECT_EQ(doc.SourcePath(), png);
}

TEST_F(DocTest, FailedSaveSaysWhyAndKeepsPathTitleAndFile) {
  const std::string photo = OpenPhoto(16, 12);
  BuildWithOptions();
  const std::string nowhere = dir.File("missing-folder/mosaic.jpg");
  shell.dialogPaths.push_back(nowhere);
  doc.OnFileSaveAs();
  ASSERT_EQ(shell.messages.size(), 1u);
  EXPECT_EQ(shell.messages[0].style, MessageStyle::kStop);
  EXPECT_NE(shell.messages[0].text.find(nowhere), std::string::npos);
  EXPECT_EQ(doc.SourcePath(), photo);
  EXPECT_EQ(doc.Title(), "photo");
  EXPECT_EQ(shell.recentFiles.size(), 1u);
}

// --- Building --------------------------------------------------------------

TEST_F(DocTest, OptionsBuildMakesTheMagnifiedMosaicAndShowsIt) {
  OpenPhoto(300, 200);
  BuildWithOptions([](MosaicSettings& s) { s.magnification = 2; });
  ASSERT_EQ(builtSizes.size(), 1u);
  EXPECT_EQ(builtSizes[0], std::make_pair(600, 400));
  EXPECT_EQ(doc.settings.sourceWidth, 300);
  EXPECT_EQ(doc.settings.sourceHeight, 200);
  EXPECT_EQ(doc.CurrentPicture(), doc.MosaicImage());
  EXPECT_TRUE(doc.MosaicImage()->hasAlpha);
  EXPECT_EQ(shell.beeps, (std::vector<std::pair<int, int>>{{300, 30}}));

  OpenPhoto(301, 201);
  BuildWithOptions([](MosaicSettings& s) {
    s.magnification = 2.5;
    s.blendPercent = 40;
    s.tileSize = 16;
  });
  EXPECT_EQ(builtSizes.back(), std::make_pair(752, 502));
  EXPECT_EQ(doc.DisplayWidth(), 752);
  EXPECT_DOUBLE_EQ(builds.back().blendFraction, 0.4);
  EXPECT_EQ(builds.back().tileSize, 16);
}

TEST_F(DocTest, OptionsBuildNeedsAPhotograph) {
  bool dialogShown = false;
  shell.optionsDialog = [&](CTesselorDoc&) { return dialogShown = true; };
  doc.OnCreateMosaic();
  EXPECT_FALSE(dialogShown);
  ASSERT_EQ(shell.messages.size(), 1u);
  EXPECT_EQ(shell.messages[0].text, kNoImageForMontage);
  EXPECT_EQ(shell.messages[0].style, MessageStyle::kInformation);
}

TEST_F(DocTest, CancelledOptionsKeepTheMosaicAndTheViews) {
  OpenPhoto(30, 20);
  BuildWithOptions();
  doc.OnFlip();
  const CDrawDibBmp* mosaic = doc.MosaicImage();
  shell.optionsDialog = [](CTesselorDoc& d) {
    d.settings.magnification = 3;
    return false;
  };
  doc.OnCreateMosaic();
  EXPECT_EQ(doc.MosaicImage(), mosaic);
  EXPECT_EQ(doc.MosaicImage()->width, 30);
  EXPECT_TRUE(doc.ShowsOriginal());
  EXPECT_EQ(builds.size(), 1u);
  EXPECT_EQ(shell.beeps.size(), 1u);
}

TEST_F(DocTest, MosaicTooLargeForMemoryLeavesItAbsent) {
  OpenPhoto(300, 200);
  BuildWithOptions();
  BuildWithOptions([](MosaicSettings& s) { s.magnification = 1e9; });
  EXPECT_EQ(shell.MessageTexts(), std::vector<std::string>{kNoMemoryForMosaic});
  EXPECT_EQ(shell.messages[0].style, MessageStyle::kOk);
  EXPECT_EQ(builds.size(), 1u);
  EXPECT_EQ(shell.beeps.size(), 1u);
  EXPECT_EQ(doc.MosaicImage(), nullptr);
  EXPECT_EQ(doc.CurrentPicture(), doc.SourceImage());
  doc.OnFlip();
  EXPECT_EQ(doc.CurrentPicture(), doc.SourceImage());
  EXPECT_EQ(doc.DisplayWidth(), 300);

  shell.messages.clear();
  shell.dialogPaths.push_back(dir.File("out.jpg"));
  doc.OnFileSaveAs();
  EXPECT_EQ(shell.MessageTexts(), std::vector<std::string>{kNotCreated});
  EXPECT_FALSE(FileExists(dir.File("out.jpg")));
}

TEST_F(DocTest, AbortedBuildIsTheMosaicButOneThatPaintedNothingIsNot) {
  OpenPhoto(16, 12);
  outcome = BuildOutcome::kAborted;
  BuildWithOptions();
  EXPECT_FALSE(doc.ShowsOriginal());
  const std::string target = dir.File("partial.bmp");
  shell.dialogPaths.push_back(target);
  doc.OnFileSaveAs();
  EXPECT_TRUE(IsBmpFile(target));

  // Saving a blank bitmap would put a black picture over the photograph.
  for (BuildOutcome empty : {BuildOutcome::kNoTiles, BuildOutcome::kAbortedBeforePainting}) {
    const std::string photo = OpenPhoto(16, 12);
    const std::vector<uint8_t> photoBytes = ReadFileBytes(photo);
    outcome = empty;
    BuildWithOptions();
    EXPECT_TRUE(doc.ShowsOriginal());
    EXPECT_EQ(doc.CurrentPicture(), doc.SourceImage());
    shell.messages.clear();
    shell.answers.push_back(MessageAnswer::kYes);
    doc.OnFileSave();
    EXPECT_EQ(shell.MessageTexts(), std::vector<std::string>{kNotCreated});
    EXPECT_EQ(ReadFileBytes(photo), photoBytes);
    shell.answers.clear();
  }
  EXPECT_EQ(shell.beeps.size(), 3u);
}

TEST_F(DocTest, BuildThatThrowsStillClearsTheBusyFlag) {
  OpenPhoto(16, 12);
  duringBuild = [] { throw std::bad_alloc(); };
  EXPECT_THROW(BuildWithOptions(), std::bad_alloc);
  EXPECT_FALSE(doc.IsBusy());
}

// --- The wizard ------------------------------------------------------------

TEST_F(DocTest, WizardOpensItsImageAndBuildsWithItsOwnValues) {
  const std::string path = dir.File("beach.bmp");
  WriteBmpFile(path, 64, 48);
  doc.settings.blendPercent = 50;
  doc.settings.useTileCache = false;  // a standing choice, which the wizard keeps
  shell.wizard = [&](CTesselorDoc& d) {
    EXPECT_EQ(d.wizardChoices.imagePath, "");
    EXPECT_TRUE(d.wizardChoices.showAtStart);
    EXPECT_EQ(d.wizardChoices.tileSizePosition, 3);
    d.wizardChoices.imagePath = path;
    d.wizardChoices.tileSizePosition = 6;
    d.wizardChoices.randomPattern = true;
    d.wizardChoices.showAtStart = false;
    return true;
  };
  doc.OnWizard();
  ASSERT_EQ(builds.size(), 1u);
  const BuildOptions& used = builds[0];
  EXPECT_EQ(used.tileSize, 8);
  EXPECT_EQ(used.accuracyStep, 2);
  EXPECT_EQ(used.magnification, 1.0);
  EXPECT_DOUBLE_EQ(used.blendFraction, 0.12);
  EXPECT_TRUE(used.mirrorTiles);
  EXPECT_EQ(used.colourAdjust, 45);
  EXPECT_EQ(used.randomization, 30);
  EXPECT_TRUE(used.randomPlacement);
  EXPECT_FALSE(used.useTileCache);
  EXPECT_EQ(builtSizes[0], std::make_pair(64, 48));
  EXPECT_EQ(doc.Title(), path);  // the wizard names the document by its full path
  EXPECT_EQ(shell.recentFiles, std::vector<std::string>{path});
  EXPECT_EQ(doc.Profile().GetProfileInt("Wizard", 1), 0);
  EXPECT_FALSE(doc.ShowsOriginal());
  EXPECT_EQ(shell.beeps.size(), 1u);
  EXPECT_EQ(doc.settings.blendPercent, 50);
}

TEST_F(DocTest, WizardStartsFromTheOpenPhotographAndTheProfile) {
  const std::string photo = OpenPhoto(16, 16);
  doc.Profile().WriteProfileInt("Wizard", 0);
  shell.wizard = [&](CTesselorDoc& d) {
    EXPECT_EQ(d.wizardChoices.imagePath, photo);
    EXPECT_FALSE(d.wizardChoices.showAtStart);
    d.wizardChoices.tileSizePosition = 0;
    d.wizardChoices.showAtStart = true;
    return true;
  };
  doc.OnWizard();
  ASSERT_EQ(builds.size(), 1u);
  EXPECT_EQ(builds[0].accuracyStep, 16);
  EXPECT_FALSE(builds[0].randomPlacement);
  EXPECT_EQ(doc.Profile().GetProfileInt("Wizard", 0), 1);
}

TEST_F(DocTest, CancelledWizardChangesNothing) {
  doc.Profile().WriteProfileInt("Wizard", 0);
  shell.wizard = [](CTesselorDoc& d) {
    d.wizardChoices.showAtStart = true;
    return false;
  };
  doc.OnWizard();
  EXPECT_TRUE(builds.empty());
  EXPECT_EQ(doc.Profile().GetProfileInt("Wizard", 1), 0);
  EXPECT_TRUE(shell.recentFiles.empty());
}

TEST_F(DocTest, WizardWhoseImageCannotBeOpenedDoesNotBuild) {
  OpenPhoto(300, 200);
  BuildWithOptions([](MosaicSettings& s) { s.magnification = 2; });
  shell.wizard = [&](CTesselorDoc& d) {
    d.wizardChoices.imagePath = dir.File("vanished.jpg");
    return true;
  };
  doc.OnWizard();
  // The old photograph stays, but its mosaic is twice its size: building at
  // the wizard's magnification of 1 into it would be wrong.
  EXPECT_EQ(builds.size(), 1u);
  EXPECT_EQ(shell.MessageTexts(),
            std::vector<std::string>{"Unable open file, it may have been moved or deleted"});
  EXPECT_EQ(doc.Title(), "photo");
}

// --- Commands, busy flag and views ----------------------------------------

// Which commands are greyed while busy is the main window's to decide
// (FrameTest); the document says when it is busy.
TEST_F(DocTest, IsBusyForTheWholeOfABuild) {
  OpenPhoto(16, 12);
  bool sawBusy = false;
  duringBuild = [&] { sawBusy = doc.IsBusy(); };
  BuildWithOptions();
  EXPECT_TRUE(sawBusy);
  EXPECT_EQ(builds.size(), 1u);
  EXPECT_FALSE(doc.ShowsOriginal());
  EXPECT_FALSE(doc.IsBusy());
}

TEST_F(DocTest, BuildFromAnEmptyLibraryEndsOnThePhotograph) {
  TempDir home;
  mkdir(home.File("Demo Tile Library").c_str(), 0700);
  const AppPaths saved = Paths();
  Paths().programDirectory = home.Path();
  Paths().currentLibrary = "Demo Tile Library/";
  doc.SetBuilder([](const CBmp& source, CBmp& mosaic, const BuildOptions& options) {
    return CreateMosaic(source, mosaic, options);
  });
  OpenPhoto(40, 30);
  BuildWithOptions();
  Paths() = saved;
  ASSERT_EQ(shell.messages.size(), 1u);
  EXPECT_EQ(shell.messages[0].text.rfind("There are no tiles in the specified tile library", 0),
            0u);
  EXPECT_TRUE(doc.ShowsOriginal());
  EXPECT_FALSE(doc.MosaicBuilt());
  EXPECT_FALSE(doc.IsBusy());
  EXPECT_EQ(shell.beeps.size(), 1u);
}

TEST(DocTileList, SavesTheRecordOfTheMosaicShownAndOnlyWhileThereIsOne) {
  ScriptedShell shell;
  TempDir home;
  mkdir(home.File("Lib").c_str(), 0700);
  testing::WriteTileFile(home.File("Lib/red.jpg"), testing::Flat({220, 20, 20}));
  testing::WriteTileFile(home.File("Lib/blue.jpg"), testing::Flat({20, 20, 120}));
  const AppPaths saved = Paths();
  Paths().programDirectory = home.Path();
  Paths().currentLibrary = "Lib/";
  CTesselorDoc doc;  // with the real build, which keeps the record
  WriteBmpFile(home.File("photo.bmp"), 64, 32);
  ASSERT_TRUE(doc.OnOpenDocument(home.File("photo.bmp")));
  const std::string list = home.File("tiles.csv");
  shell.dialogPaths = {list};
  doc.OnSaveTileList();
  EXPECT_EQ(shell.MessageTexts(), std::vector<std::string>{kNotCreated});
  EXPECT_EQ(shell.dialogPaths.size(), 1u);  // no name was asked for

  shell.optionsDialog = [](CTesselorDoc& d) {
    d.settings.randomization = 1;  // the best tile, no draw
    return true;
  };
  doc.OnCreateMosaic();
  ASSERT_TRUE(doc.MosaicBuilt());
  doc.OnSaveTileList();
  // Its own title, not the picture's "Save As", and named after the photograph.
  ASSERT_EQ(shell.fileDialogLabels.size(), 1u);
  EXPECT_EQ(shell.fileDialogLabels[0].title, "Save Tile List");
  EXPECT_EQ(shell.fileDialogLabels[0].fileName, "photo.csv");
  const std::vector<uint8_t> bytes = ReadFileBytes(list);
  EXPECT_EQ(std::string(bytes.begin(), bytes.end()),
            "x,y,width,height,tile,mirrored\n0,0,32,32,red.jpg,0\n32,0,32,32,red.jpg,0\n");

  // A folder that is not there: said, and nothing written.
  shell.messages.clear();
  shell.dialogPaths = {home.File("missing/tiles.csv")};
  doc.OnSaveTileList();
  ASSERT_EQ(shell.messages.size(), 1u);
  EXPECT_EQ(shell.messages[0].text.rfind("Unable to save " + home.File("missing/tiles.csv"), 0),
            0u);

  // The record belongs to the mosaic, not to the next photograph.
  ASSERT_TRUE(doc.OnOpenDocument(home.File("photo.bmp")));
  shell.messages.clear();
  shell.dialogPaths = {list};
  doc.OnSaveTileList();
  EXPECT_EQ(shell.MessageTexts(), std::vector<std::string>{kNotCreated});
  Paths() = saved;
}

struct CountingListener : DocumentListener {
  void OnInitialUpdate() override { ++initialUpdates; }
  void OnUpdate() override { ++updates; }
  void OnTitleChanged() override { ++titles; }
  void OnBusyChanged() override { ++busyChanges; }
  int initialUpdates = 0, updates = 0, titles = 0, busyChanges = 0;
};

TEST_F(DocTest, StatesFromEmptyToBuiltAndFlipping) {
  CountingListener listener;
  doc.AddListener(&listener);
  // Empty: nothing to show, and flipping shows nothing either.
  EXPECT_EQ(doc.CurrentPicture(), nullptr);
  EXPECT_EQ(doc.DisplayWidth(), 0);
  doc.OnFlip();
  EXPECT_EQ(doc.CurrentPicture(), nullptr);
  doc.OnFlip();

  OpenPhoto(30, 20);
  EXPECT_EQ(listener.initialUpdates, 1);
  EXPECT_EQ(doc.CurrentPicture(), doc.SourceImage());
  EXPECT_FALSE(doc.MosaicBuilt());

  BuildWithOptions([](MosaicSettings& s) { s.magnification = 2; });
  EXPECT_EQ(listener.busyChanges, 2);
  EXPECT_EQ(doc.CurrentPicture(), doc.MosaicImage());
  EXPECT_EQ(doc.DisplayWidth(), 60);

  const int updatesBefore = listener.updates;
  doc.OnFlip();
  EXPECT_EQ(doc.CurrentPicture(), doc.SourceImage());
  EXPECT_EQ(doc.DisplayWidth(), 60);  // the photograph is laid out at the mosaic's size
  doc.OnFlip();
  EXPECT_EQ(doc.CurrentPicture(), doc.MosaicImage());
  EXPECT_EQ(listener.updates, updatesBefore + 2);

  // Opening again discards the mosaic and goes back to the photograph.
  OpenPhoto(10, 10, "other.bmp");
  EXPECT_EQ(doc.CurrentPicture(), doc.SourceImage());
  EXPECT_EQ(doc.DisplayWidth(), 10);
  EXPECT_FALSE(doc.MosaicBuilt());

  doc.OnNewDocument();
  EXPECT_EQ(doc.Title(), "Untitled");
  EXPECT_NE(doc.SourceImage(), nullptr);  // New keeps the pictures
  EXPECT_EQ(listener.initialUpdates, 3);
  doc.RemoveListener(&listener);
}

}  // namespace
}  // namespace tesselor
