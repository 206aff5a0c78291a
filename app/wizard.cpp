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

  welcome_ = new CWizardPageOne;
  stepOne_ = new CWizardPageTwo;
  stepTwo_ = new CWizardPageThree;
  stepThree_ = new CWizardPageFour;
  for (QWizardPage* page :
       {static_cast<QWizardPage*>(welcome_), static_cast<QWizardPage*>(stepOne_),
        static_cast<QWizardPage*>(stepTwo_), static_cast<QWizardPage*>(stepThree_)})
    addPage(page);

  welcome_->SetShowAtStart(start.showAtStart);
  stepOne_->SetImagePath(start.imagePath);

  // Every page has the one topic.
  connect(this, &QWizard::helpRequested, this, [] { ShowHelp(HelpTopic::kWizard); });
  InstallHelpKey(this, HelpTopic::kWizard);
}

WizardChoices CWizard::Choices() const {
  WizardChoices choices;
  choices.imagePath = stepOne_->ImagePath();
  choices.tileSizePosition = stepThree_->TileSizePosition();
  choices.randomPattern = stepTwo_->RandomPattern();
  choices.showAtStart = welcome_->ShowAtStart();
  return choices;
}

bool CWizard::Run(CTesselorDoc& doc, QWidget* parent) {
  return RunModal(new CWizard(doc.wizardChoices, parent),
                  [&doc](CWizard& wizard) { doc.wizardChoices = wizard.Choices(); });
}

}  // namespace tesselor
