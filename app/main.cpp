// tesselor: the photomosaic maker's desktop program.
#include <QApplication>
#include <QCommandLineParser>
#include <QCoreApplication>

#include "app/library_chooser_dialog.h"
#include "app/library_manager_dialog.h"
#include "app/options_dialog.h"
#include "app/tesselor_app.h"
#include "app/wizard.h"
#include "resources/compiled_resources.h"

namespace {

// Read before the window system is reached, so --help and --version answer
// in a terminal without a display.
QStringList PhotographArguments(int argc, char** argv) {
  QCoreApplication reader(argc, argv);
  QCoreApplication::setApplicationVersion(TESSELOR_VERSION);
  QCommandLineParser parser;
  parser.setApplicationDescription(
      QApplication::translate("main", "Builds photomosaics from photographs and tile libraries."));
  parser.addHelpOption();
  parser.addVersionOption();
  parser.addPositionalArgument("image", QApplication::translate("main", "A photograph to open."),
                               "[IMAGE]");
  parser.process(reader);
  return parser.positionalArguments();
}

}  // namespace

int main(int argc, char** argv) {
  const QStringList photographs = PhotographArguments(argc, argv);
  QApplication application(argc, argv);
  QApplication::setApplicationVersion(TESSELOR_VERSION);
  QApplication::setDesktopFileName("tesselor");

  tesselor::CTesselorApp app;
  tesselor::InstallCompiledResources();
  app.Shell().dialogs.optionsDialog = tesselor::COptionsDialog::Run;
  app.Shell().dialogs.wizard = tesselor::CWizard::Run;
  app.Shell().dialogs.libraryManager = tesselor::CLibraryManagerDlg::Run;
  app.Shell().dialogs.libraryChooser = tesselor::CLibraryChooserDlg::Run;
  if (!app.InitInstance(photographs)) return 1;
  return QApplication::exec();
}
