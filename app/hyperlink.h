// A label that is a web link: underlined, coloured, a pointing hand over it,
// its address as tooltip; a click opens the address in the user's browser and
// colours the link as visited.
#pragma once

#include <QColor>
#include <QLabel>
#include <QString>
#include <functional>

namespace tesselor {

class CHyperLink : public QLabel {
  Q_OBJECT

 public:
  static inline const QColor kLinkColour{0, 0, 238};
  static inline const QColor kVisitedColour{85, 26, 139};

  // The address is the text until SetAddress gives another.
  explicit CHyperLink(const QString& text, QWidget* parent = nullptr);

  void SetAddress(const QString& address);
  void SetUnderline(bool underline);

  const QString& Address() const { return address_; }
  bool Visited() const { return visited_; }
  // The colour the text is drawn in now.
  QColor TextColour() const;

  // Opens an address; "" when it opened, else why not, for the user to read.
  // Replaceable for tests.
  std::function<QString(const QString& address)> openAddress;

  // What a click does: open, then mark visited or beep and say why not.
  void Follow();

 protected:
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  void UpdateLook();

  QString address_;
  QColor hoverColour_;
  bool hovering_ = false;
  bool visited_ = false;
  bool underline_ = true;
};

// Opens address with the desktop's handler for it. A missing local file is
// named before any program starts; otherwise the desktop says only whether it
// managed.
QString OpenAddressInBrowser(const QString& address);

}  // namespace tesselor
