// What the program sets up once for its application object: German texts also where Qt supplies them
// (message box buttons, the file dialog), the font, and the window icon.
#pragma once

#include <QApplication>

namespace varno {

void setUpApplication(QApplication& application);

}  // namespace varno
