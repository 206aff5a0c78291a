// tesselor: the photomosaic maker's desktop program.
#include <QApplication>
#include <QCommandLineParser>

#include "app/library_chooser_dialog.h"
#include "app/library_manager_dialog.h"
#include "app/options_dialog.h"
#include "app/tesselor_app.h"
#include "app/wizard.h"
#include "resources/compiled_resources.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  QApplication::setApplicationVersion("2.00b");
  QApplication::setDesktopFileName("tesselor");

  QCommandLineParser parser;
  parser.setApplicationDescription(
      QApplication::translate("main", "Builds photomosaics from photographs and tile libraries."));
  parser.addHelpOption();
  parser.addVersionOption();
  parser.addPositionalArgument("image", QApplication::translate("main", "A photograph to open."),
                               "[IMAGE]");
  parser.process(application);

  tesselor::CTesselorApp app;
  tesselor::InstallCompiledResources();
  app.Shell().dialogs.optionsDialog = tesselor::COptionsDialog::Run;
  app.Shell().dialogs.wizard = tesselor::CWizard::Run;
  app.Shell().dialogs.libraryManager = tesselor::CLibraryManagerDlg::Run;
  app.Shell().dialogs.libraryChooser = tesselor::CLibraryChooserDlg::Run;
  if (!app.InitInstance(parser.positionalArguments())) return 1;
  return QApplication::exec();
}
