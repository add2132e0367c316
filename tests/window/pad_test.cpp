#include "window/pad.h"

#include "ring/ringfixture.h"

namespace varno {
namespace {

class Pad : public RingTest {
 protected:
  Pad() {
    setSize(4, 3);
    setDice({{3, 5, 7}, {2, 4, 9}, {1, 6, 8}, {10, 11, 12}});
  }
  void finishGlide() {
    while (advanceGlide(form)) {
    }
  }
  int marked() const {
    int found = -1, count = 0;
    for (int i = 0; i < kDice * kFaces; ++i) {
      if (form.txtAuge[i].backColor() == kLightYellow)
        found = i, ++count;
      else
        EXPECT_EQ(form.txtAuge[i].backColor(), kWhite) << i;
    }
    EXPECT_EQ(count, 1);
    return found;
  }
};

TEST_F(Pad, SelectingAFaceMarksItShowsThePadAndGlidesOverItsDie) {
  txtAuge_Click(form, 10);
  EXPECT_EQ(selectedFace(form), 10);
  EXPECT_EQ(marked(), 10);
  EXPECT_TRUE(form.picEingabe.visible());
  EXPECT_EQ(form.txtEintrag.text(), "9");
  EXPECT_TRUE(gliding(form));
  finishGlide();
  const Geometry& pad = form.picEingabe.geometry();
  EXPECT_DOUBLE_EQ(pad.left, form.frmWürfel[1].geometry().left + form.frame1.geometry().left + 100);
  EXPECT_DOUBLE_EQ(pad.top, form.frame1.geometry().top - 420);
}

TEST_F(Pad, TheGlideStepsOneAxisAfterTheOtherInFiftiethsAndEndsOnTheTarget) {
  form.picEingabe.move(5000, 2400);
  txtAuge_Click(form, 8 * 3);
  const double targetLeft = padTargetLeft(form), targetTop = padTargetTop(form);
  std::vector<std::pair<double, double>> seen;
  while (advanceGlide(form))
    seen.push_back({form.picEingabe.geometry().left, form.picEingabe.geometry().top});
  seen.push_back({form.picEingabe.geometry().left, form.picEingabe.geometry().top});
  ASSERT_GE(seen.size(), 100u);
  ASSERT_LE(seen.size(), 104u);
  EXPECT_EQ(seen.front(), std::make_pair(5000.0, 2400.0));
  const double step = (targetLeft - 5000) / 50;
  EXPECT_DOUBLE_EQ(seen[1].first, 5000 + step);
  // Horizontally first, with the top unchanged; then vertically.
  std::size_t turn = 0;
  while (seen[turn].first != targetLeft) EXPECT_EQ(seen[turn++].second, 2400);
  for (std::size_t i = turn; i < seen.size(); ++i) EXPECT_EQ(seen[i].first, targetLeft);
  EXPECT_EQ(seen.back(), std::make_pair(targetLeft, targetTop));
}

TEST_F(Pad, ASecondFaceOfTheSameDieDoesNotMoveThePad) {
  txtAuge_Click(form, 9);
  finishGlide();
  const Geometry before = form.picEingabe.geometry();
  txtAuge_Click(form, 10);
  int positions = 0;
  while (gliding(form)) {
    advanceGlide(form);
    ++positions;
    EXPECT_EQ(form.picEingabe.geometry().left, before.left);
    EXPECT_EQ(form.picEingabe.geometry().top, before.top);
  }
  EXPECT_EQ(positions, 2);  // each axis set once, to where it is
}

TEST_F(Pad, ASelectionDuringAGlideLeavesThePadOverTheNewlySelectedDie) {
  txtAuge_Click(form, 0);
  for (int i = 0; i < 20; ++i) advanceGlide(form);
  txtAuge_Click(form, 8 * 3 + 1);
  finishGlide();
  EXPECT_EQ(selectedFace(form), 25);
  EXPECT_DOUBLE_EQ(form.picEingabe.geometry().left,
                   form.frmWürfel[3].geometry().left + form.frame1.geometry().left + 100);
}

TEST_F(Pad, DigitsAppendUndoRemovesAndEveryKeyRewritesTheFace) {
  face(form, 0, 1).setText("12");
  txtAuge_Click(form, 1);
  cmdZahl_Click(form, 3);
  EXPECT_EQ(face(form, 0, 1).text(), "123");
  EXPECT_EQ(form.txtSumme[0].text(), "133");  // evaluated
  Command3_Click(form);
  Command3_Click(form);
  EXPECT_EQ(face(form, 0, 1).text(), "1");
  face(form, 0, 2).setText("");
  txtAuge_Click(form, 2);
  cmdZahl_Click(form, 0);
  EXPECT_EQ(face(form, 0, 2).text(), "0");
  cmdZahl_Click(form, 7);
  EXPECT_EQ(face(form, 0, 2).text(), "07");
  Command3_Click(form);
  Command3_Click(form);
  Command3_Click(form);  // on the empty buffer: writes the empty text again
  EXPECT_EQ(face(form, 0, 2).text(), "");
  EXPECT_EQ(form.txtEintrag.text(), "");
}

TEST_F(Pad, BeforeTheFirstSelectionTheKeysActOnTheFirstFace) {
  EXPECT_EQ(selectedFace(form), 0);
  Command5_Click(form);
  EXPECT_EQ(selectedFace(form), 1);
  form.Feldnummer.reset();
  Command8_Click(form);
  EXPECT_EQ(selectedFace(form), 8 * 3);  // face 1 of die n
  form.Feldnummer.reset();
  form.txtEintrag.setText("");
  cmdZahl_Click(form, 5);
  EXPECT_EQ(face(form, 0, 0).text(), "5");
}

TEST_F(Pad, ArrowKeysMoveWithinTheFacesAndAroundTheRing) {
  struct Row {
    int from;
    void (*key)(Form&);
    int to;
  };
  const Row rows[] = {
      {0, Command5_Click, 1},          {1, Command5_Click, 2},      {2, Command5_Click, 2},  // face k stays
      {2, Command6_Click, 1},          {0, Command6_Click, 0},                               // face 1 stays
      {8 + 2, Command7_Click, 16 + 2}, {24 + 1, Command7_Click, 1},  // die n wraps to 1
      {8, Command8_Click, 0},          {2, Command8_Click, 24 + 2},  // die 1 wraps to n
  };
  for (const Row& row : rows) {
    txtAuge_Click(form, row.from);
    row.key(form);
    EXPECT_EQ(selectedFace(form), row.to) << row.from;
    EXPECT_EQ(marked(), row.to);
    EXPECT_EQ(form.txtEintrag.text(), form.txtAuge[row.to].text());
  }
}

TEST_F(Pad, AFaceAtItsEndDoesNotMoveThePad) {
  txtAuge_Click(form, 2);
  finishGlide();
  Command5_Click(form);
  EXPECT_FALSE(gliding(form));
}

TEST_F(Pad, ClickingADieFrameSelectsItsFirstFace) {
  frmWürfel_Click(form, 2);
  EXPECT_EQ(selectedFace(form), 16);
  EXPECT_EQ(marked(), 16);
}

TEST_F(Pad, TheBufferKeepsTheLastSelectionsTextAfterOtherChanges) {
  txtAuge_Click(form, 0);
  face(form, 0, 0).setText("30");  // changed by other means
  cmdZahl_Click(form, 1);
  EXPECT_EQ(face(form, 0, 0).text(), "31");
}

TEST_F(Pad, SelectionsAreIgnoredWhileEvaluationIsOffAndHidingKeepsTheMarking) {
  txtAuge_Click(form, 5);
  form.Freigabe = false;
  txtAuge_Click(form, 9);
  frmWürfel_Click(form, 1);
  EXPECT_EQ(selectedFace(form), 5);
  form.Freigabe = true;
  Command4_Click(form);
  EXPECT_FALSE(form.picEingabe.visible());
  EXPECT_EQ(marked(), 5);
}

}  // namespace
}  // namespace varno
