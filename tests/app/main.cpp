// The window tests run headless and share one application object.
#include <gtest/gtest.h>
#include <QApplication>

#include "application.h"
#include "mainwindow.h"

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  ::testing::InitGoogleTest(&argc, argv);
  QApplication application(argc, argv);
  varno::setUpApplication(application);
  return RUN_ALL_TESTS();
}
