#include "app/wizard_choice_page.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "app/wizard_picture.h"

namespace tesselor {

CWizardChoicePage::CWizardChoicePage(const QString& groupTitle, QWidget* parent)
    : QWizardPage(parent), frame_(new CWizardPicture(CWizardPicture::Fit::kWidth)) {
  auto* group = new QGroupBox(groupTitle);
  rows_ = new QVBoxLayout(group);
  rows_->addStretch(1);

  auto* layout = new QHBoxLayout(this);
  layout->addWidget(group, 1);
  layout->addWidget(frame_, 0, Qt::AlignTop);
}

const CBmp* CWizardChoicePage::ShownPicture() const {
  return frame_->Picture();
}

// Rows go in above the stretch, which stays last.
void CWizardChoicePage::AddRow(QWidget* row) {
  rows_->insertWidget(rows_->count() - 1, row);
}

void CWizardChoicePage::AddRow(QLayout* row) {
  rows_->insertLayout(rows_->count() - 1, row);
}

void CWizardChoicePage::ShowPicture(const CBmp* picture) {
  frame_->SetPicture(picture);
}

}  // namespace tesselor
