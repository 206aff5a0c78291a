// CWizardChoicePage, the layout the wizard's style and tile pages share: the
// page's choices in a titled group, and beside them a picture of the mosaic
// they make, which follows the choice.
#pragma once

#include <QWizardPage>

#include "imagelib/bmp.h"

class QLayout;
class QVBoxLayout;

namespace tesselor {

class CWizardPicture;

class CWizardChoicePage : public QWizardPage {
  Q_OBJECT

 public:
  const CBmp* ShownPicture() const;

 protected:
  CWizardChoicePage(const QString& groupTitle, QWidget* parent);

  // Each row goes below the ones before, all of them at the top of the group.
  void AddRow(QWidget* row);
  void AddRow(QLayout* row);
  // The picture is owned by the page; null leaves the frame empty.
  void ShowPicture(const CBmp* picture);

 private:
  QVBoxLayout* rows_ = nullptr;
  CWizardPicture* frame_ = nullptr;
};

}  // namespace tesselor
