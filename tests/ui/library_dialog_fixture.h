// What the library dialogs' tests share: a program folder of their own with
// libraries of plain-coloured tiles, a scripted shell for messages, and a
// way to act on the modal dialogs the library dialogs open.
#pragma once

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QApplication>
#include <QImage>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <string>

#include "library/make_tile.h"
#include "platform/app_paths.h"
#include "tests/support/scripted_shell.h"
#include "tests/ui/ui_test_support.h"

namespace tesselor::testing {

// Acts on the first modal dialog of type Dialog that opens while it lives.
template <typename Dialog>
class WhenModalOpens {
 public:
  explicit WhenModalOpens(std::function<void(Dialog&)> act) : act_(std::move(act)) {
    QObject::connect(&timer_, &QTimer::timeout, [this] {
      auto* dialog = dynamic_cast<Dialog*>(QApplication::activeModalWidget());
      if (!dialog) return;
      timer_.stop();
      opened = true;
      act_(*dialog);
    });
    timer_.start(5);
  }

  bool opened = false;

 private:
  std::function<void(Dialog&)> act_;
  QTimer timer_;
};

class LibraryDialogTest : public ::testing::Test {
 protected:
  LibraryDialogTest() {
    Paths().programDirectory = dir.Path();
    Paths().currentLibrary = "Demo Tile Library/";
    Library("Demo Tile Library");
  }
  ~LibraryDialogTest() override { Paths() = saved; }

  std::string Library(const std::string& name) {
    const std::string folder = dir.File(name) + "/";
    mkdir(folder.c_str(), 0777);
    return folder;
  }

  // A 64 x 64 tile of one colour in library name.
  void WriteTile(const std::string& library, const std::string& tile, Rgb colour) {
    CDrawDibBmp bmp;
    FillBitmap(bmp, 64, 64, [colour](int, int) { return colour; });
    ASSERT_TRUE(WriteNewTile(bmp, Library(library) + tile));
  }

  // The colour in the middle of a widget as drawn now.
  static Rgb CentreColour(QWidget& widget) {
    const QImage image = widget.grab().toImage();
    return ToRgb(image.pixel(image.width() / 2, image.height() / 2));
  }

  static bool Near(Rgb a, Rgb b) {
    return std::abs(a.r - b.r) < 12 && std::abs(a.g - b.g) < 12 && std::abs(a.b - b.b) < 12;
  }

  WithTestApplication application;
  TempDir dir;
  AppPaths saved = Paths();
  ScriptedShell shell;
};

constexpr Rgb kRed{220, 20, 20};
constexpr Rgb kGreen{20, 200, 40};
constexpr Rgb kBlue{20, 40, 220};
constexpr Rgb kBlack{0, 0, 0};

}  // namespace tesselor::testing
