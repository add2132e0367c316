#include "application.h"

#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

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

}  // namespace varno
