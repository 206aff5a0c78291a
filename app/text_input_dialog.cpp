#include "app/text_input_dialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace tesselor {

CTextInputDlg::CTextInputDlg(const QString& caption, const QString& prompt, QWidget* parent)
    : QDialog(parent), prompt_(new QLabel(prompt)), edit_(new QLineEdit) {
  setWindowTitle(caption);
  prompt_->setObjectName(QStringLiteral("prompt"));
  edit_->setObjectName(QStringLiteral("text"));
  edit_->setMaxLength(kMaxLength);
  edit_->setMinimumWidth(260);
  prompt_->setBuddy(edit_);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(prompt_);
  layout->addWidget(edit_);
  layout->addWidget(buttons);
  setFixedSize(sizeHint());
}

void CTextInputDlg::accept() {
  text_ = edit_->text();
  QDialog::accept();
}

}  // namespace tesselor
