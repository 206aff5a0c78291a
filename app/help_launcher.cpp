#include "app/help_launcher.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QKeySequence>
#include <QShortcut>
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

QString HelpPage(HelpTopic topic) {
  switch (topic) {
    case HelpTopic::kWizard:
      return QStringLiteral("Wizard.htm");
    case HelpTopic::kMontageOptions:
      return QStringLiteral("Montage options.htm");
    case HelpTopic::kLibraryManager:
      return QStringLiteral("Library manager.htm");
    case HelpTopic::kIntroduction:
      break;
  }
  return QLatin1String(kIntroductionTopic);
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

void HelpLauncher::ShowTopic(HelpTopic topic) {
  if (topic != HelpTopic::kIntroduction && Attempt(HelpFolder() + HelpPage(topic))) return;
  if (Attempt(HelpFolder() + kIntroductionTopic)) return;
  ShowMessage(tr("Tesselor uses Microsoft HTMLhelp.\n"
                 "Unfortunately you do not have all the components required to view this type "
                 "of help document.\n"
                 "Tesselor will attempt to launch the help file in your defualt browser...")
                  .toStdString());
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
    browser_->setWindowTitle(tr("Tesselor Help"));
    browser_->setOpenExternalLinks(true);
    browser_->resize(720, 640);
  }
  browser_->setSource(QUrl::fromLocalFile(address));
  browser_->show();
  browser_->raise();
  browser_->activateWindow();
  return true;
}

void ShowHelp(HelpTopic topic) {
  if (installedLauncher) installedLauncher->ShowTopic(topic);
}

void InstallHelpKey(QWidget* window, HelpTopic topic) {
  auto* key = new QShortcut(QKeySequence::HelpContents, window);
  QObject::connect(key, &QShortcut::activated, window, [topic] { ShowHelp(topic); });
}

}  // namespace tesselor
