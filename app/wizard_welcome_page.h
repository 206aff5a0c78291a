// CWizardWelcomePage, the wizard's welcome page: what the wizard does, and
// whether it opens at every start of the program.
#pragma once

#include <QWizardPage>
#include <memory>

#include "imagelib/draw_dib_bmp.h"

class QCheckBox;

namespace tesselor {

class CWizardWelcomePage : public QWizardPage {
  Q_OBJECT

 public:
  explicit CWizardWelcomePage(QWidget* parent = nullptr);

  // "Show Wizard at the start of each session".
  void SetShowAtStart(bool show);
  bool ShowAtStart() const;

 private:
  std::unique_ptr<CDrawDibBmp> picture_;
  QCheckBox* showAtStart_ = nullptr;
};

}  // namespace tesselor
