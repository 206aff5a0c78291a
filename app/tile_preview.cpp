#include "app/tile_preview.h"

#include <QPainter>

#include "app/bitmap_drawing.h"
#include "library/tile_files.h"

namespace tesselor {

CTilePreview::CTilePreview(QWidget* parent) : QWidget(parent) {
  setFixedSize(sizeHint());
}

void CTilePreview::ShowTile(const CBmp* tile) {
  tile_ = tile;
  squareShown_ = true;
  update();
}

void CTilePreview::ShowNothing() {
  tile_ = nullptr;
  squareShown_ = false;
  update();
}

QSize CTilePreview::sizeHint() const {
  return {kSquareEdge + 2, kSquareEdge + 2};
}

void CTilePreview::paintEvent(QPaintEvent*) {
  if (!squareShown_) return;
  QPainter painter(this);
  painter.setPen(Qt::black);
  painter.setBrush(Qt::white);
  painter.drawRect(0, 0, kSquareEdge + 1, kSquareEdge + 1);
  // Tiles copied in from outside may be any size; the widget's bounds keep
  // a large one from spilling over the dialog.
  if (tile_ && tile_->bits) DrawZoomed(painter, *tile_, 1, 1, double(kSquareEdge) / kTileEdge);
}

}  // namespace tesselor
