#include <QTest>

#include "window/pad.h"
#include "windowfixture.h"

namespace varno {
namespace {

class PadWindow : public WindowTest {
 protected:
  PadWindow() { writeMinimalRing(); }
  void click(const char* name) { QTest::mouseClick(find(name), Qt::LeftButton, {}, QPoint(4, 4)); }
  void waitForGlide() {
    for (int i = 0; i < 400 && gliding(form); ++i) QTest::qWait(5);
  }
  QColor base(const char* name) { return find<QLineEdit>(name)->palette().color(QPalette::Base); }
};

TEST_F(PadWindow, ClickingAFaceMarksItAndThePadGlidesOverItsDie) {
  auto* pad = find("picEingabe");
  EXPECT_FALSE(pad->isVisible());
  click("txtAuge(10)");
  EXPECT_TRUE(pad->isVisible());
  EXPECT_EQ(base("txtAuge(10)"), QColor(255, 255, 160));
  EXPECT_EQ(base("txtAuge(9)"), QColor(255, 255, 255));
  const QPoint start = pad->pos();
  QTest::qWait(40);
  EXPECT_TRUE(gliding(form));  // visibly on its way, while the window goes on answering
  EXPECT_NE(pad->pos(), start);
  waitForGlide();
  auto* die = find("frmWürfel(1)");
  auto* table = find("frame1");
  EXPECT_NEAR(pad->x(), table->x() + die->x() + 100 / 15.0, 1.5);
  EXPECT_NEAR(pad->y(), table->y() - 420 / 15.0, 1.5);
}

TEST_F(PadWindow, KeysWriteDigitsUndoMoveAndHide) {
  click("txtAuge(10)");
  click("cmdZahl(3)");
  EXPECT_EQ(text("txtAuge(10)"), "93");
  EXPECT_EQ(text("txtSumme(1)"), "99");
  click("Command3");
  click("Command3");
  EXPECT_EQ(text("txtAuge(10)"), "");
  click("cmdZahl(0)");
  click("cmdZahl(7)");
  EXPECT_EQ(text("txtAuge(10)"), "07");
  click("Command3");
  click("Command3");
  click("cmdZahl(1)");
  EXPECT_EQ(text("txtAuge(10)"), "1");

  click("Command6");  // up
  EXPECT_EQ(selectedFace(form), 9);
  click("Command5");  // down
  click("Command5");
  click("Command5");  // face k: stays
  EXPECT_EQ(selectedFace(form), 10);
  click("Command7");  // right
  EXPECT_EQ(selectedFace(form), 18);
  click("Command7");  // die n wraps to die 1
  EXPECT_EQ(selectedFace(form), 2);
  click("Command8");  // left: die 1 wraps to die n
  EXPECT_EQ(selectedFace(form), 18);
  EXPECT_EQ(base("txtAuge(18)"), QColor(255, 255, 160));

  click("cmdZeigen(1)");  // "Gr" on the pad sorts and draws
  EXPECT_EQ(text("txtAuge(8)"), "1");
  EXPECT_EQ(text("txtAuge(10)"), "4");
  EXPECT_FALSE(form.ausgabe.primitives().empty());
  click("Command4");
  EXPECT_FALSE(find("picEingabe")->isVisible());
  EXPECT_EQ(base("txtAuge(18)"), QColor(255, 255, 160));
}

TEST_F(PadWindow, ClickingADieFrameSelectsItsFirstFace) {
  click("frmWürfel(2)");
  EXPECT_EQ(selectedFace(form), 16);
  EXPECT_EQ(base("txtAuge(16)"), QColor(255, 255, 160));
}

TEST_F(PadWindow, ASecondSelectionDuringAGlideEndsOverTheSecondDie) {
  click("txtAuge(0)");
  QTest::qWait(30);
  click("txtAuge(17)");
  waitForGlide();
  EXPECT_NEAR(find("picEingabe")->x(), find("frame1")->x() + find("frmWürfel(2)")->x() + 100 / 15.0, 1.5);
}

TEST_F(PadWindow, ReversingTwiceRestoresTheRingInTheNumberFormat) {
  click("cmdSpiegeln");
  EXPECT_EQ(text("txtAuge(0)"), "1");
  EXPECT_EQ(text("txtAuge(16)"), " 3");
  EXPECT_EQ(text("txtRückmeldung"), " ja, linksrum");
  click("cmdSpiegeln");
  EXPECT_EQ(text("txtAuge(0)"), " 3");
  EXPECT_EQ(text("txtAuge(10)"), " 9");
  EXPECT_EQ(text("txtRückmeldung"), " ja, rechtsrum");
}

TEST_F(PadWindow, ClearingOneDieAndTheWholeSetAlsoEmptiesHiddenFaces) {
  window.run([&] { face(form, 1, 6).setText("hidden"); });
  click("cmdLösch(1)");
  EXPECT_EQ(text("txtAuge(9)"), "");
  EXPECT_EQ(text("txtAuge(14)"), "");
  EXPECT_EQ(text("txtAuge(0)"), "3");
  window.run([&] { face(form, 7, 7).setText("hidden"); });
  click("Command1");
  for (int i = 0; i < 64; ++i) EXPECT_EQ(form.txtAuge[i].text(), "") << i;
  EXPECT_EQ(text("txtRückmeldung"), " nein");
}

}  // namespace
}  // namespace varno
