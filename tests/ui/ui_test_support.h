// What the desktop program's tests share: one QApplication on the offscreen
// platform, settings in a private folder, and photographs written to disk.
#pragma once

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QSettings>
#include <QString>
#include <QTimer>
#include <functional>
#include <string>
#include <vector>

#include "imagelib/draw_dib_bmp.h"
#include "tests/support/test_support.h"

namespace tesselor::testing {

// The test program's one application; the first call makes it. It goes
// away when the tests end, before the program's static objects: Qt's own
// statics must still be there while it shuts down.
inline QApplication& TestApplication() {
  static QApplication* application = [] {
    static int argc = 1;
    static char name[] = "tesselor-ui-tests";
    static char* argv[] = {name, nullptr};
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    struct Ender : ::testing::Environment {
      explicit Ender(QApplication* app) : app_(app) {}
      void TearDown() override { delete app_; }
      QApplication* app_;
    };
    auto* made = new QApplication(argc, argv);
    ::testing::AddGlobalTestEnvironment(new Ender(made));
    return made;
  }();
  return *application;
}

// A member to declare first in a fixture whose widgets need the application.
struct WithTestApplication {
  WithTestApplication() { TestApplication(); }
};

// Points every QSettings of the program at folder, so tests never read or
// write the settings of the person running them.
inline void UseSettingsFolder(const std::string& folder) {
  QSettings::setDefaultFormat(QSettings::NativeFormat);
  QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, QString::fromStdString(folder));
}

// Writes a photograph of that size as a Windows bitmap file; colour(x, y)
// gives its pixels.
inline void WritePhoto(const std::string& path, int width, int height,
                       const std::function<Rgb(int, int)>& colour) {
  CDrawDibBmp bmp;
  FillBitmap(bmp, width, height, colour);
  bmp.SaveAsBmp(path);
}

inline void WritePlainPhoto(const std::string& path, int width, int height, Rgb colour) {
  WritePhoto(path, width, height, [colour](int, int) { return colour; });
}

inline Rgb ToRgb(QRgb pixel) {
  return {uint8_t(qRed(pixel)), uint8_t(qGreen(pixel)), uint8_t(qBlue(pixel))};
}

// Answers every message box that opens while it lives, and keeps what each
// one showed, so code that asks the user runs to its end in a test.
class MessageBoxAnswerer {
 public:
  struct Seen {
    QString text;
    QMessageBox::Icon icon;
    QMessageBox::StandardButtons buttons;
  };

  explicit MessageBoxAnswerer(QMessageBox::StandardButton answer = QMessageBox::Ok)
      : answer_(answer) {
    QObject::connect(&timer_, &QTimer::timeout, [this] { AnswerOpenBox(); });
    timer_.start(5);
  }

  std::vector<Seen> seen;

 private:
  void AnswerOpenBox() {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box) return;
    seen.push_back({box->text(), box->icon(), box->standardButtons()});
    QAbstractButton* button = box->button(answer_);
    (button ? button : box->buttons().first())->click();
  }

  QMessageBox::StandardButton answer_;
  QTimer timer_;
};

}  // namespace tesselor::testing
