// A label that is a web link: underlined, coloured, a pointing hand over it,
// its address as tooltip; a click opens the address in the user's browser and
// colours the link as visited.
#pragma once

#include <QColor>
#include <QLabel>
#include <QString>
#include <functional>

namespace tesselor {

// The text for a failed open's result code, after "Unable to open hyperlink:\n\n".
QString HyperlinkErrorText(int code);

class CHyperLink : public QLabel {
  Q_OBJECT

 public:
  static inline const QColor kLinkColour{0, 0, 238};
  static inline const QColor kVisitedColour{85, 26, 139};

  // Result codes of an open that failed.
  static constexpr int kFileNotFound = 2;
  static constexpr int kPathNotFound = 3;
  static constexpr int kNoAssociation = 31;

  // The address is the text until SetAddress gives another.
  explicit CHyperLink(const QString& text, QWidget* parent = nullptr);

  void SetAddress(const QString& address);
  void SetUnderline(bool underline);
  void SetVisited(bool visited);
  void SetAutoSize(bool autoSize);

  const QString& Address() const { return address_; }
  bool Visited() const { return visited_; }
  bool Hovering() const { return hovering_; }
  // The colour the text is drawn in now.
  QColor TextColour() const;

  // Opens an address and returns a result code: above 32 for success, else
  // one of the failure codes. Replaceable for tests.
  std::function<int(const QString& address)> openAddress;

  // What a click does: open, then mark visited or beep and say why not.
  void Follow();

 protected:
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  void UpdateLook();
  void FitSize();

  QString address_;
  QColor hoverColour_;
  bool hovering_ = false;
  bool visited_ = false;
  bool underline_ = true;
  bool autoSize_ = true;
};

// Opens address with the desktop's handler for it, giving the result codes
// CHyperLink expects.
int OpenAddressInBrowser(const QString& address);

}  // namespace tesselor
