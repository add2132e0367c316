#include "window/ringfile.h"

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>
#include <vector>

#include "form/form.h"
#include "graphic/drawing.h"
#include "ring/ring.h"

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

// Whether the whole text is a decimal number by the leading-number rule.
bool isNumber(const std::string& text) {
  std::size_t i = 0;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  bool digits = false, point = false;
  for (; i < text.size(); ++i) {
    if (text[i] >= '0' && text[i] <= '9') {
      digits = true;
    } else if (text[i] == '.' && !point) {
      point = true;
    } else {
      return false;
    }
  }
  return digits;
}

// A field as the window takes it: blanks dropped, a number in its plain decimal form (007 is 7).
std::string field(const std::string& line) {
  const std::string text = trimmed(line);
  return isNumber(text) ? plainNumber(leadingNumber(text)) : text;
}

// Whether the bytes are text: valid UTF-8 without control characters other than tab, CR and LF.
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
                       : byte >= 0xe0                ? 3
                       : byte >= 0xc2 && byte < 0xe0 ? 2
                                                     : 0;
    if (length == 0 || i + length > content.size()) return false;
    for (int j = 1; j < length; ++j)
      if ((static_cast<unsigned char>(content[i + j]) & 0xc0) != 0x80) return false;
    i += length;
  }
  return true;
}

// n or k from its line: a whole number within the scroll bar's range.
std::optional<int> count(const std::string& text, int minimum, int maximum) {
  if (!isNumber(text)) return std::nullopt;
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

bool writeFileSafely(const std::string& path, const std::string& content) {
  namespace fs = std::filesystem;
  const fs::path target(path);
  if (fs::is_directory(target)) return false;
  fs::path temporary = target;
  temporary += ".part";
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
    out.flush();
    if (!out) {
      out.close();
      std::error_code ignored;
      fs::remove(temporary, ignored);
      return false;
    }
  }
  std::error_code error;
  fs::rename(temporary, target, error);
  if (error) {
    std::error_code ignored;
    fs::remove(temporary, ignored);
    return false;
  }
  return true;
}

void cmdSpeichern_Click(Form& form) {
  if (!form.dialogs) return;
  const std::optional<std::string> chosen =
      form.dialogs->fileDialog(true, std::filesystem::current_path().string(), form.dialogFileName);
  if (!chosen || chosen->empty()) return saveFailed(form);
  form.dialogFileName = *chosen;
  if (!writeFileSafely(saveName(*chosen), ringFileText(form))) saveFailed(form);
}

void cmdLaden_Click(Form& form) {
  if (!form.dialogs) return;
  form.dialogFileName = "*vrf";
  const std::optional<std::string> chosen =
      form.dialogs->fileDialog(false, std::filesystem::current_path().string(), form.dialogFileName);
  if (!chosen) return;
  form.dialogFileName = *chosen;
  if (!endsWith(*chosen, ".vrf")) return;

  std::string content, problem;
  std::optional<RingFile> ring;
  if (!readFile(*chosen, content)) {
    problem = "Die Datei kann nicht gelesen werden.";
  } else {
    ring = parseRingFile(content, problem);
  }
  if (!ring) {
    form.dialogs->messageBox("Laden abgebrochen!\r\n\r\n" + problem, kStopSign, "Eingabeproblem");
    return;
  }

  form.Text1[0].setText(ring->dice);
  form.VScroll1[0].setValue(ring->n);
  form.Text1[1].setText(ring->faces);
  form.VScroll1[1].setValue(ring->k);
  for (int i = 0; i < kDice * kFaces; ++i) form.txtAuge[i].setText(ring->faceTexts[i]);
  ZeichneGraphik(form);
}

}  // namespace varno
