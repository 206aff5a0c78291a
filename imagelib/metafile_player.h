// What Windows and enhanced metafiles share when they are played: the
// object table of pens and brushes, the current position and fill mode, and
// the mapping from logical coordinates to bitmap pixels. The record readers
// (wmf_player.h, emf_player.h) turn records into these calls.
#pragma once

#include <cstdint>
#include <vector>

#include "imagelib/metafile_canvas.h"
#include "imagelib/pic_decoder.h"

namespace tesselor {

struct LogicalPoint {
  double x = 0, y = 0;
};

class MetafilePlayer {
 public:
  // palette: 256 entries (blue, green, red, 255) that palette-index colours
  // refer to.
  MetafilePlayer(MetafileCanvas& canvas, const ColourTable& palette);

  // The mapping. Logical points go through the window and viewport by the
  // mapping mode to device units, which then scale and shift to pixels.
  void SetMapMode(int mode) { mapMode_ = mode; }
  void SetWindowOrg(double x, double y) { windowOrg_ = {x, y}; }
  void SetWindowExt(double x, double y);
  void SetViewportOrg(double x, double y) { viewportOrg_ = {x, y}; }
  void SetViewportExt(double x, double y);
  void SetDeviceToPixels(double scaleX, double scaleY, double offsetX, double offsetY);
  // How many device units make a millimetre, for the metric mapping modes.
  void SetDeviceUnitsPerMillimetre(double x, double y) { unitsPerMm_ = {x, y}; }

  // Objects. Colours are metafile colour references (0x00BBGGRR, or a
  // palette index when the top byte is 1).
  void CreatePen(uint32_t slot, int style, double width, uint32_t colour);
  void CreateBrush(uint32_t slot, int style, uint32_t colour, int hatch);
  // Something that takes a slot but draws nothing here (fonts, palettes,
  // regions, pattern brushes).
  void CreateOther(uint32_t slot, bool isBrush);
  void SelectObject(uint32_t slot);
  void SelectStockObject(int stock);
  void DeleteObject(uint32_t slot);
  // The lowest free slot, as Windows metafiles number their objects.
  uint32_t FreeSlot() const;
  void SetPolyFillMode(int mode) { winding_ = mode == 2; }

  // Drawing, in logical coordinates.
  void MoveTo(LogicalPoint p) { position_ = p; }
  void LineTo(LogicalPoint p);
  void Rectangle(LogicalPoint corner, LogicalPoint opposite);
  void Ellipse(LogicalPoint corner, LogicalPoint opposite);
  void Polygons(const std::vector<std::vector<LogicalPoint>>& polygons);
  void Polyline(const std::vector<LogicalPoint>& points);
  // Draws the image part at source onto the logical rectangle at destination.
  void StretchImage(const CanvasImage& image, double sourceX, double sourceY, double sourceWidth,
                    double sourceHeight, LogicalPoint destination, double width, double height);

  const ColourTable& Palette() const { return palette_; }

 private:
  struct Object {
    enum Kind { kFree, kPen, kBrush, kOther } kind = kFree;
    CanvasPen pen;
    CanvasBrush brush;
  };

  CanvasPoint ToPixels(LogicalPoint p) const;
  std::vector<CanvasPoint> ToPixels(const std::vector<LogicalPoint>& points) const;
  CanvasColour Colour(uint32_t reference) const;
  Object* Slot(uint32_t slot);

  MetafileCanvas& canvas_;
  const ColourTable& palette_;
  std::vector<Object> objects_;
  CanvasPen pen_;
  CanvasBrush brush_;
  LogicalPoint position_;
  bool winding_ = false;

  int mapMode_ = 1;  // device units, y down
  LogicalPoint windowOrg_, windowExt_{1, 1}, viewportOrg_, viewportExt_{1, 1};
  LogicalPoint unitsPerMm_{96 / 25.4, 96 / 25.4};
  LogicalPoint deviceScale_{1, 1}, deviceOffset_;
};

}  // namespace tesselor
