// Every help request of the program ends here: a context number picks the
// topic (the wizard's pages, the options dialog, the library manager, or the
// introduction), shown in the program's help window. When neither the topic
// nor the introduction can be shown, the user is told and the fallback page
// opens in the web browser.
#pragma once

#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTextBrowser>
#include <functional>

class QWidget;

namespace tesselor {

// Context numbers: a dialog's help asks for 131072 plus its dialog number.
inline constexpr unsigned kHelpContextBase = 131072;

// The topic page for a context, or "" when the context has none of its own.
QString HelpTopicFor(unsigned context);

class HelpLauncher {
 public:
  explicit HelpLauncher(QWidget* parent) : parent_(parent) {}
  virtual ~HelpLauncher();
  HelpLauncher(const HelpLauncher&) = delete;
  HelpLauncher& operator=(const HelpLauncher&) = delete;

  // The folder holding the topics: "help/" in the program's folder.
  static QString HelpFolder();

  // Shows the topic for context; the command number of old help requests is
  // not needed.
  void WinHelp(unsigned context);

  // Every topic address asked for, in order; for tests and diagnostics.
  const QStringList& Attempts() const { return attempts_; }
  QTextBrowser* HelpWindow() const { return browser_; }

  // Opens a file in the user's web browser; replaceable for tests.
  std::function<void(const QString& path)> openInBrowser;

  // The launcher frames and dialogs reach for F1.
  static HelpLauncher* Instance();
  static void Install(HelpLauncher* launcher);

 protected:
  // Shows one topic; false stands for "no window", when it cannot be shown.
  // Tests put a recorder in its place.
  virtual bool DisplayTopic(const QString& address);

 private:
  bool Attempt(const QString& address);

  QWidget* parent_;
  QPointer<QTextBrowser> browser_;
  QStringList attempts_;
};

}  // namespace tesselor
