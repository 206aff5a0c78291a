#include "app/wizard.h"

#include "app/help_launcher.h"
#include "app/run_modal.h"
#include "app/wizard_photo_page.h"
#include "app/wizard_style_page.h"
#include "app/wizard_tiles_page.h"
#include "app/wizard_welcome_page.h"

namespace tesselor {

CWizard::CWizard(const WizardChoices& start, QWidget* parent) : QWizard(parent) {
  setWindowTitle(tr("Wizard"));
  setWizardStyle(QWizard::ClassicStyle);
  setOption(QWizard::HaveHelpButton);
  setButtonLayout({QWizard::Stretch, QWizard::BackButton, QWizard::NextButton,
                   QWizard::CommitButton, QWizard::FinishButton, QWizard::CancelButton,
                   QWizard::HelpButton});

  addPage(welcomePage_ = new CWizardWelcomePage);
  addPage(photoPage_ = new CWizardPhotoPage);
  addPage(stylePage_ = new CWizardStylePage);
  addPage(tilesPage_ = new CWizardTilesPage);

  welcomePage_->SetShowAtStart(start.showAtStart);
  photoPage_->SetImagePath(start.imagePath);

  // Every page has the one topic.
  connect(this, &QWizard::helpRequested, this, [] { ShowHelp(HelpTopic::kWizard); });
  InstallHelpKey(this, HelpTopic::kWizard);
}

WizardChoices CWizard::Choices() const {
  WizardChoices choices;
  choices.imagePath = photoPage_->ImagePath();
  choices.tileSizePosition = tilesPage_->TileSizePosition();
  choices.randomPattern = stylePage_->RandomPattern();
  choices.showAtStart = welcomePage_->ShowAtStart();
  return choices;
}

bool CWizard::Run(CTesselorDoc& doc, QWidget* parent) {
  return RunModal(new CWizard(doc.wizardChoices, parent),
                  [&doc](CWizard& wizard) { doc.wizardChoices = wizard.Choices(); });
}

}  // namespace tesselor
