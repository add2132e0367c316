#include "window/ringtext.h"

#include <gtest/gtest.h>

#include "form/form.h"
#include "ring/ringfixture.h"

namespace varno {
namespace {

// The dice read, written as "Ring kopieren" writes them.
std::string shown(const RingText& ring) {
  std::string text;
  for (const auto& die : ring.dice) {
    if (!text.empty()) text += " | ";
    for (std::size_t f = 0; f < die.size(); ++f) text += (f ? " " : "") + die[f];
  }
  return text;
}

TEST(RingText, EveryWayOfWritingARingIsReadAndEveryTextThatIsNoRingIsRefusedWithItsReason) {
  const std::string padded = "1 2 | 3 4 | 5 6";  // a ring exactly as long as a ring text may be
  std::string eightByEight;
  for (int d = 0; d < 8; ++d)
    for (int f = 0; f < 8; ++f) eightByEight += (f ? " " : d ? " | " : "") + std::to_string(10 * d + f);
  std::string umlauts;  // fifteen, two bytes each
  for (int i = 0; i < 15; ++i) umlauts += "ä";
  const struct {
    const char* name;
    std::string text;
    std::string ring;       // what is read, or nothing
    std::string problem{};  // why it is refused
  } rows[] = {
      {"bars", "3 5 7 | 2 4 9 | 1 6 8", "3 5 7 | 2 4 9 | 1 6 8"},
      {"bars, tabs and no blanks", " 1\t2|3  4|5 6 ", "1 2 | 3 4 | 5 6"},
      {"commas between the faces of bars", "1,3 | 2, 4 |5 ,6|7,  8", "1 3 | 2 4 | 5 6 | 7 8"},
      {"round brackets", "(3, 5, 17), (2, 4, 19), (1, 6, 18)", "3 5 17 | 2 4 19 | 1 6 18"},
      {"square brackets in square brackets", "[[3,5,27],[2,4,29],[1,6,28]]\n", "3 5 27 | 2 4 29 | 1 6 28"},
      {"round in round, blanks inside", "( (1 9) ; [2 8](3 7) )", "1 9 | 2 8 | 3 7"},
      {"semicolons", "3,5,37; 2,4,39; 1,6,38", "3 5 37 | 2 4 39 | 1 6 38"},
      {"one die per line", "3 5 57\r\n2 4 59\n\n  \n1 6 58\n", "3 5 57 | 2 4 59 | 1 6 58"},
      {"plain decimal forms", "007 +2.50 | -0 .5 | 0.25 3.", "7 2.5 | 0 .5 | .25 3"},
      {"eight dice of eight faces", eightByEight, eightByEight},
      {"three dice of one face", "(5)(3)(4)", "5 | 3 | 4"},
      {"as long as a ring text may be", padded + std::string(kLongestRingText - padded.size(), ' '),
       "1 2 | 3 4 | 5 6"},
      {"one byte longer", padded + std::string(kLongestRingText - padded.size() + 1, ' '), "",
       "Der Text ist zu lang für einen Ring."},
      {"empty", "", "", "Ein Ring hat 3 bis 8 Würfel."},
      {"bars without faces", " | | ", "", "Ein Würfel hat 1 bis 8 Seiten."},
      {"two dice", "1 2 | 3 4", "", "Ein Ring hat 3 bis 8 Würfel."},
      {"nine dice", "1|2|3|4|5|6|7|8|9", "", "Ein Ring hat 3 bis 8 Würfel."},
      {"nine faces", "1 2 3 4 5 6 7 8 9 | 1 | 1", "", "Ein Würfel hat 1 bis 8 Seiten."},
      {"an empty die in brackets", "(1), (), (3)", "", "Ein Würfel hat 1 bis 8 Seiten."},
      {"dice of unequal size", "1 2 | 3 | 4 5", "", "Jeder Würfel braucht gleich viele Seiten."},
      {"a word", "1 x | 2 3 | 4 5", "", "\"x\" ist keine Zahl."},
      {"an exponent", "(1e3, 2), (3, 4), (5, 6)", "", "\"1e3\" ist keine Zahl."},
      {"an invisible mark", "\uFEFF1 | 2 | 3", "", "\"\uFEFF1\" ist keine Zahl."},
      {"a long word, cut inside a character", "1 x" + umlauts + " | 2 | 3", "",
       "\"x" + umlauts.substr(0, 22) + "…\" ist keine Zahl."},
      {"a long word, cut between characters", "1 xx" + umlauts + " | 2 | 3", "",
       "\"xx" + umlauts.substr(0, 22) + "…\" ist keine Zahl."},
      {"two commas", "1,,2; 3,4,5; 6,7,8", "", "Vor oder nach einem Komma fehlt eine Zahl."},
      {"a bracket left open", "(1,2),(3,4),(5,6", "", "Die Klammern passen nicht zusammen."},
      {"brackets of two kinds", "(1,2],[3,4],[5,6]", "", "Die Klammern passen nicht zusammen."},
      {"the outer bracket left open", "[[1,2],[3,4],[5,6]", "", "Die Klammern passen nicht zusammen."},
      {"a die without brackets", "(1,2), 3 4, (5,6)", "", "Jeder Würfel gehört in eigene Klammern."},
  };
  for (const auto& row : rows) {
    std::string problem{};  // why it is refused
    const std::optional<RingText> ring = parseRingText(row.text, problem);
    EXPECT_EQ(ring ? shown(*ring) : "", row.ring) << row.name;
    EXPECT_EQ(problem, row.problem) << row.name;
  }
}

// "Ring kopieren" writes each face as the value it counts with, digit for digit: a text the leading-number
// rule reads only in part gives the number it reads, however many digits it has.
TEST_F(RingTest, ACopiedRingWritesTheValueOfEveryFaceWithAllItsDigits) {
  setSize(3, 2);
  const char* faces[3][2] = {
      {" 12345678901234567890", "007.50"}, {"98765432109876543210.5x", "1.5E+3"}, {"abc", "-0.25 Punkte"}};
  for (int d = 0; d < 3; ++d)
    for (int f = 0; f < 2; ++f) face(form, d, f).setText(faces[d][f]);
  EXPECT_EQ(ringText(form), "12345678901234567890 7.5 | 98765432109876543210.5 1.5 | 0 -.25");
}

}  // namespace
}  // namespace varno
