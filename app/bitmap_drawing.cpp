#include "app/bitmap_drawing.h"

#include <QList>
#include <QPaintEngine>

namespace tesselor {

QImage WrapBottomUpRows(const CBmp& bmp) {
  if (!bmp.bits || bmp.width <= 0 || bmp.height <= 0) return {};
  const qsizetype lineLength = CBmp::LineLengthFor(bmp.width, bmp.bitsPerPixel);
  const uchar* bits = bmp.bits;  // read-only, so Qt never writes into the bitmap
  switch (bmp.bitsPerPixel) {
    case 32:
      // Blue, green, red, unused: Qt's RGB32 in little-endian memory. Qt
      // reads RGB32 as opaque whatever the fourth byte holds, which matters
      // because ours is 0.
      return QImage(bits, bmp.width, bmp.height, lineLength, QImage::Format_RGB32);
    case 8: {
      if (!bmp.palette) return {};
      QImage image(bits, bmp.width, bmp.height, lineLength, QImage::Format_Indexed8);
      QList<QRgb> colours(256);
      for (int i = 0; i < 256; ++i) {
        const uint8_t* entry = bmp.palette + 4 * i;
        colours[i] = qRgb(entry[2], entry[1], entry[0]);
      }
      image.setColorTable(colours);
      return image;
    }
    default:
      return {};
  }
}

void DrawZoomed(QPainter& painter, const CBmp& bmp, int x, int y, double factor) {
  const QImage rows = WrapBottomUpRows(bmp);
  const int width = static_cast<int>(bmp.width * factor);
  const int height = static_cast<int>(bmp.height * factor);
  if (rows.isNull() || width <= 0 || height <= 0) return;
  painter.save();
  // Mirror vertically about the target rectangle, so the bottom-up rows land
  // top row first without copying the pixels.
  painter.translate(x, y + height);
  painter.scale(1.0, -1.0);
  painter.drawImage(QRect(0, 0, width, height), rows);
  // Qt's raster engine copies an RGB32 picture's fourth byte as it is, and
  // ours is 0: on a surface with alpha the picture would be transparent.
  // Adding opaque black raises the alpha and leaves the colours. Other
  // engines store the picture as RGB and need nothing; the PDF engine that
  // printing uses claims blend modes but paints a "Plus" fill plain black.
  if (painter.paintEngine()->type() == QPaintEngine::Raster) {
    painter.setCompositionMode(QPainter::CompositionMode_Plus);
    painter.fillRect(QRect(0, 0, width, height), QColor(0, 0, 0, 255));
  }
  painter.restore();
}

}  // namespace tesselor
