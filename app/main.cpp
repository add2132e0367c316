#include <QApplication>
#include <QCommandLineParser>

#include "application.h"
#include "form/form.h"
#include "mainwindow.h"
#include "window/frmvarno.h"

namespace {

struct Options {
  QCommandLineOption help, version, ring;
};

// The command line: a ring file, or a ring as text, to start with.
Options describe(QCommandLineParser& arguments) {
  arguments.setApplicationDescription("Ringe intransitiver Würfel erkunden, suchen und zählen.");
  Options options{
      arguments.addHelpOption(), arguments.addVersionOption(),
      QCommandLineOption("ring", "Beginnt mit diesem Ring, etwa \"3 5 7 | 2 4 9 | 1 6 8\".", "ring")};
  arguments.addPositionalArgument("datei", "Eine Ringdatei (.vrf), die beim Start geladen wird.", "[datei]");
  arguments.addOption(options.ring);
  return options;
}

// Asking for the help or the version, or a mistyped option, is answered without a window, so also where
// no display is at hand.
bool answeredWithoutWindow(int argc, char** argv) {
  QCommandLineParser arguments;
  const Options options = describe(arguments);
  QStringList words;
  for (int i = 0; i < argc; ++i) words << QString::fromLocal8Bit(argv[i]);
  return !arguments.parse(words) || arguments.isSet(options.help) || arguments.isSet(options.version) ||
         arguments.isSet("help-all");
}

}  // namespace

int main(int argc, char** argv) {
  if (answeredWithoutWindow(argc, argv)) {
    QCoreApplication application(argc, argv);
    varno::describeApplication(application);
    QCommandLineParser arguments;  // described again, now in German
    describe(arguments);
    arguments.process(application);  // prints the answer and ends the program
    return 0;
  }

  QApplication application(argc, argv);
  varno::setUpApplication(application);
  QCommandLineParser arguments;
  const Options options = describe(arguments);
  arguments.process(application);

  varno::frmVarno form;
  varno::MainWindow window(form);
  window.Form_Load();
  window.show();
  // "varno ring.vrf" opens the program with that ring, as a file manager starts it for a ring file.
  if (!arguments.positionalArguments().isEmpty()) window.openAtStart(arguments.positionalArguments().front());
  if (arguments.isSet(options.ring)) window.ringAtStart(arguments.value(options.ring));
  return application.exec();
}
