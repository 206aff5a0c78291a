#include "app/help_launcher.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QDir>
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
  ShowMessage(tr("The help pages are missing: Tesselor looked for them in\n%1\n"
                 "It will try to open the help in your web browser instead.")
                  .arg(QDir::toNativeSeparators(HelpFolder()))
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
  // A modal dialog blocks every window but its own, so while one is open the
  // help window becomes one of its windows, and goes back when it closes.
  if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
      dialog && browser_->parentWidget() != dialog) {
    MoveHelpWindowTo(dialog);
    QObject::connect(
        dialog, &QDialog::finished, browser_, [this] { MoveHelpWindowTo(parent_); },
        Qt::SingleShotConnection);
  }
  browser_->setSource(QUrl::fromLocalFile(address));
  browser_->setWindowState(browser_->windowState() & ~Qt::WindowMinimized);
  browser_->show();
  browser_->raise();
  browser_->activateWindow();
  return true;
}

void HelpLauncher::MoveHelpWindowTo(QWidget* owner) {
  const QRect place = browser_->geometry();
  const bool shown = browser_->isVisible();
  browser_->setParent(owner, Qt::Window);
  browser_->setGeometry(place);
  if (shown) browser_->show();
}

void ShowHelp(HelpTopic topic) {
  if (installedLauncher) installedLauncher->ShowTopic(topic);
}

void InstallHelpKey(QWidget* window, HelpTopic topic) {
  auto* key = new QShortcut(QKeySequence::HelpContents, window);
  QObject::connect(key, &QShortcut::activated, window, [topic] { ShowHelp(topic); });
}

}  // namespace tesselor
