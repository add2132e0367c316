#include <QApplication>

#include "application.h"
#include "form/form.h"
#include "mainwindow.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  varno::setUpApplication(application);
  varno::Form form;
  varno::MainWindow window(form);
  window.Form_Load();
  window.show();
  return application.exec();
}
