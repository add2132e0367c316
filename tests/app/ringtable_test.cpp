#include <QAccessible>
#include <QTest>
#include <QWheelEvent>

#include "printbox.h"
#include "ring/ring.h"
#include "windowfixture.h"

namespace varno {
namespace {

using RingTable = WindowTest;

TEST_F(RingTable, FindsEveryPartByItsName) {
  // Control arrays carry their index in parentheses; the captions are checked with all other texts.
  for (const char* name :
       {"txtAuge(10)", "txtAuge(63)", "Text1(0)", "Text1(1)", "txtPGewinn(8)", "txtPGewinn(15)", "Text2(7)",
        "txtSumme(7)", "txtRückmeldung", "Text3(0)", "Text3(1)"})
    find<QLineEdit>(name);
  find<QScrollBar>("VScroll1(0)");
  find<QScrollBar>("VScroll1(1)");
  find<QGroupBox>("frmWürfel(2)");
  find<PrintBox>("Picture1(3)");
}

TEST_F(RingTable, NumberBoxesAndFacesCannotBeTypedInto) {
  EXPECT_TRUE(find<QLineEdit>("Text1(0)")->isReadOnly());
  EXPECT_TRUE(find<QLineEdit>("Text1(1)")->isReadOnly());
  for (int i = 0; i < kDice * kFaces; ++i) {
    auto* field = find<QLineEdit>(("txtAuge(" + std::to_string(i) + ")").c_str());
    EXPECT_TRUE(field->isReadOnly()) << i;
    EXPECT_EQ(field->toolTip(), "Zum Beschriften anklicken") << i;
  }
}

TEST_F(RingTable, ScrollBarsShowAndHideDiceAndFacesAndEvaluate) {
  auto* dice = find<QScrollBar>("VScroll1(0)");
  auto* faces = find<QScrollBar>("VScroll1(1)");
  EXPECT_EQ(dice->minimum(), 3);
  EXPECT_EQ(dice->maximum(), 8);
  EXPECT_EQ(faces->minimum(), 1);
  EXPECT_EQ(faces->maximum(), 8);
  EXPECT_TRUE(seen("frmWürfel(2)"));
  EXPECT_FALSE(seen("frmWürfel(3)"));
  clearFaces();

  dice->triggerAction(QAbstractSlider::SliderSingleStepSub);  // the upper arrow, twice
  dice->triggerAction(QAbstractSlider::SliderSingleStepSub);
  EXPECT_EQ(text("Text1(0)"), "5");
  EXPECT_TRUE(seen("frmWürfel(4)"));
  EXPECT_TRUE(seen("txtPGewinn(12)"));
  EXPECT_TRUE(seen("Text2(4)"));
  EXPECT_FALSE(seen("frmWürfel(5)"));
  EXPECT_FALSE(seen("txtPGewinn(5)"));

  faces->setValue(faces->maximum());  // the thumb at the bottom
  EXPECT_EQ(text("Text1(1)"), "1");
  EXPECT_TRUE(seen("txtAuge(8)"));
  EXPECT_FALSE(seen("txtAuge(9)"));
  EXPECT_EQ(text("txtPGewinn(0)"), " 0/ 1");
  EXPECT_EQ(text("Text2(4)"), "1");
  EXPECT_EQ(text("txtRückmeldung"), " nein");
}

TEST_F(RingTable, AFaceWrittenInTheModelIsShownWithItsEvaluation) {
  clearFaces();
  window.run([&] { form.Text3[1].setText("41"); });
  writeMinimalRing();
  EXPECT_EQ(text("txtAuge(10)"), "9");
  EXPECT_EQ(text("txtSumme(1)"), "15");
  EXPECT_EQ(text("txtPGewinn(0)"), " 5/ 9");
  EXPECT_EQ(text("txtPGewinn(8)"), " .55");
  EXPECT_EQ(text("txtRückmeldung"), " ja, rechtsrum");
  EXPECT_EQ(text("Text3(1)"), "42");
  auto* max = find<PrintBox>("Picture1(1)");
  EXPECT_EQ(max->printed(), "  5 / 9");
  EXPECT_EQ(max->accessibleName(), "  5 / 9");
  EXPECT_EQ(find<PrintBox>("Picture1(2)")->accessibleName(), "  5 / 9");
}

TEST_F(RingTable, TheUpperArrowAndTheWheelTurnedUpRaiseNAndK) {
  auto* dice = find<QScrollBar>("VScroll1(0)");
  auto* faces = find<QScrollBar>("VScroll1(1)");
  const QPoint upperArrow(dice->width() / 2, 3), lowerArrow(dice->width() / 2, dice->height() - 3);
  QTest::mouseClick(dice, Qt::LeftButton, {}, upperArrow);
  EXPECT_EQ(text("Text1(0)"), "4");
  QTest::mouseClick(faces, Qt::LeftButton, {}, lowerArrow);
  EXPECT_EQ(text("Text1(1)"), "2");
  const QPoint middle(dice->width() / 2, dice->height() / 2);
  QWheelEvent up(middle, dice->mapToGlobal(middle), {}, QPoint(0, 120), Qt::NoButton, Qt::NoModifier,
                 Qt::NoScrollPhase, false);
  QApplication::sendEvent(dice, &up);
  EXPECT_EQ(text("Text1(0)"), "5");
  // The thumb stands high for a large number.
  dice->setValue(dice->minimum());
  EXPECT_EQ(text("Text1(0)"), "8");
}

TEST_F(RingTable, OnlyTheLeftButtonSelectsAFaceAndNoFieldHasAMenu) {
  auto* field = find<QLineEdit>("txtAuge(9)");
  for (Qt::MouseButton button : {Qt::RightButton, Qt::MiddleButton}) {
    QTest::mouseClick(field, button, {}, QPoint(4, 4));
    QTest::mouseClick(find("frmWürfel(2)"), button, {}, QPoint(4, 4));
  }
  EXPECT_FALSE(form.Feldnummer.has_value());
  EXPECT_FALSE(seen("picEingabe"));
  QTest::mouseClick(field, Qt::LeftButton, {}, QPoint(4, 4));
  EXPECT_EQ(form.Feldnummer, 9);
  for (auto* any : window.findChildren<QLineEdit*>()) EXPECT_EQ(any->contextMenuPolicy(), Qt::NoContextMenu);
}

}  // namespace
}  // namespace varno
