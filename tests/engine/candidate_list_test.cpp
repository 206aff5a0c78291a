#include "engine/candidate_list.h"

#include <gtest/gtest.h>

namespace tesselor {
namespace {

TEST(CandidateList, KeepsTheBestFiftyAndEqualScoresInTableOrder) {
  CandidateList list;
  list.Insert(50.0, 0, {});
  list.Insert(20.0, 1, {});
  list.Insert(50.0, 2, {});
  list.Insert(1000.0, 3, {});  // never listed
  EXPECT_EQ(list.Slot(0).tile, 1);
  EXPECT_EQ(list.Slot(1).tile, 0);
  EXPECT_EQ(list.Slot(2).tile, 2);
  EXPECT_EQ(list.Slot(3).tile, -1);
  for (int t = 4; t < 60; ++t) list.Insert(10.0, t, {});
  EXPECT_EQ(list.Slot(0).tile, 4);
  EXPECT_EQ(list.Slot(kCandidateSlots - 1).tile, 53);
}

TEST(PickCandidate, MapsTheDrawOntoListedTilesOnly) {
  CandidateList list;
  for (int t = 0; t < 40; ++t) list.Insert(t, t, {});
  EXPECT_EQ(PickCandidate(list, 40, 1, 32766).tile, 0);
  EXPECT_EQ(PickCandidate(list, 40, 1, 32767).tile, 1);
  EXPECT_EQ(PickCandidate(list, 40, 30, 32767).tile, 30);
  EXPECT_EQ(PickCandidate(list, 40, 200, 32767).tile, 39);  // held to the list
  // Three tiles and randomization 20: from draw 3277 up the last one is taken.
  EXPECT_EQ(PickCandidate(list, 3, 20, 3276).tile, 1);
  EXPECT_EQ(PickCandidate(list, 3, 20, 3277).tile, 2);

  // A position past the listed tiles takes the last listed; with none listed,
  // the best tile scored.
  CandidateList sparse;
  ColourGains gains;
  gains.channel = {0.9, 1.0, 1.1};
  sparse.Insert(1400.0, 0, {});
  sparse.Insert(1100.0, 1, gains);
  EXPECT_EQ(PickCandidate(sparse, 2, 5, 0).tile, 1);
  EXPECT_EQ(PickCandidate(sparse, 2, 5, 0).gains.channel, gains.channel);
  sparse.Insert(5.0, 2, gains);
  EXPECT_EQ(PickCandidate(sparse, 3, 20, 32767).tile, 2);
}

}  // namespace
}  // namespace tesselor
