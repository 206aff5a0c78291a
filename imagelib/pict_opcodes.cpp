#include "imagelib/pict_opcodes.h"

namespace tesselor {

namespace {

// Opcodes 0x00 to 0x2F.
constexpr PictOpcode kLowOpcodes[] = {
    {PictData::kFixed, 0},       // NOP
    {PictData::kRegion, 0},      // Clip
    {PictData::kFixed, 8},       // BkPat
    {PictData::kFixed, 2},       // TxFont
    {PictData::kFixed, 1},       // TxFace
    {PictData::kFixed, 2},       // TxMode
    {PictData::kFixed, 4},       // SpExtra
    {PictData::kFixed, 4},       // PnSize
    {PictData::kFixed, 2},       // PnMode
    {PictData::kFixed, 8},       // PnPat
    {PictData::kFixed, 8},       // FillPat
    {PictData::kFixed, 4},       // OvSize
    {PictData::kFixed, 4},       // Origin
    {PictData::kFixed, 2},       // TxSize
    {PictData::kFixed, 4},       // FgColor
    {PictData::kFixed, 4},       // BkColor
    {PictData::kFixed, 8},       // TxRatio
    {PictData::kFixed, 1},       // Version
    {PictData::kPixPattern, 0},  // BkPixPat
    {PictData::kPixPattern, 0},  // PnPixPat
    {PictData::kPixPattern, 0},  // FillPixPat
    {PictData::kFixed, 2},       // PnLocHFrac
    {PictData::kFixed, 2},       // ChExtra
    {PictData::kFixed, 0},      {PictData::kFixed, 0},      {PictData::kFixed, 0},
    {PictData::kFixed, 6},  // RGBFgCol
    {PictData::kFixed, 6},  // RGBBkCol
    {PictData::kFixed, 0},  // HiliteMode
    {PictData::kFixed, 6},  // HiliteColor
    {PictData::kFixed, 0},  // DefHilite
    {PictData::kFixed, 6},  // OpColor
    {PictData::kFixed, 8},  // Line
    {PictData::kFixed, 4},  // LineFrom
    {PictData::kFixed, 6},  // ShortLine
    {PictData::kFixed, 2},  // ShortLineFrom
    {PictData::kLengthWord, 0}, {PictData::kLengthWord, 0}, {PictData::kLengthWord, 0},
    {PictData::kLengthWord, 0}, {PictData::kText, 4},  // LongText
    {PictData::kText, 1},                              // DHText
    {PictData::kText, 1},                              // DVText
    {PictData::kText, 2},                              // DHDVText
    {PictData::kLengthWord, 0},                        // fontName
    {PictData::kLengthWord, 0},                        // lineJustify
    {PictData::kLengthWord, 0},                        // glyphState
    {PictData::kLengthWord, 0},
};

// Opcodes 0x90 to 0xA1.
constexpr PictOpcode kBitmapOpcodes[] = {
    {PictData::kPixelMap, 0},  // BitsRect
    {PictData::kPixelMap, 0},  // BitsRgn
    {PictData::kLengthWord, 0},  {PictData::kLengthWord, 0}, {PictData::kLengthWord, 0},
    {PictData::kLengthWord, 0},  {PictData::kLengthWord, 0}, {PictData::kLengthWord, 0},
    {PictData::kPixelMap, 0},  // PackBitsRect
    {PictData::kPixelMap, 0},  // PackBitsRgn
    {PictData::kPixelMap, 0},  // DirectBitsRect
    {PictData::kPixelMap, 0},  // DirectBitsRgn
    {PictData::kLengthWord, 0},  {PictData::kLengthWord, 0}, {PictData::kLengthWord, 0},
    {PictData::kLengthWord, 0},  {PictData::kFixed, 2},  // ShortComment
    {PictData::kLongComment, 0},                         // LongComment
};

// 0x30 to 0x8F: six shapes (rectangle, rounded rectangle, oval, arc,
// polygon, region) of sixteen opcodes each: five verbs (frame, paint, erase,
// invert, fill) and three reserved on a new shape, then the same on the last
// shape again.
PictOpcode ShapeOpcode(int opcode) {
  const int shape = (opcode - 0x30) / 16;
  const bool same = opcode % 16 >= 8;
  if (shape >= 4)  // polygons and regions carry their own size
    return {same ? PictData::kFixed : PictData::kRegion, 0};
  const int full = shape == 3 ? 12 : 8;  // arcs add two angles
  return {PictData::kFixed, same ? full - 8 : full};
}

}  // namespace

PictOpcode DescribePictOpcode(int opcode, int version) {
  if (opcode == 0xFF || (version == 2 && opcode == 0xFFFF))
    return {PictData::kEnd, 0};  // end of picture
  if (opcode < 0x30) return kLowOpcodes[opcode];
  if (opcode < 0x90) return ShapeOpcode(opcode);
  if (opcode < 0xA2) return kBitmapOpcodes[opcode - 0x90];
  if (opcode < 0xB0) return {PictData::kLengthWord, 0};
  if (opcode < 0xD0) return {PictData::kFixed, 0};
  if (opcode < 0x100) return {PictData::kLengthDword, 0};
  if (opcode == 0x0C00) return {PictData::kFixed, 24};  // header
  if (opcode == 0x02FF) return {PictData::kFixed, 2};   // version
  if (opcode < 0x8000) return {PictData::kFixed, (opcode >> 8) * 2};
  if (opcode < 0x8100) return {PictData::kFixed, 0};
  if (opcode == 0x8200) return {PictData::kQuickTime, 0};  // compressed QuickTime (JPEG)
  return {PictData::kLengthDword, 0};
}

}  // namespace tesselor
