#include "engine/mosaic_settings.h"

#include <algorithm>
#include <cmath>

namespace tesselor {

void MosaicSettings::ForgetTypedSize() {
  magnification = std::clamp(std::trunc(magnification), 1.0, double{kMaxWholeMagnification});
}

int MosaicSettings::AccuracyStepFor(int tileSize, int accuracyLevel) {
  static constexpr int kFactor[] = {1, 2, 4};
  const int level = accuracyLevel < 0 ? 0 : (accuracyLevel > 2 ? 2 : accuracyLevel);
  return tileSize / 8 * kFactor[level];
}

BuildOptions MosaicSettings::ToBuildOptions() const {
  BuildOptions options{tileSize,    accuracyStep, magnification, blendPercent * 0.01,
                       mirrorTiles, colourAdjust, randomization, randomPlacement};
  options.allTiles = allTiles;
  options.useTileCache = useTileCache;
  options.variety = variety;
  return options;
}

BuildOptions WizardBuildOptions(int tileSize, bool randomPlacement) {
  return BuildOptions{tileSize, tileSize / 8 * 2, 1.0, 0.12, true, 45, 30, randomPlacement};
}

}  // namespace tesselor
