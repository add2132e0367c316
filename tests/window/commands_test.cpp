#include "window/commands.h"

#include "graphic/drawing.h"
#include "ring/evaluation.h"
#include "ring/ringfixture.h"
#include "window/pad.h"

namespace varno {
namespace {

class Commands : public RingTest {
 protected:
  Commands() { GraphikEinrichten(form); }
};

TEST_F(Commands, ReversingThreeDiceMovesTextsToTheFirstHalfAndFormatsTheSecond) {
  setSize(3, 3);
  setDice({{3, 5, 7}, {2, 4, 9}, {1, 6, 8}});
  ASSERT_EQ(form.txtRückmeldung.text(), kRechtsrum);
  cmdSpiegeln_Click(form);
  EXPECT_EQ(die(0, 3), (std::vector<std::string>{"1", "6", "8"}));
  EXPECT_EQ(die(1, 3), (std::vector<std::string>{" 2", " 4", " 9"}));
  EXPECT_EQ(die(2, 3), (std::vector<std::string>{" 3", " 5", " 7"}));
  EXPECT_EQ(form.txtRückmeldung.text(), kLinksrum);
  EXPECT_FALSE(form.ausgabe.primitives().empty());  // redrawn in full
}

TEST_F(Commands, ReversingFourDiceExchangesOuterAndInnerPairs) {
  setSize(4, 2);
  setDice({{1, 2}, {3, 4}, {5, 6}, {7, 8}});
  face(form, 0, 2).setText("keep");  // beyond k: untouched
  cmdSpiegeln_Click(form);
  EXPECT_EQ(die(0, 3), (std::vector<std::string>{"7", "8", "keep"}));
  EXPECT_EQ(die(1, 2), (std::vector<std::string>{"5", "6"}));
  EXPECT_EQ(die(2, 2), (std::vector<std::string>{" 3", " 4"}));
  EXPECT_EQ(die(3, 2), (std::vector<std::string>{" 1", " 2"}));
}

TEST_F(Commands, ReversingTwiceRestoresWholeNumbersInTheNumberFormat) {
  setSize(5, 3);
  setDice({{3, 5, 7}, {2, 4, 9}, {1, 6, 8}, {10, 11, 12}, {13, 14, 15}});
  face(form, 2, 1).setText("");
  const std::string verdict = form.txtRückmeldung.text();
  cmdSpiegeln_Click(form);
  cmdSpiegeln_Click(form);
  EXPECT_EQ(die(0, 3), (std::vector<std::string>{" 3", " 5", " 7"}));
  EXPECT_EQ(die(2, 3), (std::vector<std::string>{" 0", " 1", " 8"}));  // the empty face became " 0"
  EXPECT_EQ(die(4, 3), (std::vector<std::string>{" 13", " 14", " 15"}));
  EXPECT_EQ(form.txtRückmeldung.text(), verdict);
}

TEST_F(Commands, ReversingRoundsHalvesToEven) {
  setSize(3, 2);
  setDice({{1, 2}, {3, 4}, {5, 6}});
  setDie(0, {"2.5", "3.5"});
  cmdSpiegeln_Click(form);
  EXPECT_EQ(die(2, 2), (std::vector<std::string>{" 2", " 4"}));
}

TEST_F(Commands, ReversingTurnsABackwardsRingForwards) {
  setSize(3, 3);
  setDice({{1, 6, 8}, {2, 4, 9}, {3, 5, 7}});
  ASSERT_EQ(form.txtRückmeldung.text(), kLinksrum);
  cmdSpiegeln_Click(form);
  EXPECT_EQ(form.txtRückmeldung.text(), kRechtsrum);
}

TEST_F(Commands, ClearingADieEmptiesAllItsFacesAndThePadBuffer) {
  setSize(3, 3);
  setDice({{3, 5, 7}, {2, 4, 9}, {1, 6, 8}});
  for (int f = 3; f < kFaces; ++f) face(form, 1, f).setText("hidden");
  txtAuge_Click(form, 9);
  ASSERT_EQ(form.txtEintrag.text(), "4");
  cmdLösch_Click(form, 1);
  for (int f = 0; f < kFaces; ++f) EXPECT_EQ(face(form, 1, f).text(), "") << f;
  EXPECT_EQ(form.txtEintrag.text(), "");
  EXPECT_EQ(die(0, 3), (std::vector<std::string>{"3", "5", "7"}));
  EXPECT_EQ(form.txtSumme[1].text(), "0");
}

TEST_F(Commands, TheEmptySetClearsEveryFaceAndDrawsTheSkeleton) {
  setSize(3, 3);
  setDice({{3, 5, 7}, {2, 4, 9}, {1, 6, 8}});
  face(form, 7, 7).setText("99");
  ZeichneGraphik(form);
  Command1_Click(form);
  for (const Control& field : form.txtAuge) EXPECT_EQ(field.text(), "");
  EXPECT_EQ(form.txtRückmeldung.text(), kNein);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(form.Text2[i].text(), "9");
  for (const Primitive& p : form.ausgabe.primitives()) EXPECT_NE(p.kind, Primitive::Kind::Box);
  EXPECT_EQ(form.ausgabe.primitives().size(), 6u);  // three spokes, three labels
}

TEST_F(Commands, ClearingChangesNothingWhileEvaluationIsOff) {
  setSize(3, 3);
  setDice({{3, 5, 7}, {2, 4, 9}, {1, 6, 8}});
  form.Freigabe = false;
  cmdLösch_Click(form, 0);
  Command1_Click(form);
  EXPECT_EQ(die(0, 3), (std::vector<std::string>{"3", "5", "7"}));
}

}  // namespace
}  // namespace varno
