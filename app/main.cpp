#include <QApplication>

#include "application.h"
#include "form/form.h"
#include "mainwindow.h"
#include "window/frmvarno.h"

int main(int argc, char** argv) {
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
