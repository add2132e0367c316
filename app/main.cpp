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
  return application.exec();
}
