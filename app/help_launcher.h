// Every help request of the program ends here: a topic is shown in the
// program's help window, the introduction when the topic's page is missing.
// When neither can be shown, the user is told and the fallback page opens in
// the web browser.
#pragma once

#include <QCoreApplication>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTextBrowser>
#include <functional>

class QWidget;

namespace tesselor {

enum class HelpTopic { kIntroduction, kWizard, kMontageOptions, kLibraryManager };

// The page file that holds topic.
QString HelpPage(HelpTopic topic);

class HelpLauncher {
  Q_DECLARE_TR_FUNCTIONS(HelpLauncher)

 public:
  explicit HelpLauncher(QWidget* parent) : parent_(parent) {}
  virtual ~HelpLauncher();
  HelpLauncher(const HelpLauncher&) = delete;
  HelpLauncher& operator=(const HelpLauncher&) = delete;

  // The folder holding the topics: "help/" in the program's folder.
  static QString HelpFolder();

  void ShowTopic(HelpTopic topic);

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
  void MoveHelpWindowTo(QWidget* owner);

  QWidget* parent_;
  QPointer<QTextBrowser> browser_;
  QStringList attempts_;
};

// Shows topic through the installed launcher; nothing while there is none.
void ShowHelp(HelpTopic topic);
// Makes F1 in window show topic.
void InstallHelpKey(QWidget* window, HelpTopic topic);

}  // namespace tesselor
