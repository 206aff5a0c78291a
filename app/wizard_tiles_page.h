// CWizardTilesPage, the wizard's last page and its step three: the tile size,
// with a sample mosaic at that size, and the tile library.
#pragma once

#include <array>
#include <memory>

#include "app/wizard_choice_page.h"
#include "imagelib/draw_dib_bmp.h"

class QComboBox;
class QLineEdit;

namespace tesselor {

class CWizardTilesPage : public CWizardChoicePage {
  Q_OBJECT

 public:
  explicit CWizardTilesPage(QWidget* parent = nullptr);

  // Position in the tile size list, 0 ("64 x 64") to 6 ("8 x 8").
  int TileSizePosition() const;

 private:
  void OnChangeLibrary();

  std::array<std::unique_ptr<CDrawDibBmp>, 7> pictures_;
  QComboBox* tileSize_ = nullptr;
  QLineEdit* library_ = nullptr;
};

}  // namespace tesselor
