#include "engine/variety_rules.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

#include "engine/cell_window.h"

namespace tesselor {

VarietyRules::VarietyRules(const VarietyOptions& options, const TileSet& tiles, int columns,
                           int rows)
    : tiles_(tiles),
      minDistance_(options.minDistance),
      maxUses_(options.maxUses),
      columns_(columns),
      rows_(rows),
      photosAt_(static_cast<size_t>(columns) * static_cast<size_t>(rows)),
      uses_(static_cast<size_t>(tiles.PhotoCount())),
      nearbyStamp_(static_cast<size_t>(tiles.PhotoCount()), -1) {}

template <class Visit>
void VarietyRules::ForEachNearbyPhoto(Visit visit) const {
  if (minDistance_ <= 0) return;
  const CellWindow window = CellsWithin(column_, row_, minDistance_, columns_, rows_);
  for (int c = window.firstColumn; c <= window.lastColumn; ++c)
    for (int r = window.firstRow; r <= window.lastRow; ++r) {
      const int distance = std::max(std::abs(c - column_), std::abs(r - row_));
      for (const int photo : photosAt_[static_cast<size_t>(c) * rows_ + r]) visit(photo, distance);
    }
}

void VarietyRules::Prepare(int column, int row) {
  ++placement_;
  column_ = column;
  row_ = row;
  ForEachNearbyPhoto(
      [&](int photo, int) { nearbyStamp_[static_cast<size_t>(photo)] = placement_; });
}

bool VarietyRules::Allows(int tile) const {
  return AllowsPhoto(static_cast<size_t>(tiles_.Origin(tile).photo));
}

bool VarietyRules::AllowsPhoto(size_t photo) const {
  if (nearbyStamp_[photo] == placement_) return false;
  return maxUses_ <= 0 || uses_[photo] < maxUses_;
}

std::vector<uint8_t> VarietyRules::Exclusions() const {
  std::vector<uint8_t> excluded(uses_.size());
  for (size_t photo = 0; photo < uses_.size(); ++photo) excluded[photo] = !AllowsPhoto(photo);
  return excluded;
}

std::vector<uint8_t> VarietyRules::AllButLeastBreaking() const {
  // A photo not placed nearby keeps the distance: count it one beyond it.
  std::vector<int> nearest(uses_.size(), minDistance_ + 1);
  ForEachNearbyPhoto([&](int photo, int distance) {
    int& n = nearest[static_cast<size_t>(photo)];
    n = std::min(n, distance);
  });
  // Farthest earlier use first, then fewest uses.
  const auto better = [&](size_t a, size_t b) {
    return nearest[a] != nearest[b] ? nearest[a] > nearest[b] : uses_[a] < uses_[b];
  };
  size_t best = 0;
  for (size_t photo = 1; photo < uses_.size(); ++photo)
    if (better(photo, best)) best = photo;
  std::vector<uint8_t> excluded(uses_.size());
  for (size_t photo = 0; photo < uses_.size(); ++photo) excluded[photo] = better(best, photo);
  return excluded;
}

void VarietyRules::Place(int tile, int column, int row) {
  const int photo = tiles_.Origin(tile).photo;
  ++uses_[static_cast<size_t>(photo)];
  if (minDistance_ > 0) photosAt_[static_cast<size_t>(column) * rows_ + row].push_back(photo);
}

}  // namespace tesselor
