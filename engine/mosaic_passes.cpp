#include "engine/mosaic_passes.h"

#include <algorithm>
#include <mutex>
#include <vector>

#include "engine/choose_tile.h"
#include "engine/ordered_parallel.h"
#include "engine/paint_tile.h"
#include "engine/settled_placements.h"
#include "engine/tile_index.h"
#include "engine/tile_use_record.h"
#include "engine/variety_rules.h"
#include "platform/message_pump.h"
#include "platform/random.h"

namespace tesselor {

namespace {

// One tile to place: where, and the draw its pick uses.
struct Placement {
  int x;
  int y;
  int draw;
};

// Choices may run this far ahead of the painting; each waits as a few bytes.
constexpr int kChoiceWindow = 1024;
// Under the variety rules every placement still open when a worker ranks a
// cell deepens its ranking, so workers stay close behind the placing thread.
constexpr int kRulesChoiceWindow = 16;

// Every placement of the build with the draws it gets when the build runs
// in sequence: one per grid cell (columns outer, rows inner), then for each
// random placement y, x and the pick.
std::vector<Placement> PlanPlacements(const MosaicGrid& grid, int outWidth, int outHeight,
                                      int tileSize, bool randomPlacement, RandomGenerator random) {
  std::vector<Placement> plan;
  plan.reserve(static_cast<size_t>(randomPlacement ? 2 * grid.Cells() : grid.Cells()));
  for (int i = 0; i < grid.columns; ++i)
    for (int j = 0; j < grid.rows; ++j) plan.push_back({i * tileSize, j * tileSize, random.Next()});
  if (!randomPlacement) return plan;
  for (int64_t k = 0; k < grid.Cells(); ++k) {
    const auto y = static_cast<int>(int64_t{random.Next()} * outHeight / kRandMax);
    const auto x = static_cast<int>(int64_t{random.Next()} * outWidth / kRandMax);
    plan.push_back({x, y, random.Next()});
  }
  return plan;
}

// What a worker finds for one placement: the final choice when neither the
// variety rules nor the Lab metric are on, else the best tiles by score
// alone, from which the consumer picks once it knows what was placed before.
struct CellRanking {
  PlacedTile placed;
  std::vector<Candidate> best;
  int ranked = 0;  // how many tiles were asked for; fewer in best means there are no more
};

// At most this many tiles are ranked beyond the reachable slots for the
// refusals a worker cannot know of yet; when the placing thread finds too few
// left it ranks again itself. The result does not depend on it, only the
// time does.
constexpr int kVarietyMargin = 32;

// The most tiles that share one photo (a tile and its mirror copy).
int MostTilesOfOnePhoto(const TileSet& tiles) {
  std::vector<int> count(static_cast<size_t>(tiles.PhotoCount()));
  int most = 0;
  for (int t = 0; t < tiles.Count(); ++t)
    most = std::max(most, ++count[static_cast<size_t>(tiles.Origin(t).photo)]);
  return most;
}

// PickCandidate over a list already cleared of refused tiles: positions
// reach only the listed scores, and an unlisted best stands in when none is.
TileChoice PickAmong(const std::vector<Candidate>& best, int tileCount, int randomization,
                     int draw) {
  const auto listed = static_cast<int64_t>(
      std::find_if(best.begin(), best.end(),
                   [](const Candidate& c) { return c.score >= kUnlistedScore; }) -
      best.begin());
  int64_t position = int64_t{randomization} * draw / kRandMax;
  if (position >= tileCount) position = tileCount - 1;
  const int64_t last = std::max<int64_t>(0, std::min<int64_t>(kCandidateSlots, listed) - 1);
  const Candidate& slot = best[static_cast<size_t>(std::clamp<int64_t>(position, 0, last))];
  return {slot.tile, slot.gains};
}

// Moves the program's generator on by the draws the build actually made, so
// a later build goes on with the same sequence as after a build in order.
void ConsumeDraws(int64_t draws) {
  for (int64_t k = 0; k < draws; ++k) ProgramRandom().Next();
}

}  // namespace

MosaicSize MosaicSizeFor(const CBmp& source, double magnification) {
  return {static_cast<int>(source.width * magnification),
          static_cast<int>(source.height * magnification)};
}

MosaicGrid GridFor(int outWidth, int outHeight, int tileSize) {
  return {outWidth / tileSize + 1, outHeight / tileSize + 1};
}

BuildOutcome ChoosePlacements(const CBmp& source, int mosaicHeight, const TileSet& tiles,
                              const BuildOptions& options, ProgressWindow& progress,
                              const std::function<void(const PlacedTile&)>& place,
                              TileUseRecord* record, int threads) {
  const int n = options.tileSize;
  const MosaicSize out = MosaicSizeFor(source, options.magnification);
  const int outWidth = out.width;
  const int outHeight = out.height;
  const MosaicGrid grid = GridFor(outWidth, outHeight, n);
  const int64_t cells = grid.Cells();

  progress.SetRange(0, options.randomPlacement ? 2 * cells : cells);
  progress.SetPos(0);
  progress.SetStatusText("Creating image mosaic ...");
  if (record) record->Start(tiles);

  // Choosing reads only the photograph and the tiles, so every placement is
  // ranked ahead on all cores; painting, progress and Abort stay in order.
  // Under the variety rules a choice also depends on the tiles placed
  // before it: workers leave out the photos they know the rules refuse and
  // rank past what a pick can reach by as many tiles as the placements still
  // open could refuse, and the consuming thread drops what the rules refuse
  // and draws from the rest, ranking again itself only when too few are
  // left. So the choices do not depend on how far ahead any worker got.
  const std::vector<Placement> plan =
      PlanPlacements(grid, outWidth, outHeight, n, options.randomPlacement, ProgramRandom());
  const VarietyOptions& variety = options.variety;
  const TileIndex index(tiles, options.accuracyStep, variety.metric);
  const int pickable = PickableSlots(tiles.Count(), options.randomization);
  const int tilesPerPhoto = variety.RulesOn() ? MostTilesOfOnePhoto(tiles) : 1;
  SettledPlacements settled(variety, grid.columns, grid.rows, tiles.PhotoCount());
  // How deep to rank placement k once the known refusals are left out:
  // every earlier placement still open may refuse one photo more.
  const auto depthFor = [&](int64_t open) {
    if (open < 0 || open * tilesPerPhoto > kVarietyMargin) return pickable + kVarietyMargin;
    return pickable + static_cast<int>(open) * tilesPerPhoto;
  };
  const auto isVisible = [&](const PlacedTile& p) { return p.x < outWidth && p.y < outHeight; };
  // seeds carries the best tiles of one placement to the next that the
  // same worker ranks.
  const auto rankPlacement = [&](int64_t k, std::vector<int>& seeds) {
    const Placement& p = plan[static_cast<size_t>(k)];
    CellBuffer cell;
    FillCellBuffer(source, mosaicHeight, p.x, p.y, n, cell);
    CellRanking result{{p.x, p.y, {}, cell.average}, {}};
    if (!variety.AnyOn()) {
      result.placed.choice = ChooseTileForCell(cell, index, tiles.Count(), options.colourAdjust,
                                               options.randomization, p.draw, &seeds);
    } else if (!isVisible(result.placed)) {
      result.placed.choice.tile = 0;  // paints nothing, so any tile does
    } else if (!variety.RulesOn()) {
      result.ranked = pickable;
      result.best = index.RankDeep(cell, options.colourAdjust, pickable, nullptr, &seeds);
    } else {
      std::vector<uint8_t> refused;
      const int64_t open = settled.KnownRefusals(k, p.x / n, p.y / n, refused);
      result.ranked = depthFor(open);
      result.best = index.RankDeep(cell, options.colourAdjust, result.ranked, &refused, &seeds);
    }
    return result;
  };
  // Without the rules, workers take a column's worth of placements at a time,
  // so that handing out work costs little beside the ranking. Under them
  // placements go one at a time, and the placing thread ranks the next one
  // itself instead of sleeping until a worker is done with it: that spares
  // a sleep and a wake-up per placement, and with the placing thread close
  // behind, fewer placements are still open and the rankings stay shallow.
  const bool oneByOne = variety.RulesOn();
  const int64_t batch = oneByOne ? 1 : grid.rows;
  const auto batches = static_cast<int64_t>((plan.size() + static_cast<size_t>(batch) - 1) /
                                            static_cast<size_t>(batch));
  // Seeds pass from one placement to the next within a batch; batches of
  // one placement take those of the placement ranked last, whichever thread
  // ranked it.
  std::mutex lastSeedsMutex;
  std::vector<int> lastSeeds;
  OrderedParallel<std::vector<CellRanking>> choices(
      batches,
      [&](int64_t b) {
        std::vector<CellRanking> rankings;
        const int64_t end = std::min(static_cast<int64_t>(plan.size()), (b + 1) * batch);
        rankings.reserve(static_cast<size_t>(end - b * batch));
        std::vector<int> seeds;
        if (oneByOne) {
          const std::lock_guard lock(lastSeedsMutex);
          seeds = lastSeeds;
        }
        for (int64_t k = b * batch; k < end; ++k) rankings.push_back(rankPlacement(k, seeds));
        if (oneByOne) {
          const std::lock_guard lock(lastSeedsMutex);
          lastSeeds = seeds;
        }
        return rankings;
      },
      oneByOne ? kRulesChoiceWindow : std::max<int>(2, static_cast<int>(kChoiceWindow / batch)),
      oneByOne ? threads - 1 : threads, oneByOne);

  VarietyRules rules(variety, tiles, grid.columns, grid.rows);
  // The choice for a placement from what the workers ranked, under the rules.
  const auto chooseUnderRules = [&](const PlacedTile& p, int draw, std::vector<Candidate> best,
                                    int ranked) {
    const int column = p.x / n;
    const int row = p.y / n;
    rules.Prepare(column, row);
    const bool complete = static_cast<int>(best.size()) < ranked;
    std::erase_if(best, [&](const Candidate& c) { return !rules.Allows(c.tile); });
    CellBuffer cell;
    if (best.size() < static_cast<size_t>(pickable) && !complete) {
      FillCellBuffer(source, mosaicHeight, p.x, p.y, n, cell);
      const std::vector<uint8_t> refused = rules.Exclusions();
      best = index.RankDeep(cell, options.colourAdjust, pickable, &refused);
    }
    if (best.empty()) {
      FillCellBuffer(source, mosaicHeight, p.x, p.y, n, cell);
      const std::vector<uint8_t> others = rules.AllButLeastBreaking();
      best = index.RankDeep(cell, options.colourAdjust, 1, &others);
      if (record) record->CountRuleBroken();
    }
    const TileChoice choice = PickAmong(best, tiles.Count(), options.randomization, draw);
    rules.Place(choice.tile, column, row);
    return choice;
  };

  MessagePump pump;
  int64_t next = 0;
  std::vector<CellRanking> taken;
  size_t takenNext = 0;
  const auto placeNext = [&] {
    if (takenNext == taken.size()) {
      taken = choices.TakeNext([] { PumpMessages(); });
      takenNext = 0;
    }
    CellRanking& ranking = taken[takenNext++];
    const int64_t k = next++;
    const int draw = plan[static_cast<size_t>(k)].draw;
    PlacedTile& placed = ranking.placed;
    int photo = -1;
    if (isVisible(placed)) {
      if (variety.RulesOn()) {
        placed.choice = chooseUnderRules(placed, draw, std::move(ranking.best), ranking.ranked);
        photo = tiles.Origin(placed.choice.tile).photo;
      } else if (variety.AnyOn())
        placed.choice = PickAmong(ranking.best, tiles.Count(), options.randomization, draw);
      if (record)
        record->Add(placed.x, placed.y, std::min(n, outWidth - placed.x),
                    std::min(n, outHeight - placed.y), placed.choice.tile);
    }
    if (variety.RulesOn()) settled.Settle(k, photo, photo >= 0 ? rules.Uses(photo) : 0);
    place(placed);
    pump.Tick();
  };
  BuildOutcome outcome = BuildOutcome::kCompleted;
  int64_t draws = 0;
  for (int64_t k = 0; k < cells; ++k) {
    progress.StepIt();
    if (progress.AbortRequested()) {
      outcome = k == 0 ? BuildOutcome::kAbortedBeforePainting : BuildOutcome::kAborted;
      break;
    }
    placeNext();
    draws += 1;  // the pick among the best tiles
  }
  // As many tiles again, anywhere over the mosaic; each may hang over the
  // right or bottom edge. The one at which Abort is seen is still placed.
  if (outcome == BuildOutcome::kCompleted && options.randomPlacement) {
    for (int64_t k = 0; k < cells; ++k) {
      progress.StepIt();
      const bool last = progress.AbortRequested();
      placeNext();
      draws += 3;  // y, x, then the pick among the best tiles
      if (last) {
        outcome = BuildOutcome::kAborted;
        break;
      }
    }
  }
  ConsumeDraws(draws);
  return outcome;
}

BuildOutcome PaintMosaic(const CBmp& source, CBmp& mosaic, const TileSet& tiles,
                         const BuildOptions& options, ProgressWindow& progress,
                         TileUseRecord* record, int threads) {
  const MosaicBand whole = WholeMosaic(mosaic);
  return ChoosePlacements(
      source, mosaic.height, tiles, options, progress,
      [&](const PlacedTile& placed) {
        PaintTile(source, whole, tiles, placed.choice.tile, placed.x, placed.y, options.tileSize,
                  placed.choice.gains, options.blendFraction);
      },
      record, threads);
}

}  // namespace tesselor
