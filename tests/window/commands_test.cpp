#include "window/commands.h"

#include "graphic/drawing.h"
#include "ring/evaluation.h"
#include "ring/ringfixture.h"
#include "window/pad.h"

namespace varno {
namespace {

using Commands = RingTest;

// An even ring here; an odd one, whose middle die is rounded in its place: values_test.cpp.
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

TEST_F(Commands, ClearingADieEmptiesAllItsFacesAndThePadBufferButNothingWhileEvaluationIsOff) {
  setSize(3, 3);
  setDice({{3, 5, 7}, {2, 4, 9}, {1, 6, 8}});
  form.Freigabe = false;
  cmdLösch_Click(form, 0);
  Command1_Click(form);
  EXPECT_EQ(die(0, 3), (std::vector<std::string>{"3", "5", "7"}));
  form.Freigabe = true;
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

}  // namespace
}  // namespace varno
