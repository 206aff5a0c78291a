// The best-scoring tiles of one cell, and the draw that picks one of them.
#pragma once

#include <array>
#include <limits>

#include "engine/colour_gains.h"

namespace tesselor {

constexpr int kCandidateSlots = 50;
// The score of an empty slot; a tile must score below it to be listed.
constexpr double kUnlistedScore = 1000.0;

struct Candidate {
  double score = kUnlistedScore;
  int tile = -1;  // -1: empty slot
  ColourGains gains;
};

// The best-scoring tiles of one cell, best first. Equal scores keep table
// order, whatever order the tiles are inserted in. It also remembers the
// single best tile whatever its score, for cells that no tile matches well
// enough to be listed.
class CandidateList {
 public:
  void Insert(double score, int tile, const ColourGains& gains);

  const Candidate& Slot(int position) const { return slots_[static_cast<size_t>(position)]; }
  const Candidate& BestOverall() const { return bestOverall_; }

 private:
  std::array<Candidate, kCandidateSlots> slots_{};
  Candidate bestOverall_{std::numeric_limits<double>::infinity(), -1, {}};
};

struct TileChoice {
  int tile = -1;
  ColourGains gains;
};

// The listed tile a draw (0 to 32767) takes: position randomization x draw /
// 32767, kept within the tiles and the list; a position past the listed
// tiles takes the last one listed.
TileChoice PickCandidate(const CandidateList& list, int tileCount, int randomization, int draw);

// How many candidate slots a pick can reach: the draw lands on positions 0
// to randomization, and never past the tiles or the list.
int PickableSlots(int tileCount, int randomization);

}  // namespace tesselor
