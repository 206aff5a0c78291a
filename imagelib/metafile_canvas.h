// The raster a metafile is played into: polygon fill by scanlines, lines,
// and stretched images, on 32-bit rows (blue, green, red, fourth byte).
// Coordinates are bitmap pixels; pixel (x, y) covers [x, x + 1) x [y, y + 1).
#pragma once

#include <cstdint>
#include <vector>

namespace tesselor {

struct CanvasColour {
  uint8_t red = 0, green = 0, blue = 0;
};

struct CanvasPoint {
  double x = 0, y = 0;
};

struct CanvasPen {
  bool visible = true;
  CanvasColour colour;
  int width = 1;  // pixels
};

struct CanvasBrush {
  enum Style { kNone, kSolid, kHatched };
  Style style = kSolid;
  CanvasColour colour{255, 255, 255};
  int hatch = 0;  // the metafile's hatch style, for kHatched
};

// v toward zero, held to int's range (NaN as 0): a metafile's coordinates can
// be anything, and converting a double beyond that range is undefined.
int SaturatedInt(double v);

// A decoded device-independent bitmap, top line first, blue, green, red, 255.
struct CanvasImage {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> pixels;
};

// Larger drawings would not fit a screen-compatible bitmap; refusing them
// also keeps a wild frame from filling gigabytes with white: a picture of
// this size takes 128 MB to render.
constexpr int64_t kMaxRenderedPixels = int64_t{1} << 25;

// Steps of drawing one metafile may take (pixels set, polygon edges tried
// on a row): enough to cover the largest picture that may be drawn twice
// over, a few hundred milliseconds' work. Wild records can otherwise ask for
// minutes of it from a few kilobytes. A lower pixel budget lowers it too.
int64_t MetafileWorkBudget();

class MetafileCanvas {
 public:
  // rows[y] addresses line y of a width x height 32-bit image; not owned.
  // Drawing raises code 6 once it has taken more than workBudget steps.
  MetafileCanvas(uint8_t* const* rows, int width, int height,
                 int64_t workBudget = MetafileWorkBudget());

  void Clear(CanvasColour colour);
  // Fills the area inside the polygons (even-odd, or non-zero winding).
  void FillPolygons(const std::vector<std::vector<CanvasPoint>>& polygons, const CanvasBrush& brush,
                    bool winding);
  // Draws the lines between consecutive points, closing the figure if asked.
  void StrokePolyline(const std::vector<CanvasPoint>& points, bool closed, const CanvasPen& pen);
  // Draws the part of image at (sourceX, sourceY) sized sourceWidth x
  // sourceHeight stretched onto the rectangle from `from` to `to`.
  void DrawImage(const CanvasImage& image, double sourceX, double sourceY, double sourceWidth,
                 double sourceHeight, CanvasPoint from, CanvasPoint to);

 private:
  void Plot(int x, int y, CanvasColour colour);
  void Stamp(int x, int y, const CanvasPen& pen);
  void Line(int x0, int y0, int x1, int y1, const CanvasPen& pen);
  // Counts steps of work before they are done.
  void Charge(int64_t steps);

  uint8_t* const* rows_;
  int width_;
  int height_;
  int64_t workBudget_;
  int64_t workLeft_;
};

}  // namespace tesselor
