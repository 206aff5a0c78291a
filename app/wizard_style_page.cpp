#include "app/wizard_style_page.h"

#include <QLabel>
#include <QRadioButton>

#include "app/wizard_picture.h"

namespace tesselor {

CWizardStylePage::CWizardStylePage(QWidget* parent)
    : CWizardChoicePage(tr("Select a mosaic style"), parent),
      gridPicture_(LoadWizardPicture(kGridPictureId)),
      randomPicture_(LoadWizardPicture(kRandomPictureId)) {
  setTitle(tr("Step Two"));

  auto* grid = new QRadioButton(tr("Regular grid"));
  grid->setObjectName(QStringLiteral("regularGrid"));
  grid->setChecked(true);
  random_ = new QRadioButton(tr("Random pattern"));
  random_->setObjectName(QStringLiteral("randomPattern"));

  ShowPicture(gridPicture_.get());
  connect(grid, &QRadioButton::toggled, this, [this](bool on) {
    if (on) ShowPicture(gridPicture_.get());
  });
  connect(random_, &QRadioButton::toggled, this, [this](bool on) {
    if (on) ShowPicture(randomPicture_.get());
  });

  auto* intro = new QLabel(tr("Select the style of photomosaic you require:"));
  intro->setWordWrap(true);
  AddRow(intro);
  AddRow(grid);
  AddRow(random_);
}

bool CWizardStylePage::RandomPattern() const {
  return random_->isChecked();
}

}  // namespace tesselor
