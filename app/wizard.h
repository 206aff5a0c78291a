// The photomosaic wizard: four pages that lead from a photograph to a mosaic
// built with the wizard's own fixed options.
#pragma once

#include <QWizard>

#include "engine/tesselor_doc.h"

namespace tesselor {

class CWizardWelcomePage;
class CWizardPhotoPage;
class CWizardStylePage;
class CWizardTilesPage;

class CWizard : public QWizard {
  Q_OBJECT

 public:
  // start gives the photograph already open and the "Wizard" setting; every
  // other choice starts from the wizard's defaults.
  explicit CWizard(const WizardChoices& start, QWidget* parent = nullptr);

  // What the user chose, for the document to build from after Finish.
  WizardChoices Choices() const;

  CWizardWelcomePage* WelcomePage() const { return welcomePage_; }
  CWizardPhotoPage* PhotoPage() const { return photoPage_; }
  CWizardStylePage* StylePage() const { return stylePage_; }
  CWizardTilesPage* TilesPage() const { return tilesPage_; }

  // Runs the wizard over parent with the document's choices, and leaves the
  // user's in them on Finish; true for Finish.
  static bool Run(CTesselorDoc& doc, QWidget* parent);

 private:
  CWizardWelcomePage* welcomePage_ = nullptr;
  CWizardPhotoPage* photoPage_ = nullptr;
  CWizardStylePage* stylePage_ = nullptr;
  CWizardTilesPage* tilesPage_ = nullptr;
};

}  // namespace tesselor
