#include "engine/tile_use_record.h"

#include <algorithm>

#include "platform/atomic_file.h"
#include "platform/file_error.h"

namespace tesselor {

namespace {

// A name with a comma, quote or line break goes in quotes, its quotes
// doubled, so a spreadsheet reads it as one field.
std::string CsvField(const std::string& text) {
  if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
  std::string quoted = "\"";
  for (const char c : text) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  return quoted + "\"";
}

}  // namespace

void TileUseRecord::Start(const TileSet& tiles) {
  rows_.clear();
  rulesBroken_ = 0;
  photoNames_.assign(static_cast<size_t>(tiles.PhotoCount()), std::string());
  usesOfPhoto_.assign(photoNames_.size(), 0);
  for (int t = 0; t < tiles.Count(); ++t)
    photoNames_[static_cast<size_t>(tiles.Origin(t).photo)] = tiles.Origin(t).fileName;
  tiles_ = &tiles;
}

void TileUseRecord::Add(int x, int y, int width, int height, int tile) {
  const TileOrigin& origin = tiles_->Origin(tile);
  ++usesOfPhoto_[static_cast<size_t>(origin.photo)];
  if (keepRows_) rows_.push_back({x, y, width, height, origin.photo, origin.mirrored});
}

TileUseRecord::Summary TileUseRecord::Summarise() const {
  Summary summary;
  for (size_t photo = 0; photo < usesOfPhoto_.size(); ++photo) {
    const int uses = usesOfPhoto_[photo];
    if (uses == 0) continue;
    ++summary.distinctPhotos;
    if (uses > summary.mostUsedCount) {
      summary.mostUsedCount = uses;
      summary.mostUsedPhoto = static_cast<int>(photo);
    }
  }
  return summary;
}

std::string TileUseRecord::SummaryLine() const {
  const Summary summary = Summarise();
  if (summary.mostUsedPhoto < 0) return {};
  return std::to_string(summary.distinctPhotos) + " distinct photos used; the most used, " +
         PhotoName(summary.mostUsedPhoto) + ", " + std::to_string(summary.mostUsedCount) + " times";
}

std::string TileUseRecord::RulesBrokenLine() const {
  if (rulesBroken_ == 0) return {};
  return std::to_string(rulesBroken_) +
         " cells had to break the minimum distance or the repetition limit";
}

std::string TileUseRecord::Csv() const {
  std::string text = "x,y,width,height,tile,mirrored\n";
  for (const Row& row : rows_)
    text += std::to_string(row.x) + ',' + std::to_string(row.y) + ',' + std::to_string(row.width) +
            ',' + std::to_string(row.height) + ',' + CsvField(PhotoName(row.photo)) + ',' +
            (row.mirrored ? "1" : "0") + '\n';
  return text;
}

void TileUseRecord::Save(const std::string& path) const {
  const std::string text = Csv();
  AtomicFile file;
  if (!file.Open(path) || !file.Write(text.data(), text.size()) || !file.Commit())
    throw FileError(path, ErrnoText());
}

}  // namespace tesselor
