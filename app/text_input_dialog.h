// A small modal dialog that asks for one line of text under a prompt: the
// rename base of the library manager, the name of a new library.
#pragma once

#include <QDialog>
#include <QString>

class QLineEdit;

namespace tesselor {

class CTextInputDlg : public QDialog {
  Q_OBJECT

 public:
  // The rename base's field takes no more than this many characters.
  static constexpr int kMaxLength = 50;

  // A maxLength of 0 sets no limit.
  CTextInputDlg(const QString& caption, const QString& prompt, int maxLength,
                QWidget* parent = nullptr);

  // The text as typed, once the dialog was accepted (empty before).
  const QString& Text() const { return text_; }
  QLineEdit* Edit() const { return edit_; }

  void accept() override;

 private:
  QLineEdit* edit_;
  QString text_;
};

}  // namespace tesselor
