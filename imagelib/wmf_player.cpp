#include "imagelib/wmf_player.h"

#include <algorithm>

#include "imagelib/metafile_dib.h"
#include "imagelib/metafile_records.h"

namespace tesselor {

namespace {

constexpr uint32_t kPlaceableKey = 0x9AC6CDD7;
constexpr size_t kPlaceableBytes = 22;
constexpr size_t kHeaderBytes = 18;
constexpr size_t kRecordHeaderBytes = 6;  // size in words, function
constexpr int kTableEntries = 256;

enum WmfFunction : uint16_t {
  kEof = 0x0000,
  kRealizePalette = 0x0035,
  kCreatePalette = 0x00F7,
  kSetPolyFillMode = 0x0106,
  kSelectObject = 0x012D,
  kCreatePatternBrush = 0x01F9,
  kDeleteObject = 0x01F0,
  kSetWindowOrg = 0x020B,
  kSetWindowExt = 0x020C,
  kLineTo = 0x0213,
  kMoveTo = 0x0214,
  kCreatePenIndirect = 0x02FA,
  kCreateFontIndirect = 0x02FB,
  kCreateBrushIndirect = 0x02FC,
  kPolygon = 0x0324,
  kPolyline = 0x0325,
  kEllipse = 0x0418,
  kRectangle = 0x041B,
  kPolyPolygon = 0x0538,
  kCreateRegion = 0x06FF,
  kDibBitBlt = 0x0940,
  kDibStretchBlt = 0x0B41,
  kDibCreatePatternBrush = 0x0142,
  kStretchDib = 0x0F43,
};

// Calls visit(function, parameters) for each record up to the end record.
// False when a record claims more bytes than are left.
template <typename Visit>
bool ForEachRecord(const WmfPicture& picture, Visit visit) {
  size_t at = 0;
  while (at + kRecordHeaderBytes <= picture.recordBytes) {
    const MetafileRecord header{picture.records + at, kRecordHeaderBytes};
    const uint64_t bytes = uint64_t{header.U32(0)} * 2;
    if (bytes < kRecordHeaderBytes || bytes > picture.recordBytes - at) return false;
    const uint16_t function = header.U16(4);
    if (function == kEof) return true;
    visit(function, MetafileRecord{picture.records + at + kRecordHeaderBytes,
                                   static_cast<size_t>(bytes) - kRecordHeaderBytes});
    at += static_cast<size_t>(bytes);
  }
  return true;
}

LogicalPoint PointAt(const MetafileRecord& r, size_t at) {
  return {double(r.S16(at)), double(r.S16(at + 2))};
}

// Points stored as x, y pairs of 16-bit values from `at`.
std::vector<LogicalPoint> Points(const MetafileRecord& r, size_t at, size_t count) {
  std::vector<LogicalPoint> points;
  for (size_t i = 0; i < count && r.Has(at + 4 * i + 4); ++i)
    points.push_back(PointAt(r, at + 4 * i));
  return points;
}

// Bitmap records: the raster operation, then the source and destination
// fields in reverse order, then the DIB. fields is the number of 16-bit
// fields after the raster operation (before the DIB).
void DrawDibRecord(const MetafileRecord& r, size_t fields, bool hasUsage, bool stretched,
                   MetafilePlayer& player) {
  const size_t dibAt = 4 + 2 * fields;
  if (!r.Has(dibAt)) return;
  size_t at = 4;
  const bool paletteIndices = hasUsage && r.U16(at) == 1;
  if (hasUsage) at += 2;
  double sourceHeight = 0, sourceWidth = 0;
  if (stretched) {
    sourceHeight = r.S16(at);
    sourceWidth = r.S16(at + 2);
    at += 4;
  }
  const double sourceY = r.S16(at), sourceX = r.S16(at + 2);
  const double height = r.S16(at + 4), width = r.S16(at + 6);
  const LogicalPoint destination{double(r.S16(at + 10)), double(r.S16(at + 8))};
  if (!stretched) {
    sourceWidth = width;
    sourceHeight = height;
  }
  CanvasImage image;
  if (!ReadPackedMetafileDib(r.data + dibAt, r.size - dibAt, paletteIndices, player.Palette(),
                             image))
    return;
  // Source rows count from the bottom of a bottom-up bitmap.
  const double top = image.height - sourceY - sourceHeight;
  player.StretchImage(image, sourceX, top, sourceWidth, sourceHeight, destination, width, height);
}

void PlayRecord(uint16_t function, const MetafileRecord& r, MetafilePlayer& player) {
  switch (function) {
    case kSetWindowOrg:
      if (r.Has(4)) player.SetWindowOrg(r.S16(2), r.S16(0));
      break;
    case kSetWindowExt:
      if (r.Has(4)) player.SetWindowExt(r.S16(2), r.S16(0));
      break;
    case kSetPolyFillMode:
      if (r.Has(2)) player.SetPolyFillMode(r.U16(0));
      break;
    case kCreatePenIndirect:
      if (r.Has(10)) player.CreatePen(player.FreeSlot(), r.U16(0), r.S16(2), r.U32(6));
      break;
    case kCreateBrushIndirect:
      if (r.Has(8)) player.CreateBrush(player.FreeSlot(), r.U16(0), r.U32(2), r.U16(6));
      break;
    case kCreatePatternBrush:
    case kDibCreatePatternBrush:
      player.CreateOther(player.FreeSlot(), true);
      break;
    case kCreatePalette:
    case kCreateFontIndirect:
    case kCreateRegion:
      player.CreateOther(player.FreeSlot(), false);
      break;
    case kSelectObject:
      if (r.Has(2)) player.SelectObject(r.U16(0));
      break;
    case kDeleteObject:
      if (r.Has(2)) player.DeleteObject(r.U16(0));
      break;
    case kMoveTo:
      if (r.Has(4)) player.MoveTo({double(r.S16(2)), double(r.S16(0))});
      break;
    case kLineTo:
      if (r.Has(4)) player.LineTo({double(r.S16(2)), double(r.S16(0))});
      break;
    case kRectangle:
    case kEllipse:
      if (r.Has(8)) {
        const LogicalPoint corner{double(r.S16(6)), double(r.S16(4))};
        const LogicalPoint opposite{double(r.S16(2)), double(r.S16(0))};
        function == kRectangle ? player.Rectangle(corner, opposite)
                               : player.Ellipse(corner, opposite);
      }
      break;
    case kPolygon:
      if (r.Has(2)) player.Polygons({Points(r, 2, r.U16(0))});
      break;
    case kPolyline:
      if (r.Has(2)) player.Polyline(Points(r, 2, r.U16(0)));
      break;
    case kPolyPolygon: {
      if (!r.Has(2)) break;
      const size_t polygons = r.U16(0);
      size_t at = 2 + 2 * polygons;
      std::vector<std::vector<LogicalPoint>> shapes;
      for (size_t i = 0; i < polygons && r.Has(at); ++i) {
        const size_t count = r.U16(2 + 2 * i);
        shapes.push_back(Points(r, at, count));
        at += 4 * count;
      }
      player.Polygons(shapes);
      break;
    }
    case kStretchDib:
      DrawDibRecord(r, 9, true, true, player);
      break;
    case kDibStretchBlt:
      DrawDibRecord(r, 8, false, true, player);
      break;
    case kDibBitBlt:
      DrawDibRecord(r, 6, false, false, player);
      break;
    default:  // text, clipping, raster operations and the rest draw nothing here
      break;
  }
}

}  // namespace

MetafileHeader ReadWmfHeader(const uint8_t* data, size_t size, WmfPicture& picture) {
  const MetafileRecord all{data, size};
  size_t at = 0;
  if (all.Has(4) && all.U32(0) == kPlaceableKey) {
    if (!all.Has(kPlaceableBytes)) return MetafileHeader::kTooShort;
    picture.placeable = true;
    picture.left = all.S16(6);
    picture.top = all.S16(8);
    picture.right = all.S16(10);
    picture.bottom = all.S16(12);
    picture.unitsPerInch = all.U16(14);
    at = kPlaceableBytes;
  }
  if (!all.Has(at + kHeaderBytes)) return MetafileHeader::kTooShort;
  const uint16_t type = all.U16(at);
  const uint16_t headerWords = all.U16(at + 2);
  const uint16_t version = all.U16(at + 4);
  if ((type != 1 && type != 2) || headerWords != kHeaderBytes / 2 ||
      (version != 0x0100 && version != 0x0300))
    return MetafileHeader::kInvalid;
  picture.records = data + at + kHeaderBytes;
  picture.recordBytes = size - at - kHeaderBytes;
  return MetafileHeader::kRead;
}

int ReadWmfPalette(const WmfPicture& picture, ColourTable& table) {
  int entries = 0;
  ForEachRecord(picture, [&](uint16_t function, const MetafileRecord& r) {
    if (function != kCreatePalette || entries || !r.Has(4)) return;
    const int count = std::min<int>(r.U16(2), kTableEntries);
    for (int i = 0; i < count && r.Has(4 + 4 * i + 4); ++i, ++entries) {
      StorePaletteEntry(r.data + 4 + 4 * i, &table[4 * i]);
    }
  });
  return entries;
}

bool PlayWmf(const WmfPicture& picture, MetafilePlayer& player) {
  return ForEachRecord(picture, [&](uint16_t function, const MetafileRecord& r) {
    PlayRecord(function, r, player);
  });
}

}  // namespace tesselor
