// The wizard's step two: a regular grid of tiles, or tiles scattered at
// random over it.
#pragma once

#include <QWizardPage>
#include <memory>

#include "imagelib/draw_dib_bmp.h"

class QRadioButton;

namespace tesselor {

class CWizardPicture;

class CWizardPageThree : public QWizardPage {
 public:
  static constexpr unsigned kDialogId = 145;

  explicit CWizardPageThree(QWidget* parent = nullptr);

  // True when "Random pattern" is chosen.
  bool RandomPattern() const;
  const CBmp* ShownPicture() const;

 private:
  std::unique_ptr<CDrawDibBmp> gridPicture_;
  std::unique_ptr<CDrawDibBmp> randomPicture_;
  QRadioButton* grid_ = nullptr;
  QRadioButton* random_ = nullptr;
  CWizardPicture* frame_ = nullptr;
};

}  // namespace tesselor
