// The About box: program icon, version line and a link to the program's
// guide.
#pragma once

#include <QDialog>

namespace tesselor {

class CHyperLink;

class CAboutDlg : public QDialog {
  Q_OBJECT

 public:
  static constexpr const char* kVersionText = "Tesselor Version 2.00b";

  explicit CAboutDlg(QWidget* parent = nullptr);

  CHyperLink* Link() const { return link_; }

 private:
  CHyperLink* link_;
};

}  // namespace tesselor
