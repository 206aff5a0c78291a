#include "imagelib/metafile_canvas.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "imagelib/decode_limits.h"
#include "imagelib/text_exception.h"

namespace tesselor {

namespace {

// Whether pixel (x, y) belongs to the lines of a hatch style, on the 8-pixel
// grid GDI uses; hatch gaps are left as they were.
bool OnHatch(int hatch, int x, int y) {
  const bool horizontal = y % 8 == 0;
  const bool vertical = x % 8 == 0;
  const bool forward = (x - y) % 8 == 0;
  const bool backward = (x + y) % 8 == 0;
  switch (hatch) {
    case 0:
      return horizontal;
    case 1:
      return vertical;
    case 2:
      return forward;
    case 3:
      return backward;
    case 4:
      return horizontal || vertical;
    default:
      return forward || backward;
  }
}

// Cuts the segment a-b to the rectangle (Liang and Barsky), so a wild
// coordinate cannot make a line walk millions of pixels outside the picture.
// False when nothing of it is inside.
bool ClipSegment(CanvasPoint& a, CanvasPoint& b, double left, double top, double right,
                 double bottom) {
  const double dx = b.x - a.x, dy = b.y - a.y;
  double enter = 0, leave = 1;
  const double p[4] = {-dx, dx, -dy, dy};
  const double q[4] = {a.x - left, right - a.x, a.y - top, bottom - a.y};
  for (int i = 0; i < 4; ++i) {
    if (p[i] == 0) {
      if (q[i] < 0) return false;
      continue;
    }
    const double t = q[i] / p[i];
    if (p[i] < 0)
      enter = std::max(enter, t);
    else
      leave = std::min(leave, t);
  }
  if (enter > leave) return false;
  const CanvasPoint start = a;
  a = {start.x + enter * dx, start.y + enter * dy};
  b = {start.x + leave * dx, start.y + leave * dy};
  return true;
}

struct Crossing {
  double x;
  int direction;  // +1 for an edge going down, -1 going up
};

// A polygon side that is not horizontal, kept in drawing order (a to b) so
// its direction is known, with the span of rows it can cross.
struct Edge {
  CanvasPoint a, b;
  double top, bottom;
};

// The sides of all polygons that cross a row centre between first and last,
// highest first. A horizontal side crosses no row, and one without a real
// position has none to cross.
std::vector<Edge> SortedEdges(const std::vector<std::vector<CanvasPoint>>& polygons,
                              double first, double last) {
  std::vector<Edge> edges;
  for (const auto& polygon : polygons)
    for (size_t i = 0; i < polygon.size(); ++i) {
      const CanvasPoint& a = polygon[i];
      const CanvasPoint& b = polygon[(i + 1) % polygon.size()];
      if (a.y == b.y || !std::isfinite(a.y) || !std::isfinite(b.y)) continue;
      const Edge edge{a, b, std::min(a.y, b.y), std::max(a.y, b.y)};
      if (edge.top <= last && edge.bottom > first) edges.push_back(edge);
    }
  std::sort(edges.begin(), edges.end(),
            [](const Edge& l, const Edge& r) { return l.top < r.top; });
  return edges;
}

}  // namespace

int SaturatedInt(double v) {
  if (std::isnan(v)) return 0;
  if (v <= INT_MIN) return INT_MIN;
  if (v >= INT_MAX) return INT_MAX;
  return static_cast<int>(v);
}

int64_t MetafileWorkBudget() {
  return 2 * std::min(kMaxRenderedPixels, PixelBudget());
}

MetafileCanvas::MetafileCanvas(uint8_t* const* rows, int width, int height, int64_t workBudget)
    : rows_(rows), width_(width), height_(height), workBudget_(workBudget), workLeft_(workBudget) {}

void MetafileCanvas::Charge(int64_t steps) {
  workLeft_ -= steps;
  if (workLeft_ < 0)
    RaiseError(kErrUnsupported, "Metafile: drawing this picture takes more than " +
                                    std::to_string(workBudget_) + " steps.");
}

void MetafileCanvas::Clear(CanvasColour colour) {
  const uint8_t pixel[4] = {colour.blue, colour.green, colour.red, 255};
  for (int y = 0; y < height_; ++y)
    for (uint8_t* at = rows_[y]; at < rows_[y] + 4 * static_cast<size_t>(width_); at += 4)
      std::memcpy(at, pixel, 4);
}

void MetafileCanvas::Plot(int x, int y, CanvasColour colour) {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
  uint8_t* pixel = rows_[y] + 4 * x;
  pixel[0] = colour.blue;
  pixel[1] = colour.green;
  pixel[2] = colour.red;
  pixel[3] = 255;
}

void MetafileCanvas::FillPolygons(const std::vector<std::vector<CanvasPoint>>& polygons,
                                  const CanvasBrush& brush, bool winding) {
  if (brush.style == CanvasBrush::kNone) return;
  double top = height_, bottom = 0;
  for (const auto& polygon : polygons)
    for (const CanvasPoint& p : polygon) {
      top = std::min(top, p.y);
      bottom = std::max(bottom, p.y);
    }
  const int firstRow = std::max(0, SaturatedInt(std::floor(top)));
  const int lastRow = std::min(height_ - 1, SaturatedInt(std::ceil(bottom)));
  // Only the sides that span a row are tested on it, so a round shape of
  // hundreds of sides costs two crossings a row, not hundreds.
  if (firstRow > lastRow) return;
  const std::vector<Edge> edges = SortedEdges(polygons, firstRow + 0.5, lastRow + 0.5);
  Charge(static_cast<int64_t>(edges.size()));
  size_t nextEdge = 0;
  std::vector<const Edge*> active;
  std::vector<Crossing> crossings;
  for (int y = firstRow; y <= lastRow; ++y) {
    // Sample each row through the pixel centres: a side crosses the row
    // when exactly one of its ends lies at or above the centre.
    const double centre = y + 0.5;
    for (; nextEdge < edges.size() && edges[nextEdge].top <= centre; ++nextEdge)
      active.push_back(&edges[nextEdge]);
    std::erase_if(active, [centre](const Edge* edge) { return edge->bottom <= centre; });
    Charge(1 + static_cast<int64_t>(active.size()));
    crossings.clear();
    for (const Edge* edge : active) {
      const CanvasPoint& a = edge->a;
      const CanvasPoint& b = edge->b;
      const double x = a.x + (centre - a.y) * (b.x - a.x) / (b.y - a.y);
      crossings.push_back({x, b.y > a.y ? 1 : -1});
    }
    std::sort(crossings.begin(), crossings.end(),
              [](const Crossing& l, const Crossing& r) { return l.x < r.x; });
    int inside = 0;
    for (size_t i = 0; i + 1 < crossings.size(); ++i) {
      inside += winding ? crossings[i].direction : 1;
      const bool filled = winding ? inside != 0 : inside % 2 == 1;
      if (!filled) continue;
      // Pixels whose centres lie in [left, right).
      const int from = std::max(0, SaturatedInt(std::ceil(crossings[i].x - 0.5)));
      const int to = std::min(width_, SaturatedInt(std::ceil(crossings[i + 1].x - 0.5)));
      if (to > from) Charge(to - from);
      for (int x = from; x < to; ++x)
        if (brush.style == CanvasBrush::kSolid || OnHatch(brush.hatch, x, y))
          Plot(x, y, brush.colour);
    }
  }
}

void MetafileCanvas::Stamp(int x, int y, const CanvasPen& pen) {
  if (pen.width <= 1) {
    Plot(x, y, pen.colour);
    return;
  }
  const int from = -(pen.width / 2);
  for (int dy = from; dy < from + pen.width; ++dy)
    for (int dx = from; dx < from + pen.width; ++dx) Plot(x + dx, y + dy, pen.colour);
}

// Bresenham's line, leaving out the end point as GDI does; wide pens stamp
// a square at every step.
void MetafileCanvas::Line(int x0, int y0, int x1, int y1, const CanvasPen& pen) {
  const int dx = std::abs(x1 - x0), sx = x0 < x1 ? 1 : -1;
  const int dy = -std::abs(y1 - y0), sy = y0 < y1 ? 1 : -1;
  int error = dx + dy;
  const int64_t stampSteps = int64_t{std::max(pen.width, 1)} * std::max(pen.width, 1);
  while (x0 != x1 || y0 != y1) {
    Charge(stampSteps);
    Stamp(x0, y0, pen);
    const int twice = 2 * error;
    if (twice >= dy) {
      error += dy;
      x0 += sx;
    }
    if (twice <= dx) {
      error += dx;
      y0 += sy;
    }
  }
}

void MetafileCanvas::StrokePolyline(const std::vector<CanvasPoint>& points, bool closed,
                                    const CanvasPen& pen) {
  if (!pen.visible || points.empty()) return;
  const double margin = pen.width + 1.0;
  const size_t segments = closed ? points.size() : points.size() - 1;
  for (size_t i = 0; i < segments; ++i) {
    CanvasPoint a = points[i];
    CanvasPoint b = points[(i + 1) % points.size()];
    if (!ClipSegment(a, b, -margin, -margin, width_ + margin, height_ + margin)) continue;
    Line(static_cast<int>(std::lround(a.x)), static_cast<int>(std::lround(a.y)),
         static_cast<int>(std::lround(b.x)), static_cast<int>(std::lround(b.y)), pen);
  }
}

void MetafileCanvas::DrawImage(const CanvasImage& image, double sourceX, double sourceY,
                               double sourceWidth, double sourceHeight, CanvasPoint from,
                               CanvasPoint to) {
  const double width = to.x - from.x, height = to.y - from.y;
  if (width == 0 || height == 0 || image.width <= 0 || image.height <= 0) return;
  const int left = std::max(0, SaturatedInt(std::ceil(std::min(from.x, to.x) - 0.5)));
  const int right = std::min(width_, SaturatedInt(std::ceil(std::max(from.x, to.x) - 0.5)));
  const int top = std::max(0, SaturatedInt(std::ceil(std::min(from.y, to.y) - 0.5)));
  const int bottom = std::min(height_, SaturatedInt(std::ceil(std::max(from.y, to.y) - 0.5)));
  // Every row samples the same source columns, so they are found once.
  std::vector<int> sourceColumns;
  for (int x = left; x < right; ++x) {
    const double u = sourceX + (x + 0.5 - from.x) / width * sourceWidth;
    sourceColumns.push_back(SaturatedInt(std::floor(u)));
  }
  for (int y = top; y < bottom; ++y) {
    Charge(1 + std::max(0, right - left));
    const double v = sourceY + (y + 0.5 - from.y) / height * sourceHeight;
    const int sy = SaturatedInt(std::floor(v));
    if (sy < 0 || sy >= image.height) continue;
    for (int x = left; x < right; ++x) {
      const int sx = sourceColumns[static_cast<size_t>(x - left)];
      if (sx < 0 || sx >= image.width) continue;
      const uint8_t* p = &image.pixels[(static_cast<size_t>(sy) * image.width + sx) * 4];
      Plot(x, y, CanvasColour{p[2], p[1], p[0]});
    }
  }
}

}  // namespace tesselor
