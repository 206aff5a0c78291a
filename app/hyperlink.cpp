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

namespace {
constexpr int kOpened = 33;  // any result above 32 is success
}

QString HyperlinkErrorText(int code) {
  switch (code) {
    case 0:
      return "The operating system is out\nof memory or resources.";
    case 2:
      return "The specified file was not found.";
    case 3:
      return "The specified path was not found.";
    case 5:
      return "The operating system denied\naccess to the specified file.";
    case 8:
      return "There was not enough memory to complete the operation.";
    case 11:
      return "The .EXE file is invalid\n(non-Win32 .EXE or error in .EXE image).";
    case 26:
      return "A sharing violation occurred. ";
    case 27:
      return "The filename association is\nincomplete or invalid.";
    case 28:
      return "The DDE transaction could not\nbe completed because the request timed out.";
    case 29:
      return "The DDE transaction failed.";
    case 30:
      return "The DDE transaction could not\nbe completed because other DDE transactions\nwere "
             "being processed.";
    case 31:
      return "There is no application associated\nwith the given filename extension.";
    case 32:
      return "The specified dynamic-link library was not found.";
    default:
      return QString("Unknown Error (%1) occurred.").arg(code);
  }
}

int OpenAddressInBrowser(const QString& address) {
  const QUrl url = QUrl::fromUserInput(address, QDir::currentPath(), QUrl::AssumeLocalFile);
  if (url.isLocalFile()) {
    const QFileInfo file(url.toLocalFile());
    if (!file.dir().exists()) return CHyperLink::kPathNotFound;
    if (!file.exists()) return CHyperLink::kFileNotFound;
  }
  return QDesktopServices::openUrl(url) ? kOpened : CHyperLink::kNoAssociation;
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
  FitSize();
}

void CHyperLink::SetUnderline(bool underline) {
  underline_ = underline;
  UpdateLook();
}

void CHyperLink::SetVisited(bool visited) {
  visited_ = visited;
  UpdateLook();
}

void CHyperLink::SetAutoSize(bool autoSize) {
  autoSize_ = autoSize;
  FitSize();
}

QColor CHyperLink::TextColour() const {
  if (hovering_) return hoverColour_;
  return visited_ ? kVisitedColour : kLinkColour;
}

void CHyperLink::Follow() {
  const int result = openAddress(address_);
  if (result > 32) {
    SetVisited(true);
    return;
  }
  QApplication::beep();
  ShowMessage("Unable to open hyperlink:\n\n" + HyperlinkErrorText(result).toStdString(),
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
  FitSize();
  update();
}

void CHyperLink::FitSize() {
  if (autoSize_) adjustSize();
}

}  // namespace tesselor
