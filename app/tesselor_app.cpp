#include "app/tesselor_app.h"

#include <QAction>
#include <QCoreApplication>
#include <QFileInfo>

#include "app/main_frame.h"
#include "platform/app_paths.h"

namespace tesselor {

CTesselorApp::CTesselorApp() {
  Shell::Install(&shell_);
}

CTesselorApp::~CTesselorApp() {
  shell_.SetMainWindow(nullptr);
  frame_.reset();
  Shell::Install(nullptr);
}

bool CTesselorApp::InitInstance(const QStringList& arguments) {
  QCoreApplication::setOrganizationName(kOrganisation);
  QCoreApplication::setApplicationName(kApplication);
  settings_ = std::make_unique<QSettings>();
  recentFiles_ = std::make_unique<RecentFileList>(*settings_);
  shell_.SetRecentFiles(recentFiles_.get());
  profile_ = std::make_unique<SettingsProfile>(*settings_);
  doc_.SetProfile(profile_.get());

  frame_ = std::make_unique<CMainFrame>(doc_, shell_, *recentFiles_);
  shell_.SetMainWindow(frame_.get());

  if (arguments.isEmpty()) {
    doc_.OnNewDocument();
  } else if (!doc_.OpenDocumentFile(
                 QFileInfo(arguments.first()).absoluteFilePath().toStdString())) {
    return false;
  }
  frame_->show();

  InitProgramDirectory();
  Paths().currentLibrary = kDemoLibrary;

  // Until the wizard exists its command stays greyed and nothing opens.
  if (shell_.dialogs.wizard && profile_->GetProfileInt(CTesselorDoc::kWizardProfileName, 1) != 0)
    frame_->Action(Command::kWizard)->trigger();
  frame_->UpdateActions();
  return true;
}

}  // namespace tesselor
