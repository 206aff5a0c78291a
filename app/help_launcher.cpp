#include "app/help_launcher.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QTextBrowser>
#include <QUrl>

#include "platform/app_paths.h"
#include "platform/shell.h"

namespace tesselor {

namespace {

HelpLauncher* installedLauncher = nullptr;

constexpr const char* kIntroductionTopic = "Introduction.htm";
constexpr const char* kFallbackPage = "Error.htm";

}  // namespace

QString HelpTopicFor(unsigned context) {
  switch (context) {
    case kHelpContextBase + 140:  // the wizard's four pages
    case kHelpContextBase + 141:
    case kHelpContextBase + 145:
    case kHelpContextBase + 148:
      return "Wizard.htm";
    case kHelpContextBase + 130:  // the options dialog
      return "Montage options.htm";
    case kHelpContextBase + 133:  // the library manager
      return "Library manager.htm";
    default:
      return "";
  }
}

HelpLauncher::~HelpLauncher() {
  if (installedLauncher == this) installedLauncher = nullptr;
  delete browser_;
}

QString HelpLauncher::HelpFolder() {
  return QString::fromStdString(Paths().programDirectory) + "help/";
}

HelpLauncher* HelpLauncher::Instance() {
  return installedLauncher;
}

void HelpLauncher::Install(HelpLauncher* launcher) {
  installedLauncher = launcher;
}

void HelpLauncher::WinHelp(unsigned context) {
  const QString topic = HelpTopicFor(context);
  if (!topic.isEmpty() && Attempt(HelpFolder() + topic)) return;
  if (Attempt(HelpFolder() + kIntroductionTopic)) return;
  ShowMessage(
      "Tesselor uses Microsoft HTMLhelp.\n"
      "Unfortunately you do not have all the components required to view this type of help "
      "document.\n"
      "Tesselor will attempt to launch the help file in your defualt browser...");
  // Whether the browser managed it is not reported; there is nothing more
  // the program could offer.
  const QString fallback = HelpFolder() + kFallbackPage;
  if (openInBrowser)
    openInBrowser(fallback);
  else
    QDesktopServices::openUrl(QUrl::fromLocalFile(fallback));
}

bool HelpLauncher::Attempt(const QString& address) {
  attempts_.append(address);
  return DisplayTopic(address);
}

bool HelpLauncher::DisplayTopic(const QString& address) {
  if (!QFileInfo(address).isFile()) return false;
  if (!browser_) {
    browser_ = new QTextBrowser(parent_);
    browser_->setWindowFlag(Qt::Window);
    browser_->setWindowTitle("Tesselor Help");
    browser_->setOpenExternalLinks(true);
    browser_->resize(720, 640);
  }
  browser_->setSource(QUrl::fromLocalFile(address));
  browser_->show();
  browser_->raise();
  browser_->activateWindow();
  return true;
}

}  // namespace tesselor
