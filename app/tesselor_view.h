// The main window's one scrolling view: the document's current picture,
// centred on a hatched grey surround, zoomed in whole tenths, and printed
// fitted to the page. It keeps no pixels of its own.
#pragma once

#include <QAbstractScrollArea>
#include <QRect>
#include <QSize>

#include "engine/tesselor_doc.h"

class QPainter;

namespace tesselor {

class CTesselorView : public QAbstractScrollArea, public DocumentListener {
  Q_OBJECT

 public:
  static constexpr int kOneToOne = 10;
  static constexpr int kMinimumZoom = 2;
  // The printable area, in inches of the printer's resolution.
  static constexpr int kPrintWidthInches = 8;
  static constexpr int kPrintHeightInches = 9;

  CTesselorView(CTesselorDoc& doc, QWidget* parent = nullptr);
  ~CTesselorView() override;

  // Zooming in has no upper limit; zooming out stops at a fifth.
  void ZoomIn();
  void ZoomOut();
  void ZoomOneToOne();

  int ZoomLevel() const { return zoomLevel_; }
  // The picture's size on screen, in the widget's pixels: the mosaic's size
  // at the zoom, whichever picture is shown, so flipping keeps the size. At
  // 1:1 a picture pixel is one device pixel, on a scaled screen too.
  QSize DisplayedSize() const;
  // Where the picture sits in the viewport: centred where it fits, else
  // from the scroll position.
  QRect ImageRect() const;

  // Draws the current picture fitted to the printable area of painter's
  // device, from its origin: one page.
  void PrintPage(QPainter& painter) const;

  void OnInitialUpdate() override;
  void OnUpdate() override;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;

 private:
  // DisplayedSize in device pixels.
  QSize DeviceSize() const;
  void SetZoom(int level);
  // Scroll ranges from the displayed size, then a full repaint.
  void Refresh();
  void UpdateScrollSizes();
  void EraseBackground(QPainter& painter) const;

  CTesselorDoc& doc_;
  int zoomLevel_ = kOneToOne;
};

}  // namespace tesselor
