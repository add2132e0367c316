#include "application.h"

#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include "mainwindow.h"
#include "pictures.h"

namespace varno {

void setUpApplication(QApplication& application) {
  QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
  auto* translator = new QTranslator(&application);
  if (translator->load(QLocale(QLocale::German), "qtbase", "_",
                       QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
    QApplication::installTranslator(translator);
  application.setApplicationName("varno");
  application.setApplicationVersion(VARNO_VERSION);
  QApplication::setDesktopFileName("varno");
  QApplication::setWindowIcon(windowIcon());
  MainWindow::setProgramFont();
}

}  // namespace varno
