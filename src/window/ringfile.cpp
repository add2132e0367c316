#include "window/ringfile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <sstream>
#include <system_error>
#include <vector>

#include "form/form.h"
#include "graphic/drawing.h"
#include "ring/ring.h"
#include "window/safesave.h"

namespace varno {

namespace {

bool endsWith(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

std::string trimmed(const std::string& text) {
  const std::size_t first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// A field as the window takes it: blanks dropped, a number in its plain decimal form (007 is 7), digit
// for digit, so that it keeps its value however large or small it is.
std::string field(const std::string& line) {
  return plainDecimal(trimmed(line));
}

// Characters that show as nothing or as an ordinary blank: controls beyond ASCII, format characters
// (U+FEFF, U+200B, the soft hyphen, direction marks ...), the other code points the system ignores
// when drawing text, blanks other than the ASCII one, and noncharacters. A face "\uFEFF3" would look
// like "3" and count 0.
bool isInvisible(char32_t c) {
  struct Range {
    char32_t first, last;
  };
  static constexpr Range kInvisible[] = {
      {0x0080, 0x00A0},   {0x00AD, 0x00AD},   {0x034F, 0x034F},   {0x0600, 0x0605},   {0x061C, 0x061C},
      {0x06DD, 0x06DD},   {0x070F, 0x070F},   {0x0890, 0x0891},   {0x08E2, 0x08E2},   {0x115F, 0x1160},
      {0x1680, 0x1680},   {0x17B4, 0x17B5},   {0x180B, 0x180F},   {0x2000, 0x200F},   {0x2028, 0x202F},
      {0x205F, 0x206F},   {0x3000, 0x3000},   {0x3164, 0x3164},   {0xFDD0, 0xFDEF},   {0xFE00, 0xFE0F},
      {0xFEFF, 0xFEFF},   {0xFFA0, 0xFFA0},   {0xFFF0, 0xFFFB},   {0x110BD, 0x110BD}, {0x110CD, 0x110CD},
      {0x13430, 0x1343F}, {0x1BCA0, 0x1BCA3}, {0x1D173, 0x1D17A}, {0xE0000, 0xE0FFF},
  };
  if ((c & 0xFFFE) == 0xFFFE) return true;  // U+FFFE, U+FFFF and their likes in every plane
  for (const Range& range : kInvisible)
    if (c >= range.first && c <= range.last) return true;
  return false;
}

// Whether the bytes are text a ring file may hold: well-formed UTF-8 (no surrogates, nothing beyond
// U+10FFFF, no overlong forms) without control characters other than tab, CR and LF, and without
// invisible characters. Says what is wrong otherwise.
bool isText(std::string_view content, std::string& problem) {
  int line = 1;
  for (std::size_t i = 0; i < content.size();) {
    const auto byte = static_cast<unsigned char>(content[i]);
    if (byte < 0x80) {
      if ((byte < 0x20 && byte != '\t' && byte != '\r' && byte != '\n') || byte == 0x7f) {
        problem = "Die Datei ist keine Textdatei.";
        return false;
      }
      line += byte == '\n' ? 1 : 0;
      ++i;
      continue;
    }
    const int length = byte >= 0xf0 && byte <= 0xf4  ? 4
                       : byte >= 0xe0 && byte < 0xf0 ? 3
                       : byte >= 0xc2 && byte < 0xe0 ? 2
                                                     : 0;
    bool wellFormed = length > 0 && i + length <= content.size();
    for (int j = 1; wellFormed && j < length; ++j)
      wellFormed = (static_cast<unsigned char>(content[i + j]) & 0xc0) == 0x80;
    // The second byte narrows what the first allows.
    const auto second = wellFormed ? static_cast<unsigned char>(content[i + 1]) : 0;
    if (!wellFormed || (byte == 0xe0 && second < 0xa0) || (byte == 0xed && second > 0x9f) ||
        (byte == 0xf0 && second < 0x90) || (byte == 0xf4 && second > 0x8f)) {
      problem = "Die Datei ist keine Textdatei.";
      return false;
    }
    char32_t c = byte & (0x7f >> length);
    for (int j = 1; j < length; ++j) c = (c << 6) | (static_cast<unsigned char>(content[i + j]) & 0x3f);
    if (isInvisible(c)) {
      char code[16];
      std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(c));
      problem = "In Zeile " + std::to_string(line) + " steht ein unsichtbares Zeichen (" + code + ").";
      return false;
    }
    i += length;
  }
  return true;
}

// n or k from its line: a whole number within the scroll bar's range.
std::optional<int> count(const std::string& text, int minimum, int maximum) {
  if (!isDecimalNumber(text)) return std::nullopt;
  const double value = leadingNumber(text);
  if (value < minimum || value > maximum || value != std::floor(value)) return std::nullopt;
  return static_cast<int>(value);
}

const char* const kTooLarge = "Die Datei ist zu groß für eine Ringdatei.";
const char* const kUnreadable = "Die Datei kann nicht gelesen werden.";

// Why a file of this type cannot be a ring file, or nothing for a regular file.
std::optional<std::string> notRegular(mode_t mode) {
  if (S_ISREG(mode)) return std::nullopt;
  const char* what = S_ISDIR(mode)                    ? "ein Ordner"
                     : S_ISFIFO(mode)                 ? "eine Pipe"
                     : S_ISCHR(mode) || S_ISBLK(mode) ? "ein Gerät"
                                                      : nullptr;
  const std::string problem = "Die Datei ist keine gewöhnliche Datei";
  return what ? problem + ", sondern " + what + "." : problem + ".";
}

// Closes a descriptor when it goes out of scope.
struct Descriptor {
  int fd = -1;
  ~Descriptor() {
    if (fd >= 0) ::close(fd);
  }
};

// Reads a regular file, at most one byte more than a ring file may have: enough to know it is too large.
// Says why not otherwise. The type is looked at before the file is opened, so that no device is ever
// opened, and once more on what was opened, should another file have taken the name meanwhile; it is
// opened so that a pipe never waits for a writer and a terminal never becomes the program's own.
bool readFile(const std::string& path, std::string& content, std::string& problem) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) {
    problem = kUnreadable;
    return false;
  }
  Descriptor file;
  if (std::optional<std::string> why = notRegular(info.st_mode)) {
    problem = *why;
    return false;
  }
  file.fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (file.fd < 0 || ::fstat(file.fd, &info) != 0) {
    problem = kUnreadable;
    return false;
  }
  if (std::optional<std::string> why = notRegular(info.st_mode)) {
    problem = *why;
    return false;
  }
  if (info.st_size > static_cast<off_t>(kLargestRingFile)) {
    problem = kTooLarge;
    return false;
  }
  // Files of the system's own folders may say 0 and hold more: the size read decides.
  content.resize(kLargestRingFile + 1);
  std::size_t filled = 0;
  while (filled < content.size()) {
    const ssize_t step = ::read(file.fd, content.data() + filled, content.size() - filled);
    if (step < 0 && errno == EINTR) continue;
    if (step < 0) {
      problem = kUnreadable;
      return false;
    }
    if (step == 0) break;
    filled += static_cast<std::size_t>(step);
  }
  content.resize(filled);
  return true;
}

void saveFailed(Form& form) {
  if (form.dialogs) form.dialogs->messageBox("Speichern abgebrochen!", kStopSign, "Eingabeproblem");
}

}  // namespace

