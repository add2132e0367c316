// What the program sets up once for its application object: its name and version, German texts also
// where Qt supplies them (message box buttons, the file dialog, the command line's help), the font, and
// the window icon.
#pragma once

#include <QApplication>
#include <QCoreApplication>

namespace varno {

// Name, version and Qt's German texts: all that answering the command line without a window needs.
void describeApplication(QCoreApplication& application);
// That, and the font and the window icon.
void setUpApplication(QApplication& application);

}  // namespace varno
