// A small modal dialog that asks for one line of text under a prompt; the
// library manager asks for the rename base with it.
#pragma once

#include <QDialog>
#include <QString>

class QLabel;
class QLineEdit;

namespace tesselor {

class CTextInputDlg : public QDialog {
 public:
  // The edit field takes no more than this many characters.
  static constexpr int kMaxLength = 50;

  CTextInputDlg(const QString& caption, const QString& prompt, QWidget* parent = nullptr);

  // The text as typed, once the dialog was accepted (empty before).
  const QString& Text() const { return text_; }
  QLineEdit* Edit() const { return edit_; }

  void accept() override;

 private:
  QLabel* prompt_;
  QLineEdit* edit_;
  QString text_;
};

}  // namespace tesselor
