// Drawing the image library's bitmaps with Qt: every bitmap on screen or on
// paper goes through DrawZoomed.
#pragma once

#include <QImage>
#include <QPainter>

#include "imagelib/bmp.h"

namespace tesselor {

// The bitmap's rows as an image, without copying them. The rows are stored
// bottom-up, so the image is upside down; DrawZoomed turns it the right way.
// Null for depths the program's decoders never make (they make 8 and 32).
QImage WrapBottomUpRows(const CBmp& bmp);

// Draws the whole bitmap scaled by factor into the rectangle at (x, y) of
// width x factor by height x factor pixels, each truncated toward zero.
void DrawZoomed(QPainter& painter, const CBmp& bmp, int x, int y, double factor);

}  // namespace tesselor
