// CWizardPageThree, the wizard's third page and its step two: a regular grid
// of tiles, or tiles scattered at random over it.
#pragma once

#include <QWizardPage>
#include <memory>

#include "imagelib/draw_dib_bmp.h"

class QRadioButton;

namespace tesselor {

class CWizardPicture;

class CWizardPageThree : public QWizardPage {
  Q_OBJECT

 public:
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
