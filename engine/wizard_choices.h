// The choices the wizard and the document hand each other.
#pragma once

#include <string>

namespace tesselor {

// What the wizard and the document hand each other: the document fills it in
// before the wizard runs, the wizard leaves its choices in it on Finish.
struct WizardChoices {
  std::string imagePath;
  int tileSizePosition = 3;    // in kTileSizeChoices; "24 x 24" to start with
  bool randomPattern = false;  // the random placement style rather than the grid
  bool showAtStart = true;     // "Show Wizard at the start of each session"
};

}  // namespace tesselor
