// The preview square of the library dialogs: a white square in a thin black
// frame with a tile drawn at its top-left corner, scaled by the square's
// edge / 64 so that a 64 x 64 tile fills it exactly.
#pragma once

#include <QWidget>

#include "imagelib/bmp.h"

namespace tesselor {

class CTilePreview : public QWidget {
  // So findChild and qobject_cast can tell it from other widgets.
  Q_OBJECT

 public:
  // Edge of the white square in pixels; the frame lies one pixel outside it.
  static constexpr int kSquareEdge = 96;

  explicit CTilePreview(QWidget* parent = nullptr);

  // Shows the square with tile in it, or empty for nullptr. The bitmap
  // belongs to the caller and must outlive its showing here.
  void ShowTile(const CBmp* tile);
  // Shows nothing at all, not even the square.
  void ShowNothing();

  bool SquareShown() const { return squareShown_; }
  const CBmp* Tile() const { return tile_; }

  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  const CBmp* tile_ = nullptr;
  bool squareShown_ = true;
};

}  // namespace tesselor
