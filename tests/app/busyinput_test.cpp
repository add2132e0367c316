// Input while a search or a count runs: nothing the busy window shows as disabled reacts, nor the pad's
// keys or the markers, and what the stop button frees waits for the pass in progress.
#include <QProgressBar>
#include <QScrollBar>
#include <set>

#include "ring/evaluation.h"
#include "windowfixture.h"

namespace varno {
namespace {

class BusyInput : public WindowTest {
 protected:
  // Presses every disabled control with each mouse button and twice quickly, and every key of the pad
  // (but the one that hides it) and every marker with the left button, as the user's mouse does.
  void pressEverything() {
    int disabled = 0;
    for (const Control* control : form.controls()) {
      QWidget* widget = window.widget(*control);
      if (!widget || !widget->isVisibleTo(&window)) continue;
      const bool padKey =
          control->container() == &form.picEingabeinnen || control->container() == &form.picEin2;
      if ((padKey && control != &form.Command4) || control->kind() == ControlKind::Image)
        click(control->name().c_str());
      if (widget->isEnabled()) continue;
      ++disabled;
      const QPoint inside(widget->width() / 2, 4);
      for (Qt::MouseButton button : {Qt::LeftButton, Qt::RightButton, Qt::MiddleButton})
        QTest::mouseClick(widget, button, {}, inside);
      QTest::mouseDClick(widget, Qt::LeftButton, {}, inside);
      if (auto* bar = qobject_cast<QScrollBar*>(widget))
        QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(bar->width() / 2, bar->height() - 2));
    }
    // The faces, the die frames and the scroll bars at least.
    EXPECT_GE(disabled, Würfelanzahl(form) * (Seitenzahl(form) + 1) + 2);
    for (const char* bar : {"VScroll1(0)", "VScroll1(1)"}) EXPECT_FALSE(find(bar)->isEnabled()) << bar;
    for (QAction* action : window.findChildren<QAction*>())
      if (!action->isEnabled()) action->trigger();
    QTest::keySequence(&window, QKeySequence("Ctrl+Z"));
  }

  // At the first yield for which `moment` holds: greets, which shows the pad, presses everything and
  // checks that nothing changed; stops, and chooses what the stop freed, which waits for the search.
  void atFirstYield(const std::function<bool()>& moment) {
    form.DoEvents.setHook(
        [this, moment] {
          window.sync();  // as the window's own yield does, but at every yield point
          QApplication::processEvents();
          if (pressed || !moment()) return;
          pressed = true;
          moveMouse(find("frmVarno.client"), QPoint(2, 2));
          EXPECT_TRUE(seen("picEingabe"));
          EXPECT_EQ(find("frmVarno.client")->cursor().shape(), Qt::BusyCursor);
          EXPECT_FALSE(find<QAction>("cmdUndo")->isEnabled());  // though the ring's size was a step
          const std::vector<std::string> before = state();
          pressEverything();
          EXPECT_EQ(state(), before);
          click("cmdStop");
          EXPECT_TRUE(find<QMenu>("cmdMonteCarlo")->menuAction()->isEnabled());
          EXPECT_NE(find("frmVarno.client")->cursor().shape(), Qt::BusyCursor);
          const std::vector<std::string> stopped = state();
          choose("cmdZufall");
          choose("cmd3x3");
          click("shpkreis(11)");
          find<QScrollBar>("VScroll1(1)")->setValue(5);
          EXPECT_EQ(state(), stopped);
        },
        std::chrono::nanoseconds::zero());
  }

  bool pressed = false;
};

TEST_F(BusyInput, NothingReactsDuringAMonteCarloRunAndThePassInProgressEndsWhole) {
  // A face selected outside the 4x4 ring: a key let through would change it without upsetting the dealing.
  window.run([&] { setRingSize(form, 8, 8); });
  click("txtAuge(63)");
  form.Text3[0].setText("0");  // the passes
  atFirstYield([&] { return form.dealing; });
  choose("cmd4x4");
  EXPECT_TRUE(pressed);
  EXPECT_FALSE(form.searchRunning);
  EXPECT_EQ(text("Text3(0)"), "1");
  for (int i = 0; i < 16; ++i) EXPECT_NE(face(form, i / 4, i % 4).text(), "") << i;
  EXPECT_EQ(form.txtRückmeldung.text(), evaluate(readRing(form)).verdict);
}

TEST_F(BusyInput, NothingWritesAFaceWhileARandomLabellingIsDealtOutsideASearch) {
  form.DoEvents.setHook(
      [this] {
        if (pressed || !form.dealing) return;
        pressed = true;
        const std::vector<std::string> before = state();
        click("shpkreis(11)");
        click("txtAuge(0)");
        EXPECT_EQ(state(), before);
        for (Control& field : form.txtAuge) field.setText("");  // as they are before the first number
      },
      std::chrono::nanoseconds::zero());
  choose("cmdZufall");
  EXPECT_TRUE(pressed);
  std::set<std::string> dealt;
  for (int i = 0; i < 9; ++i) dealt.insert(face(form, i / 3, i % 3).text());
  EXPECT_EQ(dealt, (std::set<std::string>{"1", "2", "3", "4", "5", "6", "7", "8", "9"}));
}

TEST_F(BusyInput, NothingReactsDuringACountWhichShowsItsProgressAndTheFieldsAgreeAfterTheStop) {
  window.run([&] { setRingSize(form, 6, 6); });
  atFirstYield([&] {
    if (!form.prgFortschritt.visible()) return false;
    EXPECT_TRUE(seen("prgFortschritt") && seen("lblRestzeit"));
    EXPECT_EQ(find<QProgressBar>("prgFortschritt")->value(), form.prgFortschritt.value());
    return true;
  });
  choose("cmdBelzähl");
  EXPECT_TRUE(pressed);
  EXPECT_FALSE(seen("prgFortschritt"));
  EXPECT_EQ(text("Text3(1)"), "0");
  EXPECT_EQ(form.txtRückmeldung.text(), evaluate(readRing(form)).verdict);
}

}  // namespace
}  // namespace varno
