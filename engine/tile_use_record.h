// The record of a build: every tile placed, in paint order, with the photo
// it came from, and what the variety rules could not keep. It outlives the
// tile set, so it keeps the tiles' names itself.
#pragma once

#include <string>
#include <vector>

#include "engine/tile_set.h"

namespace tesselor {

class TileUseRecord {
 public:
  struct Row {
    int x, y, width, height;  // the painted part of the mosaic
    int photo;
    bool mirrored;
  };

  // Whether Rows() keeps every placement (it does unless told otherwise). A
  // poster has millions of them; the summary needs none.
  void KeepRows(bool keep) { keepRows_ = keep; }
  // Forgets earlier rows and takes the photos' names from tiles.
  void Start(const TileSet& tiles);
  void Add(int x, int y, int width, int height, int tile);
  void CountRuleBroken() { ++rulesBroken_; }

  const std::vector<Row>& Rows() const { return rows_; }
  const std::string& PhotoName(int photo) const { return photoNames_[static_cast<size_t>(photo)]; }
  // Cells where no tile kept the minimum distance and the repetition limit.
  int RulesBroken() const { return rulesBroken_; }

  struct Summary {
    int distinctPhotos = 0;
    int mostUsedPhoto = -1;  // -1 when nothing was placed
    int mostUsedCount = 0;
  };
  Summary Summarise() const;
  // "N distinct photos used; the most used, NAME, K times", or empty when
  // nothing was placed: what every front end says at the end of a build.
  std::string SummaryLine() const;
  // "N cells had to break the minimum distance or the repetition limit", or
  // empty when every cell kept them.
  std::string RulesBrokenLine() const;

  // The header x,y,width,height,tile,mirrored and one line per row.
  std::string Csv() const;
  // Writes Csv() to path through a temporary file; throws FileError.
  void Save(const std::string& path) const;

 private:
  const TileSet* tiles_ = nullptr;
  std::vector<std::string> photoNames_;
  std::vector<Row> rows_;
  bool keepRows_ = true;
  std::vector<int> usesOfPhoto_;
  int rulesBroken_ = 0;
};

}  // namespace tesselor
