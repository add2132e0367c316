#include <QApplication>
#include <QCommandLineParser>

#include "application.h"
#include "form/form.h"
#include "mainwindow.h"
#include "window/frmvarno.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  varno::setUpApplication(application);

  QCommandLineParser arguments;
  arguments.setApplicationDescription("Ringe intransitiver Würfel erkunden, suchen und zählen.");
  arguments.addHelpOption();
  arguments.addVersionOption();
  arguments.addPositionalArgument("datei", "Eine Ringdatei (.vrf), die beim Start geladen wird.", "[datei]");
  const QCommandLineOption ring("ring", "Beginnt mit diesem Ring, etwa \"3 5 7 | 2 4 9 | 1 6 8\".", "ring");
  arguments.addOption(ring);
  arguments.process(application);

  varno::frmVarno form;
  varno::MainWindow window(form);
  window.Form_Load();
  window.show();
  // "varno ring.vrf" opens the program with that ring, as a file manager starts it for a ring file.
  if (!arguments.positionalArguments().isEmpty()) window.openAtStart(arguments.positionalArguments().front());
  if (arguments.isSet(ring)) window.ringAtStart(arguments.value(ring));
  return application.exec();
}
