// The in-memory tile library of one build: every tile brought down to the
// build's tile size as three byte planes plus its average colour, so that
// matching never touches the disk.
#pragma once

#include <algorithm>
#include <cstdint>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "library/tile_files.h"

namespace tesselor {

// One tile at tile size n: a single block of 3 x n x n + 4 bytes holding the
// red, green and blue planes (row 0 at the top, byte y x n + x), one free
// byte, then the average red, green and blue.
class TileBuffer {
 public:
  // Zero-filled. Throws std::bad_alloc when the block cannot be had.
  explicit TileBuffer(int tileSize)
      : size_(tileSize), bytes_(new uint8_t[static_cast<size_t>(3 * tileSize * tileSize + 4)]()) {}

  int Size() const { return size_; }
  int BlockBytes() const { return 3 * size_ * size_ + 4; }

  uint8_t* Plane(int channel) { return bytes_.get() + channel * size_ * size_; }
  const uint8_t* Plane(int channel) const { return bytes_.get() + channel * size_ * size_; }
  uint8_t Value(int channel, int x, int y) const { return Plane(channel)[y * size_ + x]; }

  uint8_t Average(int channel) const { return bytes_[3 * size_ * size_ + 1 + channel]; }
  void SetAverage(int channel, uint8_t value) { bytes_[3 * size_ * size_ + 1 + channel] = value; }

  const uint8_t* Block() const { return bytes_.get(); }

 private:
  int size_;
  std::unique_ptr<uint8_t[]> bytes_;
};

// At most this many tiles, mirror copies included, take part in one build
// unless the user asks for every tile of the library.
constexpr int kTileSetCapacity = 10000;
// The capacity of a tile set that takes every tile it is given.
constexpr int kNoTileLimit = std::numeric_limits<int>::max();

// Where a tile came from. A tile and its mirror copy share one photo: the
// variety rules count them as the same picture.
struct TileOrigin {
  int photo = -1;         // -1 when added: a photo of its own
  bool mirrored = false;  // the left-right mirror copy
  std::string fileName;   // the tile file's name in the library
};

// The tiles of one build in table order (listing order, each mirror copy
// right after its tile); that order decides between equal scores.
class TileSet {
 public:
  explicit TileSet(int capacity = kTileSetCapacity) : capacity_(capacity) {
    tiles_.reserve(static_cast<size_t>(std::min(capacity, kTileSetCapacity)));
  }

  int Count() const { return static_cast<int>(tiles_.size()); }
  bool IsFull() const { return Count() >= capacity_; }
  const TileBuffer& operator[](int index) const { return *tiles_[static_cast<size_t>(index)]; }
  const TileOrigin& Origin(int index) const { return origins_[static_cast<size_t>(index)]; }
  // Photos are numbered 0 to PhotoCount() - 1.
  int PhotoCount() const { return photoCount_; }

  // Appends a tile; the caller checks IsFull first.
  void Add(std::unique_ptr<TileBuffer> tile, TileOrigin origin = {}) {
    if (origin.photo < 0) origin.photo = photoCount_;
    if (origin.photo >= photoCount_) photoCount_ = origin.photo + 1;
    tiles_.push_back(std::move(tile));
    origins_.push_back(std::move(origin));
  }
  void Clear() {
    tiles_.clear();
    origins_.clear();
    photoCount_ = 0;
  }

 private:
  int capacity_;
  std::vector<std::unique_ptr<TileBuffer>> tiles_;
  std::vector<TileOrigin> origins_;
  int photoCount_ = 0;
};

}  // namespace tesselor
