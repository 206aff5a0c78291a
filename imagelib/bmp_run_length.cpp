#include "imagelib/bmp_run_length.h"

#include <algorithm>

namespace tesselor {

namespace {

constexpr uint8_t kEndOfLine = 0;
constexpr uint8_t kEndOfBitmap = 1;
constexpr uint8_t kDelta = 2;

// The cursor of a run-length decode: the line being filled and the next
// pixel in it. Pixels past the line's end are dropped, so corrupt runs can
// never write outside the bitmap.
class RunCursor {
 public:
  RunCursor(CBmp& bmp, const BmpIndexedPixels& pixels) : bmp_(bmp), pixels_(pixels) {}

  bool AtEnd() const { return row_ >= bmp_.height; }
  void NextRow() {
    ++row_;
    x_ = 0;
  }
  void Skip(int right, int up) {
    x_ += right;
    row_ += up;
  }
  void Put(uint8_t index) {
    if (x_ < bmp_.width) pixels_.Put(bmp_.lineArray[bmp_.height - 1 - row_], x_, index);
    ++x_;
  }

 private:
  CBmp& bmp_;
  const BmpIndexedPixels& pixels_;
  int row_ = 0;  // file row; the first is the bottom line
  int64_t x_ = 0;
};

uint8_t Nibble(uint8_t byte, int64_t i) {
  return i % 2 ? byte & 0x0F : byte >> 4;
}

void PutRun(RunCursor& cursor, int bitsPerIndex, int count, uint8_t value) {
  for (int i = 0; i < count; ++i) cursor.Put(bitsPerIndex == 8 ? value : Nibble(value, i));
}

// An absolute run: count indices as they are, padded to a whole word. A run
// the data cut short gives the indices that are there.
void PutAbsolute(CDataSource& source, RunCursor& cursor, int bitsPerIndex, int count) {
  const int64_t bytes = bitsPerIndex == 8 ? count : (count + 1) / 2;
  const int64_t present = std::min(bytes + bytes % 2, source.BytesLeft());
  const uint8_t* data = source.ReadBytes(present);
  const int64_t indices = std::min<int64_t>(count, bitsPerIndex == 8 ? present : 2 * present);
  for (int64_t i = 0; i < indices; ++i)
    cursor.Put(bitsPerIndex == 8 ? data[i] : Nibble(data[i / 2], i));
}

}  // namespace

void DecodeRunLength(CDataSource& source, CBmp& bmp, int bitsPerIndex,
                     const BmpIndexedPixels& pixels) {
  RunCursor cursor(bmp, pixels);
  while (!cursor.AtEnd() && source.BytesLeft() >= 2) {
    const uint8_t* pair = source.ReadBytes(2);
    const uint8_t count = pair[0], value = pair[1];
    if (count > 0) {
      PutRun(cursor, bitsPerIndex, count, value);
    } else if (value == kEndOfLine) {
      cursor.NextRow();
    } else if (value == kEndOfBitmap) {
      return;
    } else if (value == kDelta) {
      if (source.BytesLeft() < 2) return;
      const uint8_t* step = source.ReadBytes(2);
      cursor.Skip(step[0], step[1]);
    } else {
      PutAbsolute(source, cursor, bitsPerIndex, value);
    }
  }
}

int64_t MostRunLengthPixels(int64_t dataBytes) {
  return dataBytes / 2 * 255;
}

}  // namespace tesselor
