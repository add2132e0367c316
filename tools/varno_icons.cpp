// Writes the program's icon as PNG files for installing: varno-icons DIRECTORY
// gives DIRECTORY/16x16/varno.png, DIRECTORY/32x32/varno.png, ... DIRECTORY/256x256/varno.png.
#include <QDir>
#include <QGuiApplication>
#include <cstdio>
#include <cstdlib>

#include "pictures.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: varno-icons DIRECTORY\n");
    return 2;
  }
  if (!std::getenv("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication application(argc, argv);
  for (int size : {16, 32, 48, 64, 128, 256}) {
    const QString folder = QString("%1/%2x%2").arg(QString::fromLocal8Bit(argv[1])).arg(size);
    if (!QDir().mkpath(folder) || !varno::sunImage(size).save(folder + "/varno.png")) {
      std::fprintf(stderr, "varno-icons: cannot write %s\n", qPrintable(folder + "/varno.png"));
      return 1;
    }
  }
  return 0;
}
