#include <gtest/gtest.h>

#include <QPainter>
#include <QPrinter>
#include <QScrollBar>
#include <cstdlib>

#include "app/bitmap_drawing.h"
#include "app/tesselor_view.h"
#include "tests/support/scripted_shell.h"
#include "tests/ui/ui_test_support.h"

namespace tesselor {
namespace {

using testing::Rgb;
using testing::ToRgb;

constexpr Rgb kRed{220, 30, 30};
constexpr Rgb kBlue{20, 40, 210};
constexpr Rgb kWhite{255, 255, 255};
constexpr Rgb kHatch{150, 150, 150};

class ViewTest : public ::testing::Test {
 protected:
  ViewTest() : view(doc) {
    // The stand-in build paints the whole mosaic one colour.
    doc.SetBuilder([](const CBmp&, CBmp& mosaic, const BuildOptions&) {
      testing::FillBitmap(mosaic, mosaic.width, mosaic.height, [](int, int) { return kBlue; });
      return BuildOutcome::kCompleted;
    });
    // Hidden scroll bars still scroll, and leave the viewport the size asked for.
    view.setFrameShape(QFrame::NoFrame);
    view.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  }

  void Open(int width, int height, std::function<Rgb(int, int)> colour = nullptr) {
    const std::string path = dir.File("photo" + std::to_string(++photos) + ".bmp");
    testing::WritePhoto(
        path, width, height, colour ? colour : [](int, int) { return kRed; });
    ASSERT_TRUE(doc.OpenDocumentFile(path));
  }

  void Build(double magnification) {
    shell.optionsDialog = [magnification](CTesselorDoc& d) {
      d.settings.magnification = magnification;
      return true;
    };
    doc.OnCreateMosaic();
  }

  // Shows the view with a viewport of that size and returns what it draws.
  QImage Screen(int width, int height) {
    view.resize(width, height);
    view.show();
    QApplication::processEvents();
    return view.viewport()->grab().toImage();
  }

  Rgb At(const QImage& image, int x, int y) { return ToRgb(image.pixel(x, y)); }

  void Zoom(void (CTesselorView::*command)(), int times) {
    for (int i = 0; i < times; ++i) (view.*command)();
  }

