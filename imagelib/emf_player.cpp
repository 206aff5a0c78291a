#include "imagelib/emf_player.h"

#include <algorithm>

#include "imagelib/metafile_dib.h"
#include "imagelib/metafile_records.h"

namespace tesselor {

namespace {

constexpr uint32_t kSignature = 0x464D4520;  // " EMF"
constexpr size_t kHeaderBytes = 88;
constexpr size_t kRecordHeaderBytes = 8;  // type, size in bytes
constexpr uint32_t kStockObject = 0x80000000;
constexpr int kTableEntries = 256;

enum EmfRecord : uint32_t {
  kHeader = 1,
  kPolygon = 3,
  kPolyline = 4,
  kPolyPolygon = 8,
  kSetWindowExt = 9,
  kSetWindowOrg = 10,
  kSetViewportExt = 11,
  kSetViewportOrg = 12,
  kEof = 14,
  kSetMapMode = 17,
  kSetPolyFillMode = 19,
  kMoveTo = 27,
  kSelectObject = 37,
  kCreatePen = 38,
  kCreateBrush = 39,
  kDeleteObject = 40,
  kEllipse = 42,
  kRectangle = 43,
  kCreatePalette = 49,
  kLineTo = 54,
  kStretchDibits = 81,
  kCreateFont = 82,
  kPolygon16 = 86,
  kPolyline16 = 87,
  kPolyPolygon16 = 91,
  kCreateMonoBrush = 93,
  kCreateDibPatternBrush = 94,
  kExtCreatePen = 95,
};

// Calls visit(type, record) for each record up to the end record, which is
// visited too. False when a record claims more bytes than are left.
template <typename Visit>
bool ForEachRecord(const EmfPicture& picture, Visit visit) {
  size_t at = 0;
  while (at + kRecordHeaderBytes <= picture.size) {
    const MetafileRecord record{picture.data + at, picture.size - at};
    const uint32_t bytes = record.U32(4);
    if (bytes < kRecordHeaderBytes || bytes > picture.size - at) return false;
    const uint32_t type = record.U32(0);
    visit(type, MetafileRecord{picture.data + at, bytes});
    if (type == kEof) return true;
    at += bytes;
  }
  return true;
}

// count points from `at`, as 32-bit or (wide false) 16-bit x, y pairs.
std::vector<LogicalPoint> Points(const MetafileRecord& r, size_t at, size_t count, bool wide) {
  const size_t pairBytes = wide ? 8 : 4;
  std::vector<LogicalPoint> points;
  for (size_t i = 0; i < count && r.Has(at + pairBytes * (i + 1)); ++i) {
    const size_t p = at + pairBytes * i;
    points.push_back(wide ? LogicalPoint{double(r.S32(p)), double(r.S32(p + 4))}
                          : LogicalPoint{double(r.S16(p)), double(r.S16(p + 2))});
  }
  return points;
}

void PolyPolygon(const MetafileRecord& r, bool wide, MetafilePlayer& player) {
  if (!r.Has(32)) return;
  const size_t polygons = r.U32(24);
  size_t at = 32 + 4 * polygons;
  std::vector<std::vector<LogicalPoint>> shapes;
  for (size_t i = 0; i < polygons && r.Has(at); ++i) {
    const size_t count = r.U32(32 + 4 * i);
    shapes.push_back(Points(r, at, count, wide));
    at += count * (wide ? 8 : 4);
  }
  player.Polygons(shapes);
}

void StretchDibits(const MetafileRecord& r, MetafilePlayer& player) {
  if (!r.Has(80)) return;
  const uint32_t infoAt = r.U32(48), infoBytes = r.U32(52);
  const uint32_t bitsAt = r.U32(56), bitsBytes = r.U32(60);
  if (uint64_t{infoAt} + infoBytes > r.size || uint64_t{bitsAt} + bitsBytes > r.size) return;
  CanvasImage image;
  if (!ReadMetafileDib(r.data + infoAt, infoBytes, r.data + bitsAt, bitsBytes, r.U32(64) == 1,
                       player.Palette(), image))
    return;
  const double sourceX = r.S32(32), sourceY = r.S32(36);
  const double sourceWidth = r.S32(40), sourceHeight = r.S32(44);
  // Source rows count from the bottom of a bottom-up bitmap.
  const double top = image.height - sourceY - sourceHeight;
  player.StretchImage(image, sourceX, top, sourceWidth, sourceHeight,
                      {double(r.S32(24)), double(r.S32(28))}, r.S32(72), r.S32(76));
}

void PlayRecord(uint32_t type, const MetafileRecord& r, MetafilePlayer& player) {
  switch (type) {
    case kSetWindowExt:
      if (r.Has(16)) player.SetWindowExt(r.S32(8), r.S32(12));
      break;
    case kSetWindowOrg:
      if (r.Has(16)) player.SetWindowOrg(r.S32(8), r.S32(12));
      break;
    case kSetViewportExt:
      if (r.Has(16)) player.SetViewportExt(r.S32(8), r.S32(12));
      break;
    case kSetViewportOrg:
      if (r.Has(16)) player.SetViewportOrg(r.S32(8), r.S32(12));
      break;
    case kSetMapMode:
      if (r.Has(12)) player.SetMapMode(r.S32(8));
      break;
    case kSetPolyFillMode:
      if (r.Has(12)) player.SetPolyFillMode(r.S32(8));
      break;
    case kCreatePen:
      if (r.Has(28)) player.CreatePen(r.U32(8), r.S32(12), r.S32(16), r.U32(24));
      break;
    case kExtCreatePen:
      if (r.Has(44)) player.CreatePen(r.U32(8), r.S32(28), r.S32(32), r.U32(40));
      break;
    case kCreateBrush:
      if (r.Has(24)) player.CreateBrush(r.U32(8), r.S32(12), r.U32(16), r.S32(20));
      break;
    case kCreateMonoBrush:
    case kCreateDibPatternBrush:
      if (r.Has(12)) player.CreateOther(r.U32(8), true);
      break;
    case kCreatePalette:
    case kCreateFont:
      if (r.Has(12)) player.CreateOther(r.U32(8), false);
      break;
    case kSelectObject:
      if (!r.Has(12)) break;
      if (r.U32(8) & kStockObject)
        player.SelectStockObject(static_cast<int>(r.U32(8) & ~kStockObject));
      else
        player.SelectObject(r.U32(8));
      break;
    case kDeleteObject:
      if (r.Has(12)) player.DeleteObject(r.U32(8));
      break;
    case kMoveTo:
      if (r.Has(16)) player.MoveTo({double(r.S32(8)), double(r.S32(12))});
      break;
    case kLineTo:
      if (r.Has(16)) player.LineTo({double(r.S32(8)), double(r.S32(12))});
      break;
    case kRectangle:
    case kEllipse:
      if (r.Has(24)) {
        const LogicalPoint corner{double(r.S32(8)), double(r.S32(12))};
        const LogicalPoint opposite{double(r.S32(16)), double(r.S32(20))};
        type == kRectangle ? player.Rectangle(corner, opposite) : player.Ellipse(corner, opposite);
      }
      break;
    case kPolygon:
    case kPolygon16:
      if (r.Has(28)) player.Polygons({Points(r, 28, r.U32(24), type == kPolygon)});
      break;
    case kPolyline:
    case kPolyline16:
      if (r.Has(28)) player.Polyline(Points(r, 28, r.U32(24), type == kPolyline));
      break;
    case kPolyPolygon:
    case kPolyPolygon16:
      PolyPolygon(r, type == kPolyPolygon, player);
      break;
    case kStretchDibits:
      StretchDibits(r, player);
      break;
    default:  // text, clipping, paths and the rest draw nothing here
      break;
  }
}

}  // namespace

MetafileHeader ReadEmfHeader(const uint8_t* data, size_t size, EmfPicture& picture) {
  const MetafileRecord header{data, size};
  if (!header.Has(kHeaderBytes)) return MetafileHeader::kTooShort;
  if (header.U32(0) != kHeader || header.U32(40) != kSignature || header.U32(4) < kHeaderBytes)
    return MetafileHeader::kInvalid;
  picture.frameLeft = header.S32(24);
  picture.frameTop = header.S32(28);
  picture.frameRight = header.S32(32);
  picture.frameBottom = header.S32(36);
  const int32_t devicePixelsX = header.S32(72), devicePixelsY = header.S32(76);
  const int32_t deviceMmX = header.S32(80), deviceMmY = header.S32(84);
  if (devicePixelsX > 0 && deviceMmX > 0) picture.pixelsPerMmX = double(devicePixelsX) / deviceMmX;
  if (devicePixelsY > 0 && deviceMmY > 0) picture.pixelsPerMmY = double(devicePixelsY) / deviceMmY;
  picture.data = data;
  picture.size = size;
  return MetafileHeader::kRead;
}

int ReadEmfPalette(const EmfPicture& picture, ColourTable& table) {
  int entries = 0;
  ForEachRecord(picture, [&](uint32_t type, const MetafileRecord& r) {
    if (type != kEof || !r.Has(16)) return;
    const uint32_t count = std::min<uint32_t>(r.U32(8), kTableEntries);
    const uint32_t at = r.U32(12);
    for (uint32_t i = 0; i < count && r.Has(uint64_t{at} + 4 * i + 4); ++i, ++entries) {
      StorePaletteEntry(r.data + at + 4 * i, &table[4 * i]);
    }
  });
  return entries;
}

bool PlayEmf(const EmfPicture& picture, MetafilePlayer& player) {
  return ForEachRecord(
      picture, [&](uint32_t type, const MetafileRecord& r) { PlayRecord(type, r, player); });
}

}  // namespace tesselor
