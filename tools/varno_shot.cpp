// Renders the window to a PNG without a display: varno-shot FILE.png [WIDTHxHEIGHT]
#include <QApplication>
#include <QPixmap>
#include <cstdio>
#include <cstdlib>

#include "form/form.h"
#include "mainwindow.h"

int main(int argc, char** argv) {
  if (argc < 2 || argc > 3) {
    std::fprintf(stderr, "usage: varno-shot FILE.png [WIDTHxHEIGHT]\n");
    return 2;
  }
  if (!std::getenv("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  varno::MainWindow::setProgramFont();
  varno::Form form;
  varno::MainWindow window(form);
  window.Form_Load();
  if (argc == 3) {
    int width = 0, height = 0;
    if (std::sscanf(argv[2], "%dx%d", &width, &height) != 2 || width < 200 || height < 150) {
      std::fprintf(stderr, "varno-shot: size must be WIDTHxHEIGHT, at least 200x150\n");
      return 2;
    }
    window.resize(width, height);
  }
  window.show();
  application.processEvents();
  if (!window.grab().save(QString::fromLocal8Bit(argv[1]))) {
    std::fprintf(stderr, "varno-shot: cannot write %s\n", argv[1]);
    return 1;
  }
  return 0;
}
