#include "app/wizard.h"

#include <QKeySequence>
#include <QShortcut>

#include "app/help_launcher.h"
#include "app/wizard_page_four.h"
#include "app/wizard_page_one.h"
#include "app/wizard_page_three.h"
#include "app/wizard_page_two.h"

namespace tesselor {

CWizard::CWizard(const WizardChoices& start, QWidget* parent) : QWizard(parent) {
  setWindowTitle(QStringLiteral("Wizard"));
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

  connect(this, &QWizard::helpRequested, this, &CWizard::ShowHelp);
  auto* f1 = new QShortcut(QKeySequence::HelpContents, this);
  connect(f1, &QShortcut::activated, this, &CWizard::ShowHelp);
}

WizardChoices CWizard::Choices() const {
  WizardChoices choices;
  choices.imagePath = stepOne_->ImagePath();
  choices.tileSizePosition = stepThree_->TileSizePosition();
  choices.randomPattern = stepTwo_->RandomPattern();
  choices.showAtStart = welcome_->ShowAtStart();
  return choices;
}

void CWizard::ShowHelp() {
  static constexpr unsigned kPageDialogIds[] = {
      CWizardPageOne::kDialogId, CWizardPageTwo::kDialogId, CWizardPageThree::kDialogId,
      CWizardPageFour::kDialogId};
  HelpLauncher* launcher = HelpLauncher::Instance();
  const int page = currentId();
  if (launcher && page >= 0 && page < 4) launcher->WinHelp(kHelpContextBase + kPageDialogIds[page]);
}

bool CWizard::Run(CTesselorDoc& doc, QWidget* parent) {
  CWizard wizard(doc.wizardChoices, parent);
  if (wizard.exec() != QDialog::Accepted) return false;
  doc.wizardChoices = wizard.Choices();
  return true;
}

}  // namespace tesselor
