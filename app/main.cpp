#include <QApplication>

#include "application.h"
#include "form/form.h"
#include "mainwindow.h"
#include "window/frmvarno.h"

namespace {

// Asking for the help or the version, or a mistyped option, is answered without a window, so also where
// no display is at hand.
bool answeredWithoutWindow(int argc, char** argv) {
  QCommandLineParser arguments;
  varno::describeCommandLine(arguments);
  QStringList words;
  for (int i = 0; i < argc; ++i) words << QString::fromLocal8Bit(argv[i]);
  return !arguments.parse(words) || arguments.isSet("help") || arguments.isSet("version") ||
         arguments.isSet("help-all");
}

}  // namespace

int main(int argc, char** argv) {
  if (answeredWithoutWindow(argc, argv)) {
    QCoreApplication application(argc, argv);
    varno::describeApplication(application);
    QCommandLineParser arguments;  // described again, now in German
    varno::describeCommandLine(arguments);
    arguments.process(application);  // prints the answer and ends the program
    return 0;
  }

  QApplication application(argc, argv);
  varno::setUpApplication(application);
  const varno::StartRequest request = varno::readCommandLine(argc, argv);

  varno::frmVarno form;
  varno::MainWindow window(form);
  window.Form_Load();
  window.show();
  // "varno ring.vrf" opens the program with that ring, as a file manager starts it for a ring file.
  if (request.file) window.openAtStart(*request.file);
  if (request.ring) window.ringAtStart(*request.ring);
  return application.exec();
}
