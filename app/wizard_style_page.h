// CWizardStylePage, the wizard's step two: a regular grid of tiles, or tiles
// scattered at random over it.
#pragma once

#include <memory>

#include "app/wizard_choice_page.h"
#include "imagelib/draw_dib_bmp.h"

class QRadioButton;

namespace tesselor {

class CWizardStylePage : public CWizardChoicePage {
  Q_OBJECT

 public:
  explicit CWizardStylePage(QWidget* parent = nullptr);

  // True when "Random pattern" is chosen.
  bool RandomPattern() const;

 private:
  std::unique_ptr<CDrawDibBmp> gridPicture_;
  std::unique_ptr<CDrawDibBmp> randomPicture_;
  QRadioButton* random_ = nullptr;
};

}  // namespace tesselor
