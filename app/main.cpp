// tesselor: the photomosaic maker's desktop program.
#include <QApplication>
#include <QCommandLineParser>

#include "app/tesselor_app.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  QApplication::setApplicationVersion("2.00b");
  QApplication::setDesktopFileName("tesselor");

  QCommandLineParser parser;
  parser.setApplicationDescription("Builds photomosaics from photographs and tile libraries.");
  parser.addHelpOption();
  parser.addVersionOption();
  parser.addPositionalArgument("image", "A JPEG or BMP photograph to open.", "[IMAGE]");
  parser.process(application);

  tesselor::CTesselorApp app;
  if (!app.InitInstance(parser.positionalArguments())) return 1;
  return QApplication::exec();
}
