#include "app/wizard_picture.h"

#include <QPainter>
#include <new>

#include "app/bitmap_drawing.h"
#include "imagelib/any_pic_decoder.h"
#include "imagelib/text_exception.h"

namespace tesselor {

std::unique_ptr<CDrawDibBmp> LoadWizardPicture(int id) {
  auto picture = std::make_unique<CDrawDibBmp>();
  try {
    CAnyPicDecoder().DecodeResource(id, *picture, 0, kWizardPictureType);
  } catch (const CTextException&) {
    return nullptr;
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
  return picture;
}

PicturePlacement FitToWidth(const QRect& frame, int width, int /*height*/) {
  if (width <= 0) return {frame.left(), frame.top(), 1.0};
  return {frame.left(), frame.top(), static_cast<double>(frame.width()) / width};
}

PicturePlacement FitInside(const QRect& frame, int width, int height) {
  if (width <= 0 || height <= 0) return {frame.left(), frame.top(), 1.0};
  const double byWidth = static_cast<double>(frame.width()) / width;
  const double byHeight = static_cast<double>(frame.height()) / height;
  if (byHeight < byWidth) {
    const int spare = static_cast<int>((width * byHeight - frame.width()) * 0.5);
    return {frame.left() - spare, frame.top(), byHeight};
  }
  const int spare = static_cast<int>((height * byWidth - frame.height()) * 0.5);
  return {frame.left(), frame.top() - spare, byWidth};
}

CWizardPicture::CWizardPicture(Fit fit, QWidget* parent) : QWidget(parent), fit_(fit) {
  setFixedSize(kWidth, kHeight);
}

void CWizardPicture::SetPicture(const CBmp* picture) {
  picture_ = picture;
  update();
}

void CWizardPicture::paintEvent(QPaintEvent* /*event*/) {
  QPainter painter(this);
  const QRect frame = rect();
  if (!picture_) {
    painter.fillRect(frame, fit_ == Fit::kInside ? QColor(128, 128, 128) : QColor(Qt::black));
    return;
  }
  painter.fillRect(frame, Qt::black);
  const PicturePlacement at = fit_ == Fit::kWidth
                                  ? FitToWidth(frame, picture_->width, picture_->height)
                                  : FitInside(frame, picture_->width, picture_->height);
  DrawZoomed(painter, *picture_, at.x, at.y, at.factor);
}

}  // namespace tesselor
