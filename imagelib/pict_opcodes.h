// The PICT opcode table: how each opcode's data is sized, so the decoder can
// step over everything that is not a pixel map.
#pragma once

namespace tesselor {

enum class PictData {
  kFixed,        // `length` bytes
  kRegion,       // a size word that counts itself, then the rest (regions, polygons)
  kLengthWord,   // a word giving the number of bytes that follow it
  kLengthDword,  // a double word giving the number of bytes that follow it
  kText,         // `length` bytes, then a count byte and that many characters
  kLongComment,  // a kind word, then a length word and that many bytes
  kPixPattern,   // a pixel pattern record
  kPixelMap,     // bitmap or pixel map opcodes: the picture we decode
  kQuickTime,    // compressed QuickTime data behind a double-word length
  kEnd,          // end of picture
};

struct PictOpcode {
  PictData data;
  int length;
};

// Describes an opcode: one byte in version 1 files, a word in version 2.
PictOpcode DescribePictOpcode(int opcode, int version);

}  // namespace tesselor
