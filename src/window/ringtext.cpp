#include "window/ringtext.h"

#include <string_view>

#include "form/form.h"
#include "form/numbertext.h"
#include "graphic/drawing.h"
#include "ring/dice.h"
#include "ring/ring.h"
#include "rules/ringrules.h"

namespace varno {

std::string ringText(const Form& form) {
  const int n = Würfelanzahl(form), k = Seitenzahl(form);
  std::string text;
  for (int d = 0; d < n; ++d) {
    if (d > 0) text += " | ";
    for (int f = 0; f < k; ++f) {
      if (f > 0) text += ' ';
      const std::string& shown = face(form, d, f).text();
      const std::string plain = plainDecimal(shown);
      text += isDecimalNumber(plain) ? plain : Decimal::of(shown).plain();
    }
  }
  return text;
}

namespace {

constexpr std::string_view kBlanks = " \t\r\n";

std::string_view trimmed(std::string_view text) {
  const std::size_t first = text.find_first_not_of(kBlanks);
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

std::vector<std::string_view> split(std::string_view text, char separator) {
  std::vector<std::string_view> parts;
  for (std::size_t start = 0;;) {
    const std::size_t end = text.find(separator, start);
    parts.push_back(text.substr(start, end == std::string_view::npos ? end : end - start));
    if (end == std::string_view::npos) return parts;
    start = end + 1;
  }
}

// A text quoted in a message, cut after a few characters (not inside one).
std::string quoted(std::string_view text) {
  constexpr std::size_t kShown = 24;
  if (text.size() <= kShown) return "\"" + std::string(text) + "\"";
  std::size_t end = kShown;
  while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
  return "\"" + std::string(text.substr(0, end)) + "…\"";
}

// The faces of one die: separated by commas, or by blanks where there is no comma.
bool readDie(std::string_view text, std::vector<std::string>& die, std::string& problem) {
  std::vector<std::string_view> faces;
  if (text.find(',') != std::string_view::npos) {
    for (std::string_view part : split(text, ',')) {
      faces.push_back(trimmed(part));
      if (faces.back().empty()) {
        problem = "Vor oder nach einem Komma fehlt eine Zahl.";
        return false;
      }
    }
  } else {
    for (std::size_t at = text.find_first_not_of(kBlanks); at != std::string_view::npos;) {
      const std::size_t end = text.find_first_of(kBlanks, at);
      faces.push_back(text.substr(at, end == std::string_view::npos ? end : end - at));
      at = end == std::string_view::npos ? end : text.find_first_not_of(kBlanks, end);
    }
  }
  for (std::string_view face : faces) {
    if (!isDecimalNumber(face)) {
      problem = quoted(face) + " ist keine Zahl.";
      return false;
    }
    die.push_back(plainDecimal(face));
  }
  return true;
}

bool isOpening(char c) {
  return c == '(' || c == '[';
}
char closing(char opening) {
  return opening == '(' ? ')' : ']';
}

// The dice of a text in brackets: "(3, 5, 7), (2, 4, 9), ..." or all of them once more in brackets,
// "[[3,5,7],[2,4,9],...]". Between the dice may stand blanks, commas and semicolons.
bool readBrackets(std::string_view text, std::vector<std::string_view>& dice, std::string& problem) {
  const std::size_t inner = text.find_first_not_of(kBlanks, 1);
  if (inner != std::string_view::npos && isOpening(text[inner])) {
    if (text.back() != closing(text.front())) {
      problem = "Die Klammern passen nicht zusammen.";
      return false;
    }
    text = trimmed(text.substr(1, text.size() - 2));
  }
  for (std::size_t at = 0; at < text.size();) {
    const char c = text[at];
    if (kBlanks.find(c) != std::string_view::npos || c == ',' || c == ';') {
      ++at;
      continue;
    }
    if (!isOpening(c)) {
      problem = "Jeder Würfel gehört in eigene Klammern.";
      return false;
    }
    const std::size_t end = text.find_first_of("()[]", at + 1);
    if (end == std::string_view::npos || text[end] != closing(c)) {
      problem = "Die Klammern passen nicht zusammen.";
      return false;
    }
    dice.push_back(text.substr(at + 1, end - at - 1));
    at = end + 1;
  }
  return true;
}

}  // namespace

std::optional<RingText> parseRingText(const std::string& text, std::string& problem) {
  // Nothing longer than a ring can be is looked at, however much the clipboard holds.
  if (text.size() > kLongestRingText) {
    problem = "Der Text ist zu lang für einen Ring.";
    return std::nullopt;
  }
  const std::string_view body = trimmed(text);
  std::vector<std::string_view> dice;
  if (!body.empty() && isOpening(body.front())) {
    if (!readBrackets(body, dice, problem)) return std::nullopt;
  } else if (body.find('|') != std::string_view::npos) {
    dice = split(body, '|');
  } else if (body.find(';') != std::string_view::npos) {
    dice = split(body, ';');
  } else {
    // One die per line; empty lines between them do not count.
    for (std::string_view line : split(body, '\n'))
      if (!trimmed(line).empty()) dice.push_back(line);
  }
  RingText ring;
  for (std::string_view die : dice) {
    ring.dice.emplace_back();
    if (!readDie(die, ring.dice.back(), problem)) return std::nullopt;
  }
  const int n = static_cast<int>(ring.dice.size());
  if (n < kMinDice || n > kMaxDice) {
    problem = "Ein Ring hat 3 bis 8 Würfel.";
    return std::nullopt;
  }
  for (const auto& die : ring.dice) {
    const int k = static_cast<int>(die.size());
    if (k < kMinFaces || k > kMaxFaces) {
      problem = "Ein Würfel hat 1 bis 8 Seiten.";
      return std::nullopt;
    }
  }
  for (const auto& die : ring.dice) {
    if (die.size() != ring.dice.front().size()) {
      problem = "Jeder Würfel braucht gleich viele Seiten.";
      return std::nullopt;
    }
  }
  return ring;
}

bool pasteRing(Form& form, const std::string& text, RingSource source) {
  std::string problem;
  const std::optional<RingText> ring = parseRingText(text, problem);
  if (!ring) {
    if (form.dialogs) {
      const std::string prompt = source == RingSource::CommandLine
                                     ? "Der beim Start angegebene Ring wird nicht gezeigt!\r\n\r\nDer Text "
                                       "nach --ring ist kein Ring: "
                                     : "Einfügen abgebrochen!\r\n\r\nDer Text ist kein Ring: ";
      form.dialogs->messageBox(prompt + problem, kStopSign, "Eingabeproblem");
    }
    return false;
  }
  const int n = static_cast<int>(ring->dice.size()), k = static_cast<int>(ring->dice[0].size());
  setRingSize(form, n, k);
  for (int d = 0; d < n; ++d)
    for (int f = 0; f < k; ++f) face(form, d, f).setText(ring->dice[d][f]);
  ZeichneGraphik(form);
  return true;
}

}  // namespace varno
