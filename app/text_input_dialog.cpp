#include "app/text_input_dialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace tesselor {

CTextInputDlg::CTextInputDlg(const QString& caption, const QString& prompt, int maxLength,
                             QWidget* parent)
    : QDialog(parent), edit_(new QLineEdit) {
  setWindowTitle(caption);
  auto* promptLabel = new QLabel(prompt);
  promptLabel->setObjectName(QStringLiteral("prompt"));
  promptLabel->setBuddy(edit_);
  edit_->setObjectName(QStringLiteral("text"));
  if (maxLength > 0) edit_->setMaxLength(maxLength);
  edit_->setMinimumWidth(300);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(promptLabel);
  layout->addWidget(edit_);
  layout->addWidget(buttons);
  setFixedSize(sizeHint());
}

void CTextInputDlg::accept() {
  text_ = edit_->text();
  QDialog::accept();
}

}  // namespace tesselor
