#include "imagelib/pict_opcodes.h"

#include <cstdio>

namespace tesselor {

namespace {

struct TableEntry {
  const char* name;  // null for reserved opcodes
  PictData data;
  int length;
};

// Opcodes 0x00 to 0x2F.
constexpr TableEntry kLowOpcodes[] = {
    {"NOP", PictData::kFixed, 0},
    {"Clip", PictData::kRegion, 0},
    {"BkPat", PictData::kFixed, 8},
    {"TxFont", PictData::kFixed, 2},
    {"TxFace", PictData::kFixed, 1},
    {"TxMode", PictData::kFixed, 2},
    {"SpExtra", PictData::kFixed, 4},
    {"PnSize", PictData::kFixed, 4},
    {"PnMode", PictData::kFixed, 2},
    {"PnPat", PictData::kFixed, 8},
    {"FillPat", PictData::kFixed, 8},
    {"OvSize", PictData::kFixed, 4},
    {"Origin", PictData::kFixed, 4},
    {"TxSize", PictData::kFixed, 2},
    {"FgColor", PictData::kFixed, 4},
    {"BkColor", PictData::kFixed, 4},
    {"TxRatio", PictData::kFixed, 8},
    {"Version", PictData::kFixed, 1},
    {"BkPixPat", PictData::kPixPattern, 0},
    {"PnPixPat", PictData::kPixPattern, 0},
    {"FillPixPat", PictData::kPixPattern, 0},
    {"PnLocHFrac", PictData::kFixed, 2},
    {"ChExtra", PictData::kFixed, 2},
    {nullptr, PictData::kFixed, 0},
    {nullptr, PictData::kFixed, 0},
    {nullptr, PictData::kFixed, 0},
    {"RGBFgCol", PictData::kFixed, 6},
    {"RGBBkCol", PictData::kFixed, 6},
    {"HiliteMode", PictData::kFixed, 0},
    {"HiliteColor", PictData::kFixed, 6},
    {"DefHilite", PictData::kFixed, 0},
    {"OpColor", PictData::kFixed, 6},
    {"Line", PictData::kFixed, 8},
    {"LineFrom", PictData::kFixed, 4},
    {"ShortLine", PictData::kFixed, 6},
    {"ShortLineFrom", PictData::kFixed, 2},
    {nullptr, PictData::kLengthWord, 0},
    {nullptr, PictData::kLengthWord, 0},
    {nullptr, PictData::kLengthWord, 0},
    {nullptr, PictData::kLengthWord, 0},
    {"LongText", PictData::kText, 4},
    {"DHText", PictData::kText, 1},
    {"DVText", PictData::kText, 1},
    {"DHDVText", PictData::kText, 2},
    {"fontName", PictData::kLengthWord, 0},
    {"lineJustify", PictData::kLengthWord, 0},
    {"glyphState", PictData::kLengthWord, 0},
    {nullptr, PictData::kLengthWord, 0},
};

// Opcodes 0x90 to 0xA1.
constexpr TableEntry kBitmapOpcodes[] = {
    {"BitsRect", PictData::kPixelMap, 0},       {"BitsRgn", PictData::kPixelMap, 0},
    {nullptr, PictData::kLengthWord, 0},        {nullptr, PictData::kLengthWord, 0},
    {nullptr, PictData::kLengthWord, 0},        {nullptr, PictData::kLengthWord, 0},
    {nullptr, PictData::kLengthWord, 0},        {nullptr, PictData::kLengthWord, 0},
    {"PackBitsRect", PictData::kPixelMap, 0},   {"PackBitsRgn", PictData::kPixelMap, 0},
    {"DirectBitsRect", PictData::kPixelMap, 0}, {"DirectBitsRgn", PictData::kPixelMap, 0},
    {nullptr, PictData::kLengthWord, 0},        {nullptr, PictData::kLengthWord, 0},
    {nullptr, PictData::kLengthWord, 0},        {nullptr, PictData::kLengthWord, 0},
    {"ShortComment", PictData::kFixed, 2},      {"LongComment", PictData::kLongComment, 0},
};

std::string Reserved(int opcode) {
  char name[32];
  std::snprintf(name, sizeof name, "reserved=0x%x", opcode);
  return name;
}

PictOpcode FromEntry(const TableEntry& entry, int opcode) {
  return {entry.name ? entry.name : Reserved(opcode), entry.data, entry.length};
}

// 0x30 to 0x8F: six shapes of sixteen opcodes each: five verbs on a new
// shape, three reserved, five verbs on the last shape again, three reserved.
PictOpcode ShapeOpcode(int opcode) {
  static const char* const kShapes[] = {"Rect", "RRect", "Oval", "Arc", "Poly", "Rgn"};
  static const char* const kVerbs[] = {"frame", "paint", "erase", "invert", "fill"};
  const int shape = (opcode - 0x30) / 16;
  const int slot = opcode % 16;
  const bool same = slot >= 8;
  PictOpcode result;
  if (shape >= 4) {  // polygons and regions carry their own size
    result.data = same ? PictData::kFixed : PictData::kRegion;
    result.length = 0;
  } else {
    result.data = PictData::kFixed;
    const int full = shape == 3 ? 12 : 8;  // arcs add two angles
    result.length = same ? full - 8 : full;
  }
  const int verb = slot % 8;
  result.name = verb < 5 ? std::string(kVerbs[verb]) + (same ? "Same" : "") + kShapes[shape]
                         : Reserved(opcode);
  return result;
}

}  // namespace

PictOpcode DescribePictOpcode(int opcode, int version) {
  if (opcode == 0xFF || (version == 2 && opcode == 0xFFFF))
    return {"End of pict", PictData::kEnd, 0};
  if (opcode < 0x30) return FromEntry(kLowOpcodes[opcode], opcode);
  if (opcode < 0x90) return ShapeOpcode(opcode);
  if (opcode < 0xA2) return FromEntry(kBitmapOpcodes[opcode - 0x90], opcode);
  if (opcode < 0xB0) return {Reserved(opcode), PictData::kLengthWord, 0};
  if (opcode < 0xD0) return {Reserved(opcode), PictData::kFixed, 0};
  if (opcode < 0x100) return {Reserved(opcode), PictData::kLengthDword, 0};
  if (opcode == 0x0C00) return {"Header", PictData::kFixed, 24};
  if (opcode == 0x02FF) return {"Version", PictData::kFixed, 2};
  if (opcode < 0x8000) return {Reserved(opcode), PictData::kFixed, (opcode >> 8) * 2};
  if (opcode < 0x8100) return {Reserved(opcode), PictData::kFixed, 0};
  if (opcode == 0x8200) return {"JPEG", PictData::kQuickTime, 0};
  return {Reserved(opcode), PictData::kLengthDword, 0};
}

}  // namespace tesselor
