#include "window/ringfile.h"

#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>
#include <vector>

#include "form/form.h"
#include "graphic/drawing.h"
#include "ring/ring.h"
#include "window/safesave.h"

namespace varno {

namespace {

constexpr std::size_t kLargestFile = 64 * 1024;

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

// Whether the bytes are text: well-formed UTF-8 (no surrogates, nothing beyond U+10FFFF, no overlong
// forms) without control characters other than tab, CR and LF.
bool isText(const std::string& content) {
  for (std::size_t i = 0; i < content.size();) {
    const auto byte = static_cast<unsigned char>(content[i]);
    if (byte < 0x80) {
      if (byte < 0x20 && byte != '\t' && byte != '\r' && byte != '\n') return false;
      if (byte == 0x7f) return false;
      ++i;
      continue;
    }
    const int length = byte >= 0xf0 && byte <= 0xf4  ? 4
                       : byte >= 0xe0 && byte < 0xf0 ? 3
                       : byte >= 0xc2 && byte < 0xe0 ? 2
                                                     : 0;
    if (length == 0 || i + length > content.size()) return false;
    for (int j = 1; j < length; ++j)
      if ((static_cast<unsigned char>(content[i + j]) & 0xc0) != 0x80) return false;
    // The second byte narrows what the first allows.
    const auto second = static_cast<unsigned char>(content[i + 1]);
    if ((byte == 0xe0 && second < 0xa0) || (byte == 0xed && second > 0x9f) ||
        (byte == 0xf0 && second < 0x90) || (byte == 0xf4 && second > 0x8f))
      return false;
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

// Reads a regular file, at most one byte more than a ring file may have: enough to know it is too large.
bool readFile(const std::string& path, std::string& content) {
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error)) return false;
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  content.resize(kLargestFile + 1);
  in.read(content.data(), static_cast<std::streamsize>(content.size()));
  if (in.bad()) return false;
  content.resize(static_cast<std::size_t>(in.gcount()));
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
  if (content.size() > kLargestFile) {
    problem = "Die Datei ist zu groß für eine Ringdatei.";
    return std::nullopt;
  }
  // An editor may begin the text with the byte-order mark of UTF-8.
  const std::string_view kByteOrderMark = "\xEF\xBB\xBF";
  if (content.starts_with(kByteOrderMark))
    return parseRingFile(content.substr(kByteOrderMark.size()), problem);
  if (!isText(content)) {
    problem = "Die Datei ist keine Textdatei.";
    return std::nullopt;
  }
  // A CR of its own would end up inside a face and split the line when the ring is saved again.
  for (std::size_t at = content.find('\r'); at != std::string::npos; at = content.find('\r', at + 1)) {
    if (at + 1 == content.size() || content[at + 1] != '\n') {
      problem = "Die Zeilen der Datei enden nicht mit CR LF oder LF.";
      return std::nullopt;
    }
  }
  std::vector<std::string> lines;
  std::istringstream stream(content);
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
  if (!saveFileSafely(saveName(*chosen), ringFileText(form))) saveFailed(form);
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
  } else if (!readFile(path, content)) {
    problem = "Die Datei kann nicht gelesen werden.";
  } else {
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
