// The wizard's pictures: the compiled-in JPEG illustrations, and the black
// frame each page draws its current picture (or step one's preview) into.
#pragma once

#include <QWidget>
#include <array>
#include <memory>

#include "imagelib/draw_dib_bmp.h"

namespace tesselor {

// Resource ids of the illustrations, all of resource type "Jpeg".
inline constexpr const char* kWizardPictureType = "Jpeg";
inline constexpr int kWelcomePictureId = 159;
inline constexpr int kGridPictureId = 146;
inline constexpr int kRandomPictureId = 147;
// The sample mosaic at each tile size, by tile size list position.
inline constexpr std::array<int, 7> kTileSizePictureIds = {151, 154, 153, 152, 155, 157, 158};

// Decodes an illustration at the file's own depth; null when it is missing
// or unreadable, so a damaged build shows an empty frame rather than failing.
std::unique_ptr<CDrawDibBmp> LoadWizardPicture(int id);

// Where a picture lands in a frame and how much it is scaled.
struct PicturePlacement {
  int x = 0;
  int y = 0;
  double factor = 1.0;
  bool operator==(const PicturePlacement&) const = default;
};

// Spanning the frame's width from its top-left corner; the height follows.
PicturePlacement FitToWidth(const QRect& frame, int width, int height);
// Wholly inside the frame, centred along the direction that has room left.
PicturePlacement FitInside(const QRect& frame, int width, int height);

class CWizardPicture : public QWidget {
 public:
  enum class Fit {
    kWidth,   // illustrations, on a black frame
    kInside,  // step one's preview; the frame is grey while there is none
  };

  // The frame's size on screen; the illustrations are made to fit it.
  static constexpr int kWidth = 248;
  static constexpr int kHeight = 187;

  explicit CWizardPicture(Fit fit, QWidget* parent = nullptr);

  // The picture to draw, owned by the page; null leaves the frame empty.
  void SetPicture(const CBmp* picture);
  const CBmp* Picture() const { return picture_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  Fit fit_;
  const CBmp* picture_ = nullptr;
};

}  // namespace tesselor
