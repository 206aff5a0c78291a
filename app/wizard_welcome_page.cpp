#include "app/wizard_welcome_page.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>
#include <QWizard>

#include "app/wizard_picture.h"

namespace tesselor {

CWizardWelcomePage::CWizardWelcomePage(QWidget* parent)
    : QWizardPage(parent), picture_(LoadWizardPicture(kWelcomePictureId)) {
  setTitle(tr("Photomosaic Wizard"));
  // Leaving this page commits it, which is what keeps step one from coming
  // back here; the button still reads as an ordinary Next.
  setCommitPage(true);
  setButtonText(QWizard::CommitButton, tr("&Next >"));

  auto* frame = new CWizardPicture(CWizardPicture::Fit::kWidth);
  frame->SetPicture(picture_.get());

  auto* welcome = new QLabel(tr("Welcome to the photomosaic Wizard."));
  QFont bold = welcome->font();
  bold.setBold(true);
  welcome->setFont(bold);
  auto* guide = new QLabel(
      tr("This dialog will guide you through the steps of creating your own photomosaic."));
  auto* access = new QLabel(
      tr("You can access this Wizard at any time from the button on the toolbar. Alternatively you "
         "can access more complex mosaic creation controls from the 'Create mosaic' menu option."));
  for (QLabel* label : {welcome, guide, access}) label->setWordWrap(true);
  showAtStart_ = new QCheckBox(tr("Show Wizard at the start of each session"));
  showAtStart_->setObjectName(QStringLiteral("showAtStart"));
  showAtStart_->setChecked(true);

  auto* text = new QVBoxLayout;
  text->addWidget(welcome);
  text->addWidget(guide);
  text->addWidget(access);
  text->addStretch(1);
  text->addWidget(showAtStart_);
  auto* layout = new QHBoxLayout(this);
  layout->addWidget(frame, 0, Qt::AlignTop);
  layout->addLayout(text, 1);
}

void CWizardWelcomePage::SetShowAtStart(bool show) {
  showAtStart_->setChecked(show);
}

bool CWizardWelcomePage::ShowAtStart() const {
  return showAtStart_->isChecked();
}

}  // namespace tesselor
