#include "window/ringtext.h"

#include <sstream>

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
      text += isDecimalNumber(plain) ? plain : plainNumber(leadingNumber(shown));
    }
  }
  return text;
}

std::optional<RingText> parseRingText(const std::string& text, std::string& problem) {
  RingText ring;
  std::istringstream dice(text);
  for (std::string die; std::getline(dice, die, '|');) {
    std::istringstream faces(die);
    ring.dice.emplace_back();
    for (std::string face; faces >> face;) {
      if (!isDecimalNumber(face)) {
        problem = "\"" + face + "\" ist keine Zahl.";
        return std::nullopt;
      }
      ring.dice.back().push_back(plainDecimal(face));
    }
  }
  if (!text.empty() && text.back() == '|') ring.dice.emplace_back();
  const int n = static_cast<int>(ring.dice.size());
  const int k = n > 0 ? static_cast<int>(ring.dice[0].size()) : 0;
  if (n < kMinDice || n > kMaxDice) {
    problem = "Ein Ring hat 3 bis 8 Würfel, getrennt durch \"|\".";
    return std::nullopt;
  }
  for (const auto& die : ring.dice) {
    if (static_cast<int>(die.size()) != k || k < kMinFaces || k > kMaxFaces) {
      problem = "Jeder Würfel braucht gleich viele Seiten, 1 bis 8.";
      return std::nullopt;
    }
  }
  return ring;
}

bool pasteRing(Form& form, const std::string& text) {
  std::string problem;
  const std::optional<RingText> ring = parseRingText(text, problem);
  if (!ring) {
    if (form.dialogs)
      form.dialogs->messageBox("Einfügen abgebrochen!\r\n\r\nDer Text ist kein Ring: " + problem, kStopSign,
                               "Eingabeproblem");
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
