// The in-memory bitmap every image of the program lives in: a device-
// independent bitmap with bottom-up rows and a line array that addresses
// them from the top. CBmp is the description; its subclasses own storage.
#pragma once

#include <cstdint>
#include <new>
#include <vector>

namespace tesselor {

// Largest width or height any bitmap may have, and the most pixel storage one
// may ask for; larger requests fail as out of memory before allocating.
constexpr int kMaxBitmapDimension = 65535;
constexpr int64_t kMaxBitmapBytes = int64_t{4} << 30;

// Whether a bitmap of these sides, each truncated to a whole number, stays
// within the limits above (its pixel bytes too, for WithinBitmapLimits).
// Sides come as doubles so that products beyond an int can be asked about.
bool WithinBitmapSides(double width, double height);
bool WithinBitmapLimits(double width, double height, int bitsPerPixel);

// What Create throws for a size beyond those limits: a refusal, not a want of
// memory, so messages can tell the two apart. Callers that only need to know
// there is no bitmap catch std::bad_alloc for both.
class BitmapTooLarge : public std::bad_alloc {
 public:
  const char* what() const noexcept override { return "bitmap larger than the limits"; }
};

class CBmp {
 public:
  virtual ~CBmp() = default;
  CBmp(const CBmp&) = delete;
  CBmp& operator=(const CBmp&) = delete;

  // Replaces the storage; the old pixels are lost. Throws std::bad_alloc when
  // the storage cannot be had (BitmapTooLarge beyond the limits), leaving the
  // bitmap without storage.
  void Create(int width, int height, int bitsPerPixel, bool hasAlpha);

  virtual int64_t MemoryUsed() const = 0;
  virtual int LineLength() const = 0;

  // Copies 2^bitsPerPixel four-byte entries into the colour table and returns
  // how many were copied (0 when the bitmap has no colour table).
  int CopyPalette(const uint8_t* entries);

  // Bytes per line for a width and depth: whole bytes, rounded up to 4.
  static int64_t LineLengthFor(int width, int bitsPerPixel);

  int width = 0;
  int height = 0;
  uint16_t bitsPerPixel = 0;
  uint8_t* palette = nullptr;  // colour table, or null above 15 bits per pixel
  uint8_t* bits = nullptr;     // first byte of the bottom line
  bool hasAlpha = false;
  // lineArray[y] addresses image line y counted from the top.
  uint8_t** lineArray = nullptr;

 protected:
  CBmp() = default;

  virtual void AllocateStorage(int width, int height, int bitsPerPixel, bool hasAlpha) = 0;
  virtual void ReleaseStorage() = 0;
  virtual void BuildLineArray() = 0;

  // Stores the description, builds the line array and, for depths up to 15,
  // writes the grey colour table.
  void SetDefaultState(int width, int height, int bitsPerPixel, bool hasAlpha);

  std::vector<uint8_t*> lines_;  // storage behind lineArray
};

}  // namespace tesselor
