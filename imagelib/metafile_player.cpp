#include "imagelib/metafile_player.h"

#include <algorithm>
#include <cmath>

namespace tesselor {

namespace {

enum MapMode {
  kText = 1,
  kLoMetric,
  kHiMetric,
  kLoEnglish,
  kHiEnglish,
  kTwips,
  kIsotropic,
  kAnisotropic
};
enum PenStyle { kNullPen = 5 };
enum BrushStyle { kSolidBrush = 0, kNullBrush = 1, kHatchedBrush = 2 };
enum StockObject {
  kWhiteBrush = 0,
  kBlackBrush = 4,
  kNullStockBrush = 5,
  kWhitePen = 6,
  kBlackPen = 7,
  kNullStockPen = 8
};
constexpr uint32_t kMaxSlots = 65536;

// Logical units per millimetre of the metric and English mapping modes.
double LogicalUnitsPerMm(int mode) {
  switch (mode) {
    case kLoMetric:
      return 10;
    case kHiMetric:
      return 100;
    case kLoEnglish:
      return 100 / 25.4;
    case kHiEnglish:
      return 1000 / 25.4;
    default:  // twips
      return 1440 / 25.4;
  }
}

// Extents of zero would divide by zero; they map nothing, so stand in 1.
double NonZero(double v) {
  return v == 0 ? 1 : v;
}

}  // namespace

MetafilePlayer::MetafilePlayer(MetafileCanvas& canvas, const ColourTable& palette)
    : canvas_(canvas), palette_(palette) {}

void MetafilePlayer::SetWindowExt(double x, double y) {
  windowExt_ = {NonZero(x), NonZero(y)};
}

void MetafilePlayer::SetViewportExt(double x, double y) {
  viewportExt_ = {NonZero(x), NonZero(y)};
}

void MetafilePlayer::SetDeviceToPixels(double scaleX, double scaleY, double offsetX,
                                       double offsetY) {
  deviceScale_ = {scaleX, scaleY};
  deviceOffset_ = {offsetX, offsetY};
}

CanvasPoint MetafilePlayer::ToPixels(LogicalPoint p) const {
  double scaleX = 1, scaleY = 1;
  if (mapMode_ == kAnisotropic || mapMode_ == kIsotropic) {
    scaleX = viewportExt_.x / windowExt_.x;
    scaleY = viewportExt_.y / windowExt_.y;
    if (mapMode_ == kIsotropic) {
      // One scale for both axes, the smaller, each keeping its direction.
      const double scale = std::min(std::abs(scaleX), std::abs(scaleY));
      scaleX = std::copysign(scale, scaleX);
      scaleY = std::copysign(scale, scaleY);
    }
  } else if (mapMode_ != kText) {
    scaleX = unitsPerMm_.x / LogicalUnitsPerMm(mapMode_);
    scaleY = -unitsPerMm_.y / LogicalUnitsPerMm(mapMode_);  // y grows upward
  }
  const double deviceX = (p.x - windowOrg_.x) * scaleX + viewportOrg_.x;
  const double deviceY = (p.y - windowOrg_.y) * scaleY + viewportOrg_.y;
  return {deviceX * deviceScale_.x + deviceOffset_.x, deviceY * deviceScale_.y + deviceOffset_.y};
}

std::vector<CanvasPoint> MetafilePlayer::ToPixels(const std::vector<LogicalPoint>& points) const {
  std::vector<CanvasPoint> pixels;
  pixels.reserve(points.size());
  for (const LogicalPoint& p : points) pixels.push_back(ToPixels(p));
  return pixels;
}

CanvasColour MetafilePlayer::Colour(uint32_t reference) const {
  if (reference >> 24 == 1) {
    const uint8_t* entry = &palette_[4 * (reference & 0xFF)];
    return {entry[2], entry[1], entry[0]};
  }
  return {uint8_t(reference), uint8_t(reference >> 8), uint8_t(reference >> 16)};
}

MetafilePlayer::Object* MetafilePlayer::Slot(uint32_t slot) {
  if (slot >= kMaxSlots) return nullptr;
  if (slot >= objects_.size()) objects_.resize(slot + 1);
  return &objects_[slot];
}

uint32_t MetafilePlayer::FreeSlot() const {
  for (uint32_t i = 0; i < objects_.size(); ++i)
    if (objects_[i].kind == Object::kFree) return i;
  return static_cast<uint32_t>(objects_.size());
}

void MetafilePlayer::CreatePen(uint32_t slot, int style, double width, uint32_t colour) {
  Object* object = Slot(slot);
  if (!object) return;
  object->kind = Object::kPen;
  object->pen.visible = (style & 0xF) != kNullPen;
  object->pen.colour = Colour(colour);
  // Pen widths are logical units along x; zero means one pixel.
  const double pixels = std::abs(ToPixels({width, 0}).x - ToPixels({0, 0}).x);
  object->pen.width = std::clamp(SaturatedInt(std::round(pixels)), 1, 256);
}

void MetafilePlayer::CreateBrush(uint32_t slot, int style, uint32_t colour, int hatch) {
  Object* object = Slot(slot);
  if (!object) return;
  object->kind = Object::kBrush;
  object->brush.colour = Colour(colour);
  object->brush.hatch = hatch;
  object->brush.style = style == kSolidBrush     ? CanvasBrush::kSolid
                        : style == kHatchedBrush ? CanvasBrush::kHatched
                                                 : CanvasBrush::kNone;
}

void MetafilePlayer::CreateOther(uint32_t slot, bool isBrush) {
  if (Object* object = Slot(slot)) {
    // Pattern brushes are drawn as no brush at all; other objects are only
    // placeholders so later slot numbers stay right.
    *object = Object{};
    object->kind = isBrush ? Object::kBrush : Object::kOther;
    object->brush.style = CanvasBrush::kNone;
  }
}

void MetafilePlayer::SelectObject(uint32_t slot) {
  if (slot >= objects_.size()) return;
  const Object& object = objects_[slot];
  if (object.kind == Object::kPen) pen_ = object.pen;
  if (object.kind == Object::kBrush) brush_ = object.brush;
}

void MetafilePlayer::SelectStockObject(int stock) {
  switch (stock) {
    case kWhiteBrush:
    case 1:
    case 2:
    case 3:
    case kBlackBrush: {
      // White, light grey, grey, dark grey, black.
      static const uint8_t kGreys[] = {255, 192, 128, 64, 0};
      const uint8_t grey = kGreys[stock];
      brush_ = CanvasBrush{CanvasBrush::kSolid, {grey, grey, grey}, 0};
      break;
    }
    case kNullStockBrush:
      brush_.style = CanvasBrush::kNone;
      break;
    case kWhitePen:
      pen_ = CanvasPen{true, {255, 255, 255}, 1};
      break;
    case kBlackPen:
      pen_ = CanvasPen{true, {0, 0, 0}, 1};
      break;
    case kNullStockPen:
      pen_.visible = false;
      break;
    default:  // fonts and palettes draw nothing here
      break;
  }
}

void MetafilePlayer::DeleteObject(uint32_t slot) {
  if (slot < objects_.size()) objects_[slot] = Object{};
}

void MetafilePlayer::LineTo(LogicalPoint p) {
  canvas_.StrokePolyline({ToPixels(position_), ToPixels(p)}, false, pen_);
  position_ = p;
}

void MetafilePlayer::Rectangle(LogicalPoint corner, LogicalPoint opposite) {
  const CanvasPoint a = ToPixels(corner), b = ToPixels(opposite);
  const double left = std::min(a.x, b.x), right = std::max(a.x, b.x);
  const double top = std::min(a.y, b.y), bottom = std::max(a.y, b.y);
  // The right and bottom edges lie outside, as in GDI: the interior covers
  // [left, right) and the outline runs on its border pixels.
  canvas_.FillPolygons({{{left, top}, {right, top}, {right, bottom}, {left, bottom}}}, brush_,
                       false);
  const double inRight = right - 1, inBottom = bottom - 1;
  canvas_.StrokePolyline({{left, top}, {inRight, top}, {inRight, inBottom}, {left, inBottom}}, true,
                         pen_);
}

void MetafilePlayer::Ellipse(LogicalPoint corner, LogicalPoint opposite) {
  const CanvasPoint a = ToPixels(corner), b = ToPixels(opposite);
  const double centreX = (a.x + b.x) / 2, centreY = (a.y + b.y) / 2;
  const double radiusX = std::abs(b.x - a.x) / 2, radiusY = std::abs(b.y - a.y) / 2;
  // A polygon fine enough that its sides are under two pixels long.
  const double perimeter = 2 * M_PI * std::max(radiusX, radiusY);
  const int sides = std::clamp(SaturatedInt(perimeter / 2), 16, 4096);
  auto ring = [&](double x, double y, double rx, double ry) {
    std::vector<CanvasPoint> points;
    for (int i = 0; i < sides; ++i) {
      const double angle = 2 * M_PI * i / sides;
      points.push_back({x + rx * std::cos(angle), y + ry * std::sin(angle)});
    }
    return points;
  };
  canvas_.FillPolygons({ring(centreX, centreY, radiusX, radiusY)}, brush_, false);
  // Lines address pixels by index, so the outline runs through the centres
  // of the pixels just inside the bounding box.
  canvas_.StrokePolyline(ring(centreX - 0.5, centreY - 0.5, std::max(0.0, radiusX - 0.5),
                              std::max(0.0, radiusY - 0.5)),
                         true, pen_);
}

void MetafilePlayer::Polygons(const std::vector<std::vector<LogicalPoint>>& polygons) {
  std::vector<std::vector<CanvasPoint>> pixels;
  for (const auto& polygon : polygons) pixels.push_back(ToPixels(polygon));
  canvas_.FillPolygons(pixels, brush_, winding_);
  for (const auto& polygon : pixels) canvas_.StrokePolyline(polygon, true, pen_);
}

void MetafilePlayer::Polyline(const std::vector<LogicalPoint>& points) {
  canvas_.StrokePolyline(ToPixels(points), false, pen_);
}

void MetafilePlayer::StretchImage(const CanvasImage& image, double sourceX, double sourceY,
                                  double sourceWidth, double sourceHeight, LogicalPoint destination,
                                  double width, double height) {
  canvas_.DrawImage(image, sourceX, sourceY, sourceWidth, sourceHeight, ToPixels(destination),
                    ToPixels({destination.x + width, destination.y + height}));
}

}  // namespace tesselor