  testing::WithTestApplication application;
  testing::TempDir dir;
  ScriptedShell shell;
  CTesselorDoc doc;
  CTesselorView view;
  int photos = 0;
};

TEST_F(ViewTest, ZoomOutStopsAtAFifthAndZoomInHasNoLimit) {
  Zoom(&CTesselorView::ZoomOut, 8);
  EXPECT_EQ(view.ZoomLevel(), 2);
  Zoom(&CTesselorView::ZoomOut, 1);
  EXPECT_EQ(view.ZoomLevel(), 2);
  Zoom(&CTesselorView::ZoomOneToOne, 1);
  EXPECT_EQ(view.ZoomLevel(), 10);
  Zoom(&CTesselorView::ZoomIn, 200);
  EXPECT_EQ(view.ZoomLevel(), 210);
  // With nothing open the zoom still changes, and nothing is shown.
  EXPECT_EQ(view.DisplayedSize(), QSize(0, 0));
}

TEST_F(ViewTest, DisplayedSizeIsTheMosaicsAtTheZoomTruncated) {
  Open(101, 51);
  Zoom(&CTesselorView::ZoomIn, 3);
  EXPECT_EQ(view.DisplayedSize(), QSize(131, 66));
  Zoom(&CTesselorView::ZoomOut, 11);
  EXPECT_EQ(view.DisplayedSize(), QSize(20, 10));
  // Opening another picture starts again at 1:1.
  Open(30, 20);
  EXPECT_EQ(view.ZoomLevel(), 10);
  EXPECT_EQ(view.DisplayedSize(), QSize(30, 20));
}

TEST_F(ViewTest, PictureIsCentredOnAHatchedGreySurround) {
  Open(100, 60);
  const QImage screen = Screen(400, 300);
  ASSERT_EQ(view.ImageRect(), QRect(150, 120, 100, 60));
  for (QPoint p : {QPoint(150, 120), QPoint(249, 179), QPoint(200, 150)})
    EXPECT_EQ(At(screen, p.x(), p.y()), kRed) << p.x() << "," << p.y();
  int hatch = 0, white = 0;
  for (int y = 0; y < 300; ++y)
    for (int x = 0; x < 400; ++x) {
      if (view.ImageRect().contains(x, y)) continue;
      const Rgb pixel = At(screen, x, y);
      ASSERT_TRUE(pixel == kHatch || pixel == kWhite) << x << "," << y;
      (pixel == kHatch ? hatch : white)++;
    }
  EXPECT_GT(hatch, 10000);
  EXPECT_GT(white, hatch);
}

TEST_F(ViewTest, EmptyViewIsAllSurround) {
  const QImage screen = Screen(200, 100);
  int hatch = 0;
  for (int y = 0; y < 100; ++y)
    for (int x = 0; x < 200; ++x) hatch += At(screen, x, y) == kHatch;
  EXPECT_GT(hatch, 2000);
}

TEST_F(ViewTest, LargerPictureShowsFromTheScrollPositionWithoutSurround) {
  Open(800, 600, [](int x, int y) { return Rgb{uint8_t(x / 4), uint8_t(y / 4), 90}; });
  Screen(400, 300);
  view.horizontalScrollBar()->setValue(48);
  view.verticalScrollBar()->setValue(20);
  const QImage screen = Screen(400, 300);
  EXPECT_EQ(view.ImageRect().topLeft(), QPoint(-48, -20));
  EXPECT_EQ(At(screen, 0, 0), (Rgb{12, 5, 90}));
  EXPECT_EQ(At(screen, 399, 299), (Rgb{uint8_t(447 / 4), uint8_t(319 / 4), 90}));
}

TEST_F(ViewTest, HatchingMovesWithTheScrolledPicture) {
  Open(900, 40);  // wider than the window, shorter: surround above and below
  const QImage before = Screen(400, 300);
  view.horizontalScrollBar()->setValue(3);
  const QImage after = Screen(400, 300);
  ASSERT_LT(view.ImageRect().top(), 150);
  for (int y = 0; y < 100; ++y)
    for (int x = 0; x < 390; ++x) ASSERT_EQ(At(after, x, y), At(before, x + 3, y)) << x << "," << y;
}

TEST_F(ViewTest, FlippingShowsThePhotographStretchedToTheMosaicsSize) {
  Open(300, 200);
  Build(2);
  QImage screen = Screen(700, 500);
  const QRect image = view.ImageRect();
  EXPECT_EQ(image, QRect(50, 50, 600, 400));
  EXPECT_EQ(At(screen, 50, 50), kBlue);
  EXPECT_EQ(At(screen, 649, 449), kBlue);
  doc.OnFlip();
  screen = Screen(700, 500);
  EXPECT_EQ(view.ImageRect(), image);
  EXPECT_EQ(At(screen, 50, 50), kRed);
  EXPECT_EQ(At(screen, 649, 449), kRed);
}

// Runs as a test of its own with QT_SCALE_FACTOR=2 (tests/CMakeLists.txt);
// on an unscaled screen it skips.
TEST_F(ViewTest, OneToOneOnADoubleScaledScreenGivesEachPixelOneDevicePixel) {
  if (qEnvironmentVariable("QT_SCALE_FACTOR") != "2") GTEST_SKIP() << "needs QT_SCALE_FACTOR=2";
  ASSERT_EQ(view.devicePixelRatioF(), 2.0);
  // Stripes one pixel wide: any doubling or squeezing shows in them.
  Open(40, 20, [](int x, int) { return x % 2 ? kRed : kBlue; });
  EXPECT_EQ(view.DisplayedSize(), QSize(20, 10));
  const QImage screen = Screen(60, 40);
  ASSERT_EQ(screen.size(), QSize(120, 80));
  ASSERT_EQ(view.ImageRect(), QRect(20, 15, 20, 10));
  for (int y = 30; y < 50; ++y)
    for (int x = 0; x < 40; ++x) ASSERT_EQ(At(screen, 40 + x, y), x % 2 ? kRed : kBlue) << x;
}

TEST_F(ViewTest, PrintFillsEightByNineInchesFromThePageOrigin) {
  Open(400, 300);
  Zoom(&CTesselorView::ZoomIn, 4);  // the zoom does not matter on paper
  QImage page(5200, 5600, QImage::Format_RGB32);
  const int dotsPerMetre = qRound(600 / 0.0254);
  page.setDotsPerMeterX(dotsPerMetre);
  page.setDotsPerMeterY(dotsPerMetre);
  page.fill(Qt::white);
  {
    QPainter painter(&page);
    view.PrintPage(painter);
  }
  EXPECT_EQ(ToRgb(page.pixel(0, 0)), kRed);
  EXPECT_EQ(ToRgb(page.pixel(4799, 3599)), kRed);
  EXPECT_EQ(ToRgb(page.pixel(4800, 100)), kWhite);
  EXPECT_EQ(ToRgb(page.pixel(100, 3600)), kWhite);
}

TEST_F(ViewTest, PrintingToAPdfFileWritesOnePage) {
  Open(120, 80);
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  const std::string pdf = dir.File("mosaic.pdf");
  printer.setOutputFileName(QString::fromStdString(pdf));
  {
    QPainter painter(&printer);
    view.PrintPage(painter);
  }
  const std::vector<uint8_t> bytes = testing::ReadFileBytes(pdf);
  ASSERT_GT(bytes.size(), 500u);
  EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 4), "%PDF");

