#include "app/montage_progress_dlg.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <limits>

namespace tesselor {

namespace {

// The bar counts in int; the engine's totals never come near its limit, but
// an absurd one must not wrap around.
int ClampToInt(int64_t value) {
  if (value > std::numeric_limits<int>::max()) return std::numeric_limits<int>::max();
  if (value < std::numeric_limits<int>::min()) return std::numeric_limits<int>::min();
  return static_cast<int>(value);
}

}  // namespace

CMontageProgressDlg::CMontageProgressDlg(QWidget* owner)
    : QDialog(owner),
      statusLine_(new QLabel(tr("Montage progress"))),
      progressBar_(new QProgressBar),
      abortButton_(new QPushButton(tr("Abort"))) {
  setWindowTitle(tr("Tesselor"));
  setModal(false);
  progressBar_->setTextVisible(false);
  progressBar_->setRange(0, 100);
  progressBar_->setValue(0);
  // Not a default button, so Enter does not press it.
  abortButton_->setAutoDefault(false);
  abortButton_->setDefault(false);
  connect(abortButton_, &QPushButton::clicked, this, &CMontageProgressDlg::RequestAbort);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(abortButton_);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(statusLine_);
  layout->addWidget(progressBar_);
  layout->addLayout(buttons);
  setMinimumWidth(360);
}

void CMontageProgressDlg::SetRange(int64_t low, int64_t high) {
  progressBar_->setRange(ClampToInt(low), ClampToInt(high));
}

void CMontageProgressDlg::SetPos(int64_t pos) {
  progressBar_->setValue(ClampToInt(pos));
}

void CMontageProgressDlg::StepIt() {
  if (progressBar_->value() < progressBar_->maximum())
    progressBar_->setValue(progressBar_->value() + 1);
}

void CMontageProgressDlg::SetStatusText(const std::string& text) {
  statusLine_->setText(QString::fromStdString(text));
}

void CMontageProgressDlg::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
      event->accept();
      return;
    default:
      QDialog::keyPressEvent(event);
  }
}

void CMontageProgressDlg::closeEvent(QCloseEvent* event) {
  event->ignore();
}

}  // namespace tesselor
