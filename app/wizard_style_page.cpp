#include "app/wizard_style_page.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>
#include <QVBoxLayout>

#include "app/wizard_picture.h"

namespace tesselor {

CWizardPageThree::CWizardPageThree(QWidget* parent)
    : QWizardPage(parent),
      gridPicture_(LoadWizardPicture(kGridPictureId)),
      randomPicture_(LoadWizardPicture(kRandomPictureId)) {
  setTitle(tr("Step Two"));

  grid_ = new QRadioButton(tr("Regular grid"));
  grid_->setObjectName(QStringLiteral("regularGrid"));
  grid_->setChecked(true);
  random_ = new QRadioButton(tr("Random pattern"));
  random_->setObjectName(QStringLiteral("randomPattern"));

  frame_ = new CWizardPicture(CWizardPicture::Fit::kWidth);
  frame_->SetPicture(gridPicture_.get());
  connect(grid_, &QRadioButton::toggled, this, [this](bool on) {
    if (on) frame_->SetPicture(gridPicture_.get());
  });
  connect(random_, &QRadioButton::toggled, this, [this](bool on) {
    if (on) frame_->SetPicture(randomPicture_.get());
  });

  auto* group = new QGroupBox(tr("Select a mosaic style"));
  auto* intro = new QLabel(tr("Select the style of photomosaic you require:"));
  intro->setWordWrap(true);
  auto* inGroup = new QVBoxLayout(group);
  inGroup->addWidget(intro);
  inGroup->addWidget(grid_);
  inGroup->addWidget(random_);
  inGroup->addStretch(1);

  auto* layout = new QHBoxLayout(this);
  layout->addWidget(group, 1);
  layout->addWidget(frame_, 0, Qt::AlignTop);
}

bool CWizardPageThree::RandomPattern() const {
  return random_->isChecked();
}

const CBmp* CWizardPageThree::ShownPicture() const {
  return frame_->Picture();
}

}  // namespace tesselor
