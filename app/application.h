// What the program sets up once for its application object: German texts also where Qt supplies them
// (message box buttons, the file dialog), the font, and the window icon; and what its command line asks.
#pragma once

#include <QApplication>
#include <optional>
#include <string>

namespace varno {

void setUpApplication(QApplication& application);

// What the command line asks for at start: a ring file, by the bytes of its name, and a ring as text.
struct StartRequest {
  std::optional<std::string> file;
  std::optional<QString> ring;
};

// Reads `varno [--ring TEXT] [datei]` from argc and argv as QApplication left them; --help, --version
// and mistakes are answered by QCommandLineParser, which then ends the program. A file name is bytes and
// comes back as given, also where it is not UTF-8 ("lat\xe4.vrf" in Latin-1): Qt's own reading of the
// arguments would put U+FFFD in its place, and the name would name no file.
StartRequest readCommandLine(int argc, char** argv);

}  // namespace varno
