#include "app/hyperlink.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QMouseEvent>
#include <QPalette>
#include <QUrl>

#include "platform/shell.h"

namespace tesselor {

QString OpenAddressInBrowser(const QString& address) {
  const QUrl url = QUrl::fromUserInput(address, QDir::currentPath(), QUrl::AssumeLocalFile);
  if (url.isLocalFile()) {
    const QFileInfo file(url.toLocalFile());
    if (!file.dir().exists()) return CHyperLink::tr("The specified path was not found.");
    if (!file.exists()) return CHyperLink::tr("The specified file was not found.");
  }
  if (QDesktopServices::openUrl(url)) return {};
  return CHyperLink::tr("No program on this computer would open the address.");
}

CHyperLink::CHyperLink(const QString& text, QWidget* parent)
    : QLabel(text, parent),
      openAddress(OpenAddressInBrowser),
      address_(text),
      hoverColour_(QApplication::palette().color(QPalette::Highlight)) {
  setCursor(Qt::PointingHandCursor);
  setTextFormat(Qt::PlainText);
  setToolTip(address_);
  UpdateLook();
}

void CHyperLink::SetAddress(const QString& address) {
  address_ = address;
  if (text().isEmpty()) setText(address_);
  setToolTip(address_);
  adjustSize();
}

void CHyperLink::SetUnderline(bool underline) {
  underline_ = underline;
  UpdateLook();
}

QColor CHyperLink::TextColour() const {
  if (hovering_) return hoverColour_;
  return visited_ ? kVisitedColour : kLinkColour;
}

void CHyperLink::Follow() {
  const QString failure = openAddress(address_);
  if (failure.isEmpty()) {
    visited_ = true;
    UpdateLook();
    return;
  }
  QApplication::beep();
  ShowMessage((tr("Unable to open hyperlink:\n\n") + failure).toStdString(),
              MessageStyle::kExclamation);
}

void CHyperLink::enterEvent(QEnterEvent* event) {
  QLabel::enterEvent(event);
  hovering_ = true;
  UpdateLook();
}

void CHyperLink::leaveEvent(QEvent* event) {
  QLabel::leaveEvent(event);
  hovering_ = false;
  UpdateLook();
}

void CHyperLink::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
    Follow();
    event->accept();
    return;
  }
  QLabel::mouseReleaseEvent(event);
}

void CHyperLink::UpdateLook() {
  QFont linkFont = font();
  linkFont.setUnderline(underline_);
  setFont(linkFont);
  QPalette colours = palette();
  colours.setColor(QPalette::WindowText, TextColour());
  setPalette(colours);
  adjustSize();
  update();
}

}  // namespace tesselor