  // The page as a PDF reader shows it: the picture, not a black square.
  if (std::system("pdftoppm -v > /dev/null 2>&1") != 0) GTEST_SKIP() << "pdftoppm is missing";
  const std::string png = dir.File("page");
  ASSERT_EQ(std::system(("pdftoppm -r 20 -png -singlefile '" + pdf + "' '" + png + "'").c_str()),
            0);
  const QImage page(QString::fromStdString(png + ".png"));
  ASSERT_FALSE(page.isNull());
  const Rgb inside = ToRgb(page.pixel(page.width() / 4, page.height() / 8));
  EXPECT_NEAR(inside.r, kRed.r, 12);
  EXPECT_NEAR(inside.g, kRed.g, 12);
  EXPECT_NEAR(inside.b, kRed.b, 12);
}

TEST(DrawZoomed, TruncatesTheScaledSizeAndKeepsTheTopRowOnTop) {
  testing::TestApplication();
  CDrawDibBmp bmp;
  // Halving keeps every second line, so the top two are marked.
  testing::FillBitmap(bmp, 101, 51, [](int, int y) { return y < 2 ? kRed : kBlue; });
  QImage target(80, 40, QImage::Format_ARGB32_Premultiplied);
  target.fill(Qt::white);
  {
    QPainter painter(&target);
    DrawZoomed(painter, bmp, 3, 4, 0.5);
  }
  QRect painted;
  for (int y = 0; y < target.height(); ++y)
    for (int x = 0; x < target.width(); ++x)
      if (ToRgb(target.pixel(x, y)) != kWhite) painted |= QRect(x, y, 1, 1);
  EXPECT_EQ(painted, QRect(3, 4, 50, 25));
  EXPECT_EQ(ToRgb(target.pixel(3, 4)), kRed);
  EXPECT_EQ(ToRgb(target.pixel(3, 28)), kBlue);
  // The bitmap's unused fourth byte is 0; the picture must still be opaque.
  EXPECT_EQ(qAlpha(target.pixel(10, 10)), 255);
}

}  // namespace
}  // namespace tesselor
