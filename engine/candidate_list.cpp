#include "engine/candidate_list.h"

#include <algorithm>
#include <cstdint>

#include "platform/random.h"

namespace tesselor {

namespace {
// Lower scores first; among equal scores the tile earlier in the table. Tiles
// inserted in table order therefore queue behind equal scores already listed.
bool Precedes(double score, int tile, const Candidate& other) {
  return score < other.score || (score == other.score && other.tile >= 0 && tile < other.tile);
}
}  // namespace

void CandidateList::Insert(double score, int tile, const ColourGains& gains) {
  if (Precedes(score, tile, bestOverall_)) bestOverall_ = {score, tile, gains};
  for (size_t slot = 0; slot < slots_.size(); ++slot) {
    if (Precedes(score, tile, slots_[slot])) {
      std::move_backward(slots_.begin() + static_cast<std::ptrdiff_t>(slot), slots_.end() - 1,
                         slots_.end());
      slots_[slot] = {score, tile, gains};
      return;
    }
  }
}

TileChoice PickCandidate(const CandidateList& list, int tileCount, int randomization, int draw) {
  int64_t position = int64_t{randomization} * draw / kRandMax;
  if (position >= tileCount) position = tileCount - 1;
  // A randomization larger than the list still stays inside it, and an empty
  // slot is never handed out (it names no tile).
  position = std::clamp<int64_t>(position, 0, kCandidateSlots - 1);
  for (; position >= 0; --position) {
    const Candidate& slot = list.Slot(static_cast<int>(position));
    if (slot.tile >= 0) return {slot.tile, slot.gains};
  }
  return {list.BestOverall().tile, list.BestOverall().gains};
}

int PickableSlots(int tileCount, int randomization) {
  return std::clamp(std::min(randomization, tileCount - 1), 0, kCandidateSlots - 1) + 1;
}

}  // namespace tesselor
