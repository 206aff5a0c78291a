// The photomosaic wizard: four pages that lead from a photograph to a mosaic
// built with the wizard's own fixed options.
#pragma once

#include <QWizard>

#include "engine/tesselor_doc.h"

namespace tesselor {

class CWizardPageOne;
class CWizardPageTwo;
class CWizardPageThree;
class CWizardPageFour;

class CWizard : public QWizard {
  Q_OBJECT

 public:
  // start gives the photograph already open and the "Wizard" setting; every
  // other choice starts from the wizard's defaults.
  explicit CWizard(const WizardChoices& start, QWidget* parent = nullptr);

  // What the user chose, for the document to build from after Finish.
  WizardChoices Choices() const;

  CWizardPageOne* Welcome() const { return welcome_; }
  CWizardPageTwo* StepOne() const { return stepOne_; }
  CWizardPageThree* StepTwo() const { return stepTwo_; }
  CWizardPageFour* StepThree() const { return stepThree_; }

  // Runs the wizard over parent with the document's choices, and leaves the
  // user's in them on Finish; true for Finish.
  static bool Run(CTesselorDoc& doc, QWidget* parent);

 private:
  CWizardPageOne* welcome_ = nullptr;
  CWizardPageTwo* stepOne_ = nullptr;
  CWizardPageThree* stepTwo_ = nullptr;
  CWizardPageFour* stepThree_ = nullptr;
};

}  // namespace tesselor
