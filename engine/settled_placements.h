// What the build has placed so far under the variety rules, shared with the
// workers that rank cells ahead of the placing thread. A worker leaves out
// the photos it already knows the rules refuse at its cell, and ranks only
// as far past what the pick can reach as the placements still open could
// refuse more; the placing thread still checks every choice against the
// rules themselves, so what a worker knew never changes the mosaic.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

#include "engine/mosaic_settings.h"

namespace tesselor {

class SettledPlacements {
 public:
  // For a grid of columns x rows cells, whose placements come first in build
  // order (columns outer, rows inner), and photoCount photos.
  SettledPlacements(const VarietyOptions& options, int columns, int rows, int photoCount);

  // Placing thread: placement number `placement` is final. photo is the
  // photo it placed (-1 for none) and uses how often that photo is placed now.
  void Settle(int64_t placement, int photo, int uses);

  // Any thread: sets refused[photo] (one byte per photo) for the photos the
  // rules certainly refuse at placement number `placement`, which lies at
  // cell (column, row). Returns how many earlier placements could still
  // refuse a photo of their own beyond those, or -1 when that is not known
  // (the scattered placements after the grid).
  int64_t KnownRefusals(int64_t placement, int column, int row,
                        std::vector<uint8_t>& refused) const;

 private:
  int minDistance_;
  int maxUses_;
  int columns_;
  int rows_;
  int64_t cells_;
  std::unique_ptr<std::atomic<int>[]> photoAt_;   // by grid cell, -1 until placed
  std::unique_ptr<std::atomic<uint8_t>[]> full_;  // by photo: at the repetition limit
  size_t photoCount_;
  std::atomic<int64_t> settled_{0};  // placements 0 to settled_ - 1 are final
};

}  // namespace tesselor
