#include "window/ringstate.h"

#include <algorithm>

#include "ring/evaluation.h"
#include "ring/ringfixture.h"
#include "window/examples.h"
#include "window/pad.h"
#include "window/ringfile.h"

namespace varno {
namespace {

using RingStates = RingTest;

TEST_F(RingStates, ARingComesBackExactlyWithItsHiddenFacesEvaluatedOnceAndDrawnWithoutSorting) {
  // A ring whose first die is not in order, with texts on hidden faces and dice.
  setSize(3, 3);
  setDice({{7, 3, 5}, {2, 4, 9}, {1, 6, 8}});
  face(form, 0, 5).setText("h05");
  face(form, 7, 7).setText("h77");
  const RingState saved = ringState(form);
  // Another shape and other faces everywhere, the hidden ones too; a face selected for the pad.
  setSize(5, 4);
  for (int i = 0; i < kDice * kFaces; ++i) form.txtAuge[i].setText(std::to_string(100 + i));
  txtAuge_Click(form, 1);
  form.Text3[1].setText("40");
  form.ausgabe.Cls();
  ASSERT_TRUE(form.picEingabe.visible());

  restoreRing(form, saved);
  EXPECT_EQ(ringState(form), saved);  // the first die not sorted
  EXPECT_EQ(form.VScroll1[0].value() * 10 + form.VScroll1[1].value(), 33);
  EXPECT_EQ(form.txtRückmeldung.text(), kRechtsrum);
  EXPECT_EQ(form.txtPGewinn[2].text(), " 5/ 9");
  EXPECT_EQ(form.Text3[1].text(), "41");  // one evaluation for the whole ring
  // Drawn in full, the fractions of the ring restored: spokes, labels, curves, boxes and fractions.
  const std::vector<Primitive>& drawn = form.ausgabe.primitives();
  EXPECT_EQ(drawn.size(), 3u + 3 + 9 * 11 + 3 + 3);
  EXPECT_EQ(std::count_if(drawn.begin(), drawn.end(), [](const Primitive& p) { return p.text == " 5/ 9"; }),
            3);
  EXPECT_EQ(form.txtEintrag.text(), "3");   // the selected face as it is now
  EXPECT_FALSE(form.picEingabe.visible());  // the shape changed

  // The same shape again: the pad stays where it is.
  form.picEingabe.setVisible(true);
  face(form, 0, 1).setText("12");  // no ring: not counted
  restoreRing(form, saved);
  EXPECT_EQ(ringState(form), saved);
  EXPECT_TRUE(form.picEingabe.visible());
  EXPECT_EQ(form.Text3[1].text(), "42");
}

using Examples = RingTest;

// Each example writes only its own faces, so that those of an earlier one show through, in a file too.
TEST_F(Examples, EveryExampleIsAVarnoRingWithItsProbabilitiesAndWritesOnlyItsOwnFaces) {
  // The fractions of the pairs and the verdict.
  const auto fractions = [&](int n) {
    std::string texts;
    for (int i = 0; i < n; ++i) texts += form.txtPGewinn[i].text();
    return texts + form.txtRückmeldung.text();
  };
  cmdVarno_Click(form);
  EXPECT_EQ(fractions(4), " 24/ 36 24/ 36 24/ 36 24/ 36 ja, rechtsrum");
  for (int i = 0; i < 4; ++i) EXPECT_EQ(form.Text2[i].text(), "0");
  EXPECT_EQ(die(3, 6), (std::vector<std::string>{"4", "4", "4", "4", "10", "10"}));

  cmdMini_Click(form);
  EXPECT_EQ(fractions(3), " 5/ 9 5/ 9 5/ 9 ja, rechtsrum");
  EXPECT_EQ(die(0, 6), (std::vector<std::string>{"3", "5", "7", "9", "9", "9"}));
  EXPECT_EQ(die(3, 6), (std::vector<std::string>{"4", "4", "4", "4", "10", "10"}));
  EXPECT_EQ(ringFileText(form).substr(0, 30), "3\r\n3\r\n3\r\n5\r\n7\r\n9\r\n9\r\n9\r\n0\r\n0\r\n");

  cmdZyklisch_Click(form);
  EXPECT_EQ(fractions(5), " 14/ 25 14/ 25 14/ 25 14/ 25 14/ 25 ja, rechtsrum");
  EXPECT_EQ(form.txtPGewinn[kDice].text(), " .55");  // 14 / 5 / 5 in doubles is just below .56
  std::vector<int> all = shownRing(5, 5);
  std::sort(all.begin(), all.end());
  for (int i = 0; i < 25; ++i) EXPECT_EQ(all[i], i + 1);
  EXPECT_EQ(die(1, 5), (std::vector<std::string>{"4", "8", "12", "16", "25"}));

  cmdMaxMin_Click(form);
  EXPECT_EQ(fractions(4), " 10/ 16 10/ 16 12/ 16 12/ 16 ja, rechtsrum");
  EXPECT_EQ(form.VScroll1[0].value(), 4);
  EXPECT_EQ(form.VScroll1[1].value(), 4);
}

}  // namespace
}  // namespace varno
