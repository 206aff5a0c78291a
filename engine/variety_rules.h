// The minimum distance between equal photos and the repetition limit, kept
// as tiles are placed one after another. Cells are counted in grid
// positions (a placement's column and row are its x and y over the tile
// size); a tile and its mirror copy are the same photo.
#pragma once

#include <cstdint>
#include <vector>

#include "engine/mosaic_settings.h"
#include "engine/tile_set.h"

namespace tesselor {

class VarietyRules {
 public:
  VarietyRules(const VarietyOptions& options, const TileSet& tiles, int columns, int rows);

  // Sets up the checks for the next placement, at cell (column, row).
  void Prepare(int column, int row);
  // Whether placing tile at the prepared cell keeps both rules.
  bool Allows(int tile) const;
  // One byte per photo, set for the photos Allows refuses.
  std::vector<uint8_t> Exclusions() const;
  // One byte per photo, set for all but the photos that break the rules
  // least at the prepared cell: the farthest earlier use, then the fewest
  // uses.
  std::vector<uint8_t> AllButLeastBreaking() const;

  void Place(int tile, int column, int row);
  // How often photo has been placed.
  int Uses(int photo) const { return uses_[static_cast<size_t>(photo)]; }

 private:
  // Calls visit(photo, distance) for every photo placed within the minimum
  // distance of the prepared cell.
  template <class Visit>
  void ForEachNearbyPhoto(Visit visit) const;
  bool AllowsPhoto(size_t photo) const;

  const TileSet& tiles_;
  int minDistance_;
  int maxUses_;
  int columns_;
  int rows_;
  std::vector<std::vector<int>> photosAt_;  // by cell: the photos placed there
  std::vector<int> uses_;                   // by photo
  std::vector<int64_t> nearbyStamp_;        // by photo: the placement it is near
  int64_t placement_ = 0;
  int column_ = 0;
  int row_ = 0;
};

}  // namespace tesselor
