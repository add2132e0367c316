// No value the user sees changes into another: raising, lowering, reversing and sums work on the digits
// themselves, and keep the number format wherever a double would keep the value too.
#include "graphic/drawing.h"
#include "ring/evaluation.h"
#include "ring/ringfixture.h"
#include "window/commands.h"
#include "window/mouseedit.h"

namespace varno {
namespace {

using Values = RingTest;
using Commands = RingTest;
using MouseEdit = RingTest;

TEST_F(Values, EveryEditKeepsEveryDigit) {
  // A face's text, then after a left click on its marker (+1), a right or middle click (-1, not below 0),
  // and "umdrehen" (rounded, halves to even, in the number format).
  const std::tuple<const char*, const char*, const char*, const char*, const char*> rows[] = {
      // A double keeps these: the number format as always.
      {"whole", "5", " 6", " 4", " 5"},
      {"empty", "", " 1", "", " 0"},
      {"one", " 1", " 2", " 0", " 1"},
      {"half", "2.5", " 3.5", " 1.5", " 2"},
      {"odd half", "3.5", " 4.5", " 2.5", " 4"},
      {"below one", ".55", " 1.55", "-.45", " 1"},
      {"negative half", "-.5", " .5", "-.5", " 0"},
      {"text after it", "7x", " 8", " 6", " 7"},
      // A double would not: " 1.23456789012346E+15" reads as 1.23, " 1E+23" as 1.
      {"16 digits", "1234567890123456", " 1234567890123457", " 1234567890123455", " 1234567890123456"},
      {"23 digits", "99999999999999999999999", " 100000000000000000000000", " 99999999999999999999998",
       " 99999999999999999999999"},
      {"long fraction", "2.00000000000000001", " 3.00000000000000001", " 1.00000000000000001", " 2"},
      {"near zero", "-.99999", " .00001", "-.99999", "-1"},  // a double makes 1.00000000000655E-05
      {"large half", "-12345678901234567.5", "-12345678901234566.5", "-12345678901234567.5",
       "-12345678901234568"},
  };
  for (const auto& [name, text, left, right, reversed] : rows) {
    setSize(3, 1);
    for (const auto& [button, expected] :
         {std::pair{kLeftButton, left}, std::pair{kRightButton, right}, std::pair{kMiddleButton, right}}) {
      face(form, 0, 0).setText(text);
      shpkreis_MouseDown(form, 11, button);
      EXPECT_EQ(face(form, 0, 0).text(), expected) << name << ", button " << button;
    }
    // Die 1 goes to the place of die 3 rounded, and comes back so; die 2 stays in the middle, rounded too.
    setDie(0, {text});
    setDie(1, {text});
    setDie(2, {"9"});
    cmdSpiegeln_Click(form);
    EXPECT_EQ(face(form, 2, 0).text() + face(form, 0, 0).text(), std::string(reversed) + "9") << name;
    EXPECT_EQ(face(form, 1, 0).text(), reversed) << name;
    cmdSpiegeln_Click(form);
    EXPECT_EQ(face(form, 0, 0).text() + face(form, 2, 0).text(), std::string(reversed) + " 9") << name;
  }
}

TEST_F(Values, SumsKeepEveryDigit) {
  const std::string huge = "8" + std::string(300, '0');
  const std::tuple<const char*, std::vector<std::string>, std::string> rows[] = {
      {"fractions", {"2.5", "-.75", "abc"}, "1.75"},
      {"tenths", {".1", ".2", ""}, ".3"},
      {"negative", {"-.25", " 0", ""}, "-.25"},
      {"small", {"0.00001", "0", ""}, ".00001"},                                            // not "1E-05"
      {"15 digits each", {"999999999999999", "999999999999999", "2"}, "2000000000000000"},  // not "2E+15"
      {"15 digits and a fraction", {"100000000000000", ".25", ""}, "100000000000000.25"},
      {"23 digits", {"99999999999999999999999", "1", "0"}, "100000000000000000000000"},  // not "1E+23"
      {"301 digits", {huge, huge, "1"}, "16" + std::string(299, '0') + "1"},             // not "1.6E+301"
  };
  setSize(3, 3);
  for (const auto& [name, faces, sum] : rows) {
    setDie(1, faces);
    EXPECT_EQ(form.txtSumme[1].text(), sum) << name;
  }
}

TEST_F(Values, FacesADoubleHoldsAsOneNumberWinLoseAndAreSortedAsTheyRead) {
  // (3, 5, 7), (2, 4, 9), (1, 6, 8) just above 2^53 = 9007199254740992, where a double holds only every
  // second number (993 and 995 become 992 and 996, 997 too); the first die written out of order.
  const auto big = [](int value) { return std::to_string(9007199254740990LL + value); };
  setSize(3, 3);
  setDie(0, {big(7), big(3), big(5)});
  setDie(1, {big(2), big(4), big(9)});
  setDie(2, {big(1), big(6), big(8)});
  EXPECT_EQ(form.txtPGewinn[0].text() + form.Text2[0].text() + form.txtRückmeldung.text(),
            " 5/ 90 ja, rechtsrum");
  ZeichneGraphik(form);
  EXPECT_EQ(die(0, 3), (std::vector<std::string>{big(3), big(5), big(7)}));
  face(form, 1, 0).setText("1" + big(2));  // 2 becomes the largest face: 4 wins more, 3 losses more
  EXPECT_EQ(form.txtPGewinn[1].text() + form.txtPGewinn[0].text(), " 7/ 9 2/ 9");
}

// An even ring here; an odd one, whose middle die is rounded in its place: EveryEditKeepsEveryDigit.
TEST_F(Commands, ReversingMovesTextsToTheFirstHalfAndWritesTheSecondRoundedInTheNumberFormat) {
  const std::vector<std::vector<std::string>> before = {{"x", "1"}, {"3", "4"}, {"", "5"}, {"7", "8"}},
                                              after = {{"7", "8"}, {"", "5"}, {" 3", " 4"}, {" 0", " 1"}};
  setSize(4, 2);
  for (int d = 0; d < 4; ++d) setDie(d, before[d]);
  face(form, 0, 7).setText("keep");  // beyond k: untouched
  cmdSpiegeln_Click(form);
  for (int d = 0; d < 4; ++d) EXPECT_EQ(die(d, 2), after[d]) << d;
  EXPECT_EQ(face(form, 0, 7).text(), "keep");
  EXPECT_FALSE(form.ausgabe.primitives().empty());  // redrawn in full
}

// Clearing a die empties all its faces, the hidden ones too (the pad's buffer: in the pad's tests); the
// empty set empties every face and draws the skeleton only. Neither acts while evaluation is off.
TEST_F(Commands, ClearingEmptiesTheFacesAndThePadBufferButNothingWhileEvaluationIsOff) {
  minimalRing();
  form.Freigabe = false;
  cmdLösch_Click(form, 0);
  Command1_Click(form);
  EXPECT_EQ(die(0, 3), (std::vector<std::string>{"3", "5", "7"}));
  form.Freigabe = true;
  for (int f = 3; f < kFaces; ++f) face(form, 1, f).setText("hidden");
  cmdLösch_Click(form, 1);
  for (int f = 0; f < kFaces; ++f) EXPECT_EQ(face(form, 1, f).text(), "") << f;
  EXPECT_EQ(die(0, 3), (std::vector<std::string>{"3", "5", "7"}));
  EXPECT_EQ(form.txtSumme[1].text(), "0");

  face(form, 7, 7).setText("99");
  ZeichneGraphik(form);
  Command1_Click(form);
  for (const Control& field : form.txtAuge) EXPECT_EQ(field.text(), "");
  EXPECT_EQ(form.txtRückmeldung.text(), kNein);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(form.Text2[i].text(), "9");
  EXPECT_EQ(form.ausgabe.primitives().size(), 6u);  // three spokes, three labels
}

// A raised face moves outwards when its die is sorted again; every click redraws, even one that changes
// nothing; hovering shows a face. Which values the buttons write: EveryEditKeepsEveryDigit.
TEST_F(MouseEdit, ARaisedFaceMovesOutwardsEveryClickRedrawsAndHoveringShowsTheFace) {
  setSize(3, 3);
  setDie(1, {" 0", " 5", " 5"});
  ZeichneGraphik(form);
  shpkreis_MouseDown(form, 22, kLeftButton);  // die 2, face 2
  EXPECT_EQ(die(1, 3), (std::vector<std::string>{" 0", " 5", " 6"}));
  const std::uint64_t drawn = form.ausgabe.revision();
  shpkreis_MouseDown(form, 21, kRightButton);
  EXPECT_EQ(face(form, 1, 0).text(), " 0");
  EXPECT_GT(form.ausgabe.revision(), drawn);
  // Hovering shows the face's text just below its marker; the bare surface hides it.
  shpkreis_MouseMove(form, 22);
  EXPECT_TRUE(form.txtBeschriftung.visible());
  EXPECT_EQ(form.txtBeschriftung.text(), " 5");
  EXPECT_DOUBLE_EQ(form.txtBeschriftung.geometry().left, form.shpkreis[22].geometry().left);
  EXPECT_DOUBLE_EQ(form.txtBeschriftung.geometry().top, form.shpkreis[22].geometry().top - 2);
  picAusgabe_MouseMove(form);
  EXPECT_FALSE(form.txtBeschriftung.visible());
}

}  // namespace
}  // namespace varno
