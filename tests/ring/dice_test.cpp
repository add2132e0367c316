#include "ring/dice.h"

#include "ring/evaluation.h"
#include "ringfixture.h"
#include "window/wiring.h"

namespace varno {
namespace {

using Dice = RingTest;

TEST_F(Dice, NAndKShowExactlyTheDiceFacesAndResultFieldsInUseWithoutTouchingTheOthers) {
  setSize(5, 5);
  setDice(
      {{1, 2, 3, 40, 50}, {4, 5, 6, 7, 8}, {9, 10, 11, 12, 13}, {14, 15, 16, 17, 18}, {19, 20, 21, 22, 23}});
  EXPECT_EQ(form.txtSumme[0].text(), "96");
  setSize(3, 3);
  for (int i = 0; i < kDice; ++i) {
    EXPECT_EQ(form.frmWürfel[i].visible(), i < 3) << i;
    EXPECT_EQ(form.Text2[i].visible(), i < 3) << i;
    EXPECT_EQ(form.txtPGewinn[i].visible(), i < 3) << i;
    EXPECT_EQ(form.txtPGewinn[kDice + i].visible(), i < 3) << i;
    for (int f = 0; f < kFaces; ++f) EXPECT_EQ(face(form, i, f).visible(), f < 3) << i << ' ' << f;
  }
  // The hidden faces keep their texts; pair 2 is now die W3 against die W1; sums count faces in use.
  EXPECT_EQ(die(0, 5), (std::vector<std::string>{"1", "2", "3", "40", "50"}));
  EXPECT_EQ(die(4, 3), (std::vector<std::string>{"19", "20", "21"}));
  EXPECT_EQ(form.txtPGewinn[2].text(), " 9/ 9");
  EXPECT_EQ(form.txtSumme[0].text(), "6");
  setSize(3, 5);
  EXPECT_TRUE(face(form, 0, 4).visible());
  EXPECT_EQ(form.txtSumme[0].text(), "96");
  // One face: nothing to sort, and a hidden face stays where it is.
  setSize(3, 1);
  AugenSortieren(form);
  EXPECT_EQ(die(0, 2), (std::vector<std::string>{"1", "2"}));
  EXPECT_EQ(form.txtPGewinn[2].text(), " 1/ 1");
}

// Sorting is numeric and stable, moves texts unchanged, and leaves faces and dice out of use alone; every
// exchange is two writes, each evaluated.
TEST_F(Dice, SortingIsNumericStableMovesTextsUnchangedAndTouchesNothingOutOfUse) {
  const std::pair<std::vector<std::string>, std::vector<std::string>> rows[] = {
      {{"10", "9", " 2", "1"}, {" 2", "9", "10", "1"}},  // the fourth face is out of use
      {{"", "4", ""}, {"", "", "4"}},
      {{"5", " 5", "3"}, {"3", "5", " 5"}},
      {{"x", "-1", "0"}, {"-1", "x", "0"}},
  };
  // 7 5 3 -> 5 7 3 -> 5 3 7 -> 3 5 7: three exchanges, each two evaluated writes, through the dice 5 5 3,
  // 5 7 3, 5 3 3, 5 3 7, 3 3 7, 3 5 7, of which all but 5 3 3 and 3 3 7 make rings that count.
  setSize(3, 3);
  setDice({{7, 5, 3}, {2, 4, 9}, {1, 6, 8}});
  form.Text3[1].setText("0");
  AugenSortieren(form);
  EXPECT_EQ(die(0, 3), (std::vector<std::string>{"3", "5", "7"}));
  EXPECT_EQ(form.Text3[1].text() + form.txtRückmeldung.text(), "4" + std::string(kRechtsrum));
  for (const auto& [before, after] : rows) {
    setDie(1, before);
    AugenSortieren(form);
    EXPECT_EQ(die(1, static_cast<int>(after.size())), after);
  }
  // Every die in use sorted up to its last face; the dice out of use keep their order.
  setSize(4, 8);
  for (int d = 0; d < kDice; ++d)
    for (int f = 0; f < kFaces; ++f) face(form, d, f).setText(std::to_string(80 - 10 * d - f));
  AugenSortieren(form);
  for (int d = 0; d < 4; ++d)
    for (int f = 0; f + 1 < kFaces; ++f) EXPECT_LT(faceValue(form, d, f), faceValue(form, d, f + 1));
  for (int d = 4; d < kDice; ++d) EXPECT_EQ(face(form, d, 0).text(), std::to_string(80 - 10 * d));
}

TEST_F(Dice, ScrollBarsWriteNAndKOnlyWhileEvaluationIsEnabledButDraggingAlwaysDoes) {
  form.picEingabe.setVisible(true);
  form.VScroll1[0].setValue(6);
  EXPECT_EQ(form.Text1[0].text(), "6");
  EXPECT_FALSE(form.picEingabe.visible());
  EXPECT_TRUE(form.frmWürfel[5].visible());

  form.Freigabe = false;
  form.VScroll1[1].setValue(7);
  EXPECT_EQ(form.Text1[1].text(), "3");
  VScroll1_Scroll(form, 1);
  EXPECT_EQ(form.Text1[1].text(), "7");
}

}  // namespace
}  // namespace varno
