// The dialog that asks for the name of a new tile library, and the command
// that makes the library from it.
#pragma once

#include <QDialog>
#include <QString>

class QLineEdit;

namespace tesselor {

class CNewLibraryDlg : public QDialog {
 public:
  explicit CNewLibraryDlg(QWidget* parent = nullptr);

  // The name as typed, once the dialog was accepted (empty before).
  const QString& Name() const { return name_; }
  QLineEdit* Edit() const { return edit_; }

  void accept() override;

 private:
  QLineEdit* edit_;
  QString name_;
};

// Asks for a name and makes that library, which becomes the current one.
// False when the dialog was cancelled or the folder could not be made (the
// user has been told).
bool CreateNewLibraryFromDialog(QWidget* parent);

}  // namespace tesselor
