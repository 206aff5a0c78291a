// The application object: start-up in a fixed order (settings, recent files,
// document and window, the image named on the command line, the shared
// folders, the wizard), and the objects that live as long as the program.
#pragma once

#include <QSettings>
#include <QStringList>
#include <memory>

#include "app/qt_shell.h"
#include "app/recent_file_list.h"
#include "app/settings_profile.h"
#include "engine/tesselor_doc.h"

namespace tesselor {

class CMainFrame;

class CTesselorApp {
 public:
  static constexpr const char* kOrganisation = "Kelbrook";
  static constexpr const char* kApplication = "Tesselor";
  static constexpr const char* kDemoLibrary = "Demo Tile Library/";

  CTesselorApp();
  ~CTesselorApp();
  CTesselorApp(const CTesselorApp&) = delete;
  CTesselorApp& operator=(const CTesselorApp&) = delete;

  // Runs start-up with the program's arguments (without the program name).
  // False when the program should end at once: the image named on the
  // command line could not be opened (the user has been told why).
  bool InitInstance(const QStringList& arguments);

  CTesselorDoc& Document() { return doc_; }
  CMainFrame& MainFrame() { return *frame_; }
  QtShell& Shell() { return shell_; }
  RecentFileList& RecentFiles() { return *recentFiles_; }

 private:
  QtShell shell_;
  std::unique_ptr<QSettings> settings_;
  std::unique_ptr<RecentFileList> recentFiles_;
  std::unique_ptr<SettingsProfile> profile_;
  CTesselorDoc doc_;
  std::unique_ptr<CMainFrame> frame_;
};

}  // namespace tesselor
