// The options a mosaic is built from, with their defaults and choice lists.
#pragma once

#include <array>

namespace tesselor {

// How a tile's colours are compared with the photograph's.
enum class ColourMetric {
  kRgb,  // summed absolute differences of red, green and blue
  kLab,  // Delta-E 1976 distances in CIELAB, closer to what the eye sees
};

// Each placement looks at every cell within the minimum distance, so the
// distance stays within what a build can afford.
inline constexpr int kMaxMinDistance = 50;

// The magnification spinner's range is the whole numbers 1 to this; a typed
// mosaic size may give any magnification from 1 up.
inline constexpr int kMaxWholeMagnification = 6;

// The variety rules and the metric; every default leaves them off, so a
// build gives the mosaic it always gave.
struct VarietyOptions {
  int minDistance = 0;  // no photo twice within this many cells of itself; 0: off
  int maxUses = 0;      // no photo placed more often than this; 0: off
  ColourMetric metric = ColourMetric::kRgb;

  bool RulesOn() const { return minDistance > 0 || maxUses > 0; }
  bool AnyOn() const { return RulesOn() || metric != ColourMetric::kRgb; }
};

// The eight values a build takes, in the order the build takes them, then
// the choices added since, whose defaults build as the eight alone do.
struct BuildOptions {
  int tileSize = 32;             // edge of a cell and of every tile in it, in mosaic pixels
  int accuracyStep = 8;          // tiles are compared on every accuracyStep-th column and row
  double magnification = 1.0;    // mosaic size over photograph size
  double blendFraction = 0.0;    // share of the photograph mixed into each painted tile
  bool mirrorTiles = true;       // a left-right mirror of every tile joins the set
  int colourAdjust = 20;         // percent a tile's colours may be pulled toward its cell
  int randomization = 5;         // how many of a cell's best tiles the draw may pick from
  bool randomPlacement = false;  // after the grid, as many tiles again at random places
  // Every tile of the library takes part, not only the first kTileSetCapacity.
  bool allTiles = false;
  // Reduced tiles come from, and go to, the cache under Paths().tileCacheDirectory;
  // off, every tile file is decoded and nothing is kept.
  bool useTileCache = true;
  // How far apart and how often a photo may recur, and how colours compare.
  VarietyOptions variety{};
};

struct MosaicSettings {
  int tileSize = 32;
  int accuracyLevel = 1;  // 0 High, 1 Medium, 2 Low
  int accuracyStep = 8;
  int randomization = 5;
  int colourAdjust = 20;
  int blendPercent = 0;
  double magnification = 1.0;
  bool mirrorTiles = true;
  bool randomPlacement = false;
  bool allTiles = false;
  bool useTileCache = true;
  VarietyOptions variety{};
  int sourceWidth = 0;
  int sourceHeight = 0;

  // A size typed for one photograph means nothing for the next: the
  // magnification goes back to a whole number the spinner can show.
  void ForgetTypedSize();

  // accuracyStep from tileSize and accuracyLevel.
  void UpdateAccuracyStep() { accuracyStep = AccuracyStepFor(tileSize, accuracyLevel); }

  BuildOptions ToBuildOptions() const;

  static int AccuracyStepFor(int tileSize, int accuracyLevel);
};

// The drop-down lists, by position.
inline constexpr std::array<int, 7> kTileSizeChoices = {64, 48, 32, 24, 16, 12, 8};
inline constexpr std::array<const char*, 7> kTileSizeTexts = {
    "64 x 64", "48 x 48", "32 x 32", "24 x 24", "16 x 16", "12 x 12", "8 x 8"};
inline constexpr std::array<const char*, 3> kAccuracyTexts = {"High", "Medium", "Low"};
inline constexpr std::array<int, 4> kRandomizationChoices = {1, 5, 10, 20};
inline constexpr std::array<const char*, 4> kRandomizationTexts = {"None", "Low", "Medium", "High"};

// What the wizard builds with: its own fixed values around the chosen tile
// size and style; MosaicSettings stays untouched.
BuildOptions WizardBuildOptions(int tileSize, bool randomPlacement);

}  // namespace tesselor
