#include "engine/settled_placements.h"

#include <algorithm>

#include "engine/cell_window.h"

namespace tesselor {

SettledPlacements::SettledPlacements(const VarietyOptions& options, int columns, int rows,
                                     int photoCount)
    : minDistance_(options.minDistance),
      maxUses_(options.maxUses),
      columns_(columns),
      rows_(rows),
      cells_(int64_t{columns} * rows),
      photoAt_(new std::atomic<int>[static_cast<size_t>(cells_)]),
      full_(new std::atomic<uint8_t>[static_cast<size_t>(photoCount)]),
      photoCount_(static_cast<size_t>(photoCount)) {
  for (int64_t cell = 0; cell < cells_; ++cell) photoAt_[cell].store(-1, std::memory_order_relaxed);
  for (size_t photo = 0; photo < photoCount_; ++photo)
    full_[photo].store(0, std::memory_order_relaxed);
}

void SettledPlacements::Settle(int64_t placement, int photo, int uses) {
  if (photo >= 0) {
    if (placement < cells_) photoAt_[placement].store(photo, std::memory_order_relaxed);
    if (maxUses_ > 0 && uses >= maxUses_)
      full_[static_cast<size_t>(photo)].store(1, std::memory_order_relaxed);
  }
  settled_.store(placement + 1, std::memory_order_release);
}

int64_t SettledPlacements::KnownRefusals(int64_t placement, int column, int row,
                                         std::vector<uint8_t>& refused) const {
  // Everything read after this load is final for the placements before it;
  // what was written since is final too, so reading it as well is safe.
  const int64_t settled = settled_.load(std::memory_order_acquire);
  refused.assign(photoCount_, 0);
  if (maxUses_ > 0)
    for (size_t photo = 0; photo < photoCount_; ++photo)
      refused[photo] = full_[photo].load(std::memory_order_relaxed);
  if (minDistance_ > 0) {
    const CellWindow window = CellsWithin(column, row, minDistance_, columns_, rows_);
    for (int c = window.firstColumn; c <= window.lastColumn; ++c)
      for (int r = window.firstRow; r <= window.lastRow; ++r) {
        const int64_t cell = int64_t{c} * rows_ + r;
        // Only earlier placements bind this one.
        if (cell >= placement) break;
        const int photo = photoAt_[cell].load(std::memory_order_relaxed);
        if (photo >= 0) refused[static_cast<size_t>(photo)] = 1;
      }
  }
  return placement < cells_ ? placement - std::min(settled, placement) : -1;
}

}  // namespace tesselor
