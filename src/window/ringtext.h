// The ring as text, for the clipboard and the command line. "Ring kopieren" writes the dice separated by
// " | " and the faces of a die by blanks, "3 5 7 | 2 4 9 | 1 6 8"; "Ring einfügen" also reads rings as
// people write them elsewhere:
//
//   3 5 7 | 2 4 9 | 1 6 8            dice separated by "|"
//   3,5,7; 2,4,9; 1,6,8              dice separated by ";"
//   (3, 5, 7), (2, 4, 9), (1, 6, 8)  every die in brackets, "(...)" or "[...]",
//   [[3,5,7],[2,4,9],[1,6,8]]        also all of them once more in brackets
//   one die per line
//
// and the faces of a die separated by blanks or by commas.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace varno {

class Form;

// The longest text read as a ring: as long as a ring file may be. Anything longer is refused before it is
// looked at.
constexpr std::size_t kLongestRingText = 64 * 1024;

// The ring the window shows: dice 1..n, faces 1..k, every face as the plain decimal form of its value
// (an empty face or one that is not a number as its value by the leading-number rule, "0" and so on).
std::string ringText(const Form& form);

// A ring read from such a text: 3 to 8 dice of 1 to 8 faces each, every die with as many faces as the
// others, every face a decimal number (kept digit for digit, in its plain form). A text that is no ring
// gives nothing and says why in `problem`.
struct RingText {
  std::vector<std::vector<std::string>> dice;
};
std::optional<RingText> parseRingText(const std::string& text, std::string& problem);

// Where a ring text comes from: the clipboard ("Ring einfügen") or the command line ("--ring").
enum class RingSource { Clipboard, CommandLine };

// Puts a ring read from a text into the window: n and k, the faces of the dice in use (the others keep
// their texts), and the graphic in full. A text that is not a ring gets a message and changes nothing.
// Returns whether it was a ring.
bool pasteRing(Form& form, const std::string& text, RingSource source = RingSource::Clipboard);

}  // namespace varno