std::string ringFileText(const Form& form) {
  std::string text = form.Text1[0].text() + "\r\n" + form.Text1[1].text() + "\r\n";
  for (const Control& face : form.txtAuge) text += (face.text().empty() ? "0" : face.text()) + "\r\n";
  return text;
}

std::string saveName(const std::string& chosen) {
  return endsWith(chosen, ".vrf") || endsWith(chosen, ".sdk") ? chosen : chosen + ".vrf";
}

std::optional<RingFile> parseRingFile(const std::string& content, std::string& problem) {
  if (content.empty()) {
    problem = "Die Datei ist leer.";
    return std::nullopt;
  }
  if (content.size() > kLargestRingFile) {
    problem = kTooLarge;
    return std::nullopt;
  }
  // An editor may begin the text with one byte-order mark of UTF-8; any other is refused as invisible.
  std::string_view text = content;
  if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
  if (!isText(text, problem)) return std::nullopt;
  // A CR of its own would end up inside a face and split the line when the ring is saved again.
  for (std::size_t at = text.find('\r'); at != std::string::npos; at = text.find('\r', at + 1)) {
    if (at + 1 == text.size() || text[at + 1] != '\n') {
      problem = "Die Zeilen der Datei enden nicht mit CR LF oder LF.";
      return std::nullopt;
    }
  }
  std::vector<std::string> lines;
  std::istringstream stream{std::string(text)};
  for (std::string line; std::getline(stream, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  // Blank lines after the ring, as an editor may leave them, do not count.
  while (lines.size() > kRingFileLines && trimmed(lines.back()).empty()) lines.pop_back();
  if (lines.size() != kRingFileLines) {
    problem = lines.size() < kRingFileLines ? "Die Datei hat weniger als 66 Zeilen."
                                            : "Die Datei hat mehr als 66 Zeilen.";
    return std::nullopt;
  }
  RingFile ring;
  ring.dice = field(lines[0]);
  ring.faces = field(lines[1]);
  const std::optional<int> n = count(trimmed(lines[0]), 3, 8);
  const std::optional<int> k = count(trimmed(lines[1]), 1, 8);
  if (!n) {
    problem = "Die Anzahl der Würfel in Zeile 1 muss eine ganze Zahl von 3 bis 8 sein.";
    return std::nullopt;
  }
  if (!k) {
    problem = "Die Anzahl der Seiten in Zeile 2 muss eine ganze Zahl von 1 bis 8 sein.";
    return std::nullopt;
  }
  ring.n = *n;
  ring.k = *k;
  for (int i = 0; i < kDice * kFaces; ++i) ring.faceTexts[i] = field(lines[2 + i]);
  return ring;
}

namespace {

// The folder the dialogs open in: the program's working directory, or nothing when it is gone.
std::string workingDirectory() {
  std::error_code error;
  const std::filesystem::path folder = std::filesystem::current_path(error);
  return error ? std::string() : folder.string();
}

}  // namespace

void cmdSpeichern_Click(Form& form) {
  if (!form.dialogs) return;
  const std::optional<std::string> chosen =
      form.dialogs->fileDialog(true, workingDirectory(), form.dialogFileName);
  if (!chosen || chosen->empty()) return saveFailed(form);
  form.dialogFileName = *chosen;
  const std::string text = ringFileText(form);
  if (text.size() > kLargestRingFile || !saveFileSafely(saveName(*chosen), text)) saveFailed(form);
}

void cmdLaden_Click(Form& form) {
  if (!form.dialogs) return;
  form.dialogFileName = "*vrf";
  const std::optional<std::string> chosen =
      form.dialogs->fileDialog(false, workingDirectory(), form.dialogFileName);
  if (!chosen) return;
  form.dialogFileName = *chosen;
  if (!endsWith(*chosen, ".vrf")) return;
  loadRingFile(form, *chosen);
}

bool loadRingFile(Form& form, const std::string& path) {
  std::string content, problem;
  std::optional<RingFile> ring;
  if (!endsWith(path, ".vrf")) {
    problem = "Nur Ringdateien mit der Endung .vrf können geladen werden.";
  } else if (readFile(path, content, problem)) {
    ring = parseRingFile(content, problem);
  }
  if (!ring) {
    if (form.dialogs)
      form.dialogs->messageBox("Laden abgebrochen!\r\n\r\n" + problem, kStopSign, "Eingabeproblem");
    return false;
  }
  form.Text1[0].setText(ring->dice);
  form.VScroll1[0].setValue(ring->n);
  form.Text1[1].setText(ring->faces);
  form.VScroll1[1].setValue(ring->k);
  for (int i = 0; i < kDice * kFaces; ++i) form.txtAuge[i].setText(ring->faceTexts[i]);
  ZeichneGraphik(form);
  return true;
}

}  // namespace varno
