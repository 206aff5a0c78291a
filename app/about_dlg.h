// The About box: program icon, version line and a link to the program's
// guide.
#pragma once

#include <QDialog>

namespace tesselor {

class CAboutDlg : public QDialog {
  Q_OBJECT

 public:
  explicit CAboutDlg(QWidget* parent = nullptr);
};

}  // namespace tesselor
