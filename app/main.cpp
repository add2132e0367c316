#include <QApplication>

#include "application.h"
#include "form/form.h"
#include "mainwindow.h"
#include "window/frmvarno.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  varno::setUpApplication(application);
  varno::frmVarno form;
  varno::MainWindow window(form);
  window.Form_Load();
  window.show();
  // "varno ring.vrf" opens the program with that ring, as a file manager starts it for a ring file.
  const QStringList files = QCoreApplication::arguments().mid(1);
  if (!files.isEmpty()) window.openAtStart(files.front());
  return application.exec();
}
