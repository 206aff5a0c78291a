#include "app/new_library_dialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QVBoxLayout>

#include "library/tile_operations.h"

namespace tesselor {

CNewLibraryDlg::CNewLibraryDlg(QWidget* parent) : QDialog(parent), edit_(new QLineEdit) {
  setWindowTitle(QStringLiteral("Create a new tile library"));
  edit_->setObjectName(QStringLiteral("name"));
  edit_->setMinimumWidth(300);
  auto* prompt = new QLabel(QStringLiteral("Please input the name of the new tile library:"));
  prompt->setBuddy(edit_);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(prompt);
  layout->addWidget(edit_);
  layout->addWidget(buttons);
  setFixedSize(sizeHint());
}

void CNewLibraryDlg::accept() {
  name_ = edit_->text();
  QDialog::accept();
}

bool CreateNewLibraryFromDialog(QWidget* parent) {
  QPointer<CNewLibraryDlg> dialog = new CNewLibraryDlg(parent);
  const bool accepted = dialog->exec() == QDialog::Accepted;
  // The owner may have gone while the dialog ran, taking the dialog with it.
  if (!dialog) return false;
  const std::string name = dialog->Name().toStdString();
  delete dialog;
  return accepted && CreateNewLibrary(name);
}

}  // namespace tesselor
