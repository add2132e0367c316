// The ring as one line of text, for the clipboard and the command line: the dice separated by " | ",
// the faces of a die by blanks, for example "3 5 7 | 2 4 9 | 1 6 8".
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace varno {

class Form;

// The ring the window shows: dice 1..n, faces 1..k, every face as the plain decimal form of its value
// (an empty face or one that is not a number as its value by the leading-number rule, "0" and so on).
std::string ringText(const Form& form);

// A ring read from such a text: 3 to 8 dice of 1 to 8 faces each, every die with as many faces as the
// others, every face a decimal number (kept digit for digit). Blanks around the separators may vary.
struct RingText {
  std::vector<std::vector<std::string>> dice;
};
std::optional<RingText> parseRingText(const std::string& text, std::string& problem);

// Puts a ring read from a text into the window: n and k, the faces of the dice in use (the others keep
// their texts), and the graphic in full. A text that is not a ring gets a message and changes nothing.
// Returns whether it was a ring.
bool pasteRing(Form& form, const std::string& text);

}  // namespace varno
