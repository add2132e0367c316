// Input while a search or a count runs: nothing the busy window shows as disabled reacts, no face changes
// but by the search itself, and after a stop every field agrees with the faces shown.
#include <QAction>
#include <QMenu>
#include <QScrollBar>
#include <QTest>
#include <functional>

#include "ring/evaluation.h"
#include "windowfixture.h"

namespace varno {
namespace {

class BusyInput : public WindowTest {
 protected:
  // Everything a control shows, for every control of the window.
  std::vector<std::string> state() const {
    std::vector<std::string> all;
    for (const Control* control : form.controls()) {
      all.push_back(control->name() + "=" + control->text() + "/" + std::to_string(control->value()) + "/" +
                    std::to_string(control->visible()) + "/" + std::to_string(control->backColor()));
    }
    all.push_back("Feldnummer=" + std::to_string(form.Feldnummer.value_or(-1)));
    return all;
  }

  // Presses every disabled control with each mouse button, and every key of the pad and every marker
  // with the left button, as the user's mouse does.
  void pressEverything() {
    int disabled = 0;
    for (const Control* control : form.controls()) {
      QWidget* widget = window.widget(*control);
      if (!widget || widget->isEnabled() || !widget->isVisibleTo(&window)) continue;
      ++disabled;
      const QPoint inside(widget->width() / 2, 4);
      for (Qt::MouseButton button : {Qt::LeftButton, Qt::RightButton, Qt::MiddleButton})
        QTest::mouseClick(widget, button, {}, inside);
      if (auto* bar = qobject_cast<QScrollBar*>(widget)) {
        QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(bar->width() / 2, 2));
        QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(bar->width() / 2, bar->height() - 2));
      }
    }
    const int n = Würfelanzahl(form), k = Seitenzahl(form);
    EXPECT_GE(disabled, n * k + n + 2);  // the faces, the die frames and the scroll bars at least
    for (const Control* control : form.controls()) {
      QWidget* widget = window.widget(*control);
      const bool padKey =
          control->container() == &form.picEingabeinnen || control->container() == &form.picEin2;
      const bool marker = control->kind() == ControlKind::Image;
      if (!widget || !(padKey || marker) || !widget->isVisibleTo(&window)) continue;
      QTest::mouseClick(widget, Qt::LeftButton, {}, QPoint(4, 4));
    }
    for (QAction* action : window.findChildren<QAction*>())
      if (!action->isEnabled()) action->trigger();
  }

  // The evaluation of the faces shown against every field it writes.
  void expectFieldsAgreeWithFaces() {
    const Ring ring = readRing(form);
    const Evaluation expected = evaluate(ring);
    for (int d = 0; d < ring.n; ++d) EXPECT_EQ(form.txtSumme[d].text(), plainNumber(expected.sums[d])) << d;
    for (int i = 0; i < ring.n; ++i) {
      EXPECT_EQ(form.Text2[i].text(), plainDigits(expected.pairs[i].ties)) << i;
      EXPECT_EQ(leadingNumber(form.txtPGewinn[i].text()), expected.pairs[i].wins) << i;
    }
    EXPECT_EQ(form.txtRückmeldung.text(), expected.verdict);
    if (!form.Picture1[1].text().empty()) {
      EXPECT_EQ(leadingNumber(form.Picture1[1].text()), expected.max);
    }
    if (!form.Picture1[2].text().empty()) {
      EXPECT_EQ(leadingNumber(form.Picture1[2].text()), expected.min);
    }
  }

  // At the first yield for which `moment` holds: presses everything, checks that nothing changed, stops.
  void atFirstYield(std::function<bool()> moment) {
    form.DoEvents.setHook(
        [this, moment] {
          window.sync();
          QApplication::processEvents();
          if (pressed || !moment()) return;
          pressed = true;
          window.run([] {}, MainWindow::Gate::Always);
          const std::vector<std::string> before = state();
          pressEverything();
          const std::vector<std::string> after = state();
          for (std::size_t i = 0; i < before.size(); ++i) EXPECT_EQ(after[i], before[i]);
          QTest::mouseClick(find<QPushButton>("cmdStop"), Qt::LeftButton);
        },
        std::chrono::nanoseconds::zero());
  }

  bool pressed = false;
};

TEST_F(BusyInput, NothingReactsDuringAMonteCarloRunAndTheFieldsAgreeAfterTheStop) {
  window.run([&] { face(form, 0, 0).setText("5"); });  // a pad selection to be kept, and a face to stay put
  QTest::mouseClick(find("txtAuge(2)"), Qt::LeftButton, {}, QPoint(4, 4));
  atFirstYield([&] { return form.dealing; });
  window.findChild<QAction*>("cmd4x4")->trigger();
  EXPECT_TRUE(pressed);
  EXPECT_FALSE(form.searchRunning);
  expectFieldsAgreeWithFaces();
}

TEST_F(BusyInput, NothingReactsDuringACountAndTheFieldsAgreeAfterTheStop) {
  setSize(6, 6);
  atFirstYield([&] { return form.prgFortschritt.visible(); });
  window.findChild<QAction*>(QString::fromUtf8("cmdBelzähl"))->trigger();
  EXPECT_TRUE(pressed);
  EXPECT_EQ(text("Text3(1)"), "0");
  expectFieldsAgreeWithFaces();
}

}  // namespace
}  // namespace varno
