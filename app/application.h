// What the program sets up once for its application object: its name and version, German texts also
// where Qt supplies them (message box buttons, the file dialog, the command line's help), the font, and
// the window icon; and what its command line asks.
#pragma once

#include <QApplication>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <optional>
#include <string>

namespace varno {

// Name, version and Qt's German texts: all that answering the command line without a window needs.
void describeApplication(QCoreApplication& application);
// That, and the font and the window icon.
void setUpApplication(QApplication& application);

// What the command line asks for at start: a ring file, by the bytes of its name, and a ring as text.
struct StartRequest {
  std::optional<std::string> file;
  std::optional<QString> ring;
};

// The command line's options and argument, described to `parser`; returns the option --ring.
QCommandLineOption describeCommandLine(QCommandLineParser& parser);

// Reads `varno [--ring TEXT] [datei]` from argc and argv as QApplication left them; --help, --version
// and mistakes are answered by QCommandLineParser, which then ends the program. A file name is bytes and
// comes back as given, also where it is not UTF-8 ("lat\xe4.vrf" in Latin-1): Qt's own reading of the
// arguments would put U+FFFD in its place, and the name would name no file.
StartRequest readCommandLine(int argc, char** argv);

}  // namespace varno
