#include "app/tesselor_view.h"

#include <QPaintEvent>
#include <QPainter>
#include <QRegion>
#include <QScrollBar>
#include <algorithm>
#include <cmath>

#include "app/bitmap_drawing.h"

namespace tesselor {

namespace {

const QColor kHatchColour(150, 150, 150);
// A zoom with no upper limit must still give sizes the scroll bars can hold.
constexpr double kLargestDisplayedSide = 1 << 30;

int DisplayedSide(int mosaicSide, int zoomLevel) {
  return static_cast<int>(
      std::min(mosaicSide * static_cast<double>(zoomLevel) * 0.1, kLargestDisplayedSide));
}

}  // namespace

CTesselorView::CTesselorView(CTesselorDoc& doc, QWidget* parent)
    : QAbstractScrollArea(parent), doc_(doc) {
  setFocusPolicy(Qt::StrongFocus);
  doc_.AddListener(this);
  UpdateScrollSizes();
}

CTesselorView::~CTesselorView() {
  doc_.RemoveListener(this);
}

void CTesselorView::ZoomIn() {
  SetZoom(zoomLevel_ + 1);
}

void CTesselorView::ZoomOut() {
  SetZoom(std::max(zoomLevel_ - 1, kMinimumZoom));
}

void CTesselorView::ZoomOneToOne() {
  SetZoom(kOneToOne);
}

QSize CTesselorView::DeviceSize() const {
  return {DisplayedSide(doc_.DisplayWidth(), zoomLevel_),
          DisplayedSide(doc_.DisplayHeight(), zoomLevel_)};
}

QSize CTesselorView::DisplayedSize() const {
  const QSize device = DeviceSize();
  const double ratio = viewport()->devicePixelRatioF();
  return {static_cast<int>(std::ceil(device.width() / ratio)),
          static_cast<int>(std::ceil(device.height() / ratio))};
}

QRect CTesselorView::ImageRect() const {
  const QSize shown = DisplayedSize();
  const QSize client = viewport()->size();
  const int x = client.width() >= shown.width() ? (client.width() - shown.width()) / 2
                                                : -horizontalScrollBar()->value();
  const int y = client.height() >= shown.height() ? (client.height() - shown.height()) / 2
                                                  : -verticalScrollBar()->value();
  return {x, y, shown.width(), shown.height()};
}

void CTesselorView::OnInitialUpdate() {
  zoomLevel_ = kOneToOne;
  Refresh();
}

void CTesselorView::OnUpdate() {
  Refresh();
}

void CTesselorView::SetZoom(int level) {
  zoomLevel_ = level;
  Refresh();
}

void CTesselorView::Refresh() {
  UpdateScrollSizes();
  viewport()->update();
}

void CTesselorView::UpdateScrollSizes() {
  const QSize shown = DisplayedSize();
  const QSize client = viewport()->size();
  QScrollBar* bars[] = {horizontalScrollBar(), verticalScrollBar()};
  const int total[] = {shown.width(), shown.height()};
  const int page[] = {client.width(), client.height()};
  for (int i = 0; i < 2; ++i) {
    bars[i]->setRange(0, std::max(0, total[i] - page[i]));
    bars[i]->setPageStep(std::max(1, page[i]));
    bars[i]->setSingleStep(std::max(1, total[i] / 100));
  }
}

void CTesselorView::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  UpdateScrollSizes();
}

void CTesselorView::scrollContentsBy(int, int) {
  // The surround's hatching moves with the picture, so all of it is redrawn.
  viewport()->update();
}

void CTesselorView::EraseBackground(QPainter& painter) const {
  // The hatching reaches two pixels into the picture's rectangle, which the
  // picture then covers, so no seam of the old screen shows at its edges.
  const QRect image = ImageRect();
  const QRect inside = image.adjusted(2, 2, -3, -3);
  QRegion surround(viewport()->rect());
  if (inside.isValid()) surround -= inside;
  painter.save();
  painter.setClipRegion(surround);
  painter.fillRect(viewport()->rect(), Qt::white);
  painter.setBrushOrigin(-horizontalScrollBar()->value(), -verticalScrollBar()->value());
  painter.fillRect(viewport()->rect(), QBrush(kHatchColour, Qt::DiagCrossPattern));
  painter.restore();
}

void CTesselorView::paintEvent(QPaintEvent*) {
  QPainter painter(viewport());
  EraseBackground(painter);
  const CDrawDibBmp* picture = doc_.CurrentPicture();
  if (!picture || picture->width <= 0) return;
  // Drawn in device pixels, so that 1:1 gives each picture pixel one pixel
  // of a scaled screen rather than a block of them.
  const double ratio = viewport()->devicePixelRatioF();
  const QRect image = ImageRect();
  painter.scale(1 / ratio, 1 / ratio);
  DrawZoomed(painter, *picture, qRound(image.x() * ratio), qRound(image.y() * ratio),
             double(DeviceSize().width()) / picture->width);
}

void CTesselorView::PrintPage(QPainter& painter) const {
  const CDrawDibBmp* picture = doc_.CurrentPicture();
  if (!picture || picture->width <= 0 || picture->height <= 0) return;
  const double areaWidth = kPrintWidthInches * painter.device()->logicalDpiX();
  const double areaHeight = kPrintHeightInches * painter.device()->logicalDpiY();
  const double scale = std::min(areaWidth / picture->width, areaHeight / picture->height);
  const int printedWidth = static_cast<int>(picture->width * scale);
  painter.save();
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  DrawZoomed(painter, *picture, 0, 0, double(printedWidth) / picture->width);
  painter.restore();
}

}  // namespace tesselor
