#include "application.h"

#include <QCommandLineParser>
#include <QFile>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <map>

#include "mainwindow.h"
#include "pictures.h"

namespace varno {

void describeApplication(QCoreApplication& application) {
  QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
  auto* translator = new QTranslator(&application);
  if (translator->load(QLocale(QLocale::German), "qtbase", "_",
                       QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
    QCoreApplication::installTranslator(translator);
  QCoreApplication::setApplicationName("varno");
  QCoreApplication::setApplicationVersion(VARNO_VERSION);
}

void setUpApplication(QApplication& application) {
  describeApplication(application);
  QApplication::setDesktopFileName("varno");
  QApplication::setWindowIcon(windowIcon());
  MainWindow::setProgramFont();
}

QCommandLineOption describeCommandLine(QCommandLineParser& parser) {
  parser.setApplicationDescription("Ringe intransitiver Würfel erkunden, suchen und zählen.");
  parser.addHelpOption();
  parser.addVersionOption();
  parser.addPositionalArgument("datei", "Eine Ringdatei (.vrf), die beim Start geladen wird.", "[datei]");
  QCommandLineOption ring("ring", "Beginnt mit diesem Ring, etwa \"3 5 7 | 2 4 9 | 1 6 8\".", "ring");
  parser.addOption(ring);
  return ring;
}

StartRequest readCommandLine(int argc, char** argv) {
  // An argument that is not UTF-8 goes to the parser as a stand-in that no argument is (U+FFFF and its
  // place), so that the parser tells options, their values and the file apart as always.
  QStringList arguments;
  std::map<QString, QByteArray> standIns;
  for (int i = 0; i < argc; ++i) {
    const QByteArray bytes(argv[i]);
    QString argument = QFile::decodeName(bytes);
    if (QFile::encodeName(argument) != bytes && !bytes.startsWith('-')) {
      argument = QChar(0xFFFF) + QString::number(i);
      standIns[argument] = bytes;
    }
    arguments << argument;
  }
  const auto given = [&standIns](const QString& argument) {
    const auto standIn = standIns.find(argument);
    return standIn == standIns.end() ? QFile::encodeName(argument) : standIn->second;
  };

  QCommandLineParser parser;
  const QCommandLineOption ring = describeCommandLine(parser);
  parser.process(arguments);

  StartRequest request;
  if (!parser.positionalArguments().isEmpty())
    request.file = given(parser.positionalArguments().front()).toStdString();
  if (parser.isSet(ring)) request.ring = QFile::decodeName(given(parser.value(ring)));
  return request;
}

}  // namespace varno
