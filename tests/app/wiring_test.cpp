// The window's wiring: every control, pressed as the user presses it, runs its handler, and every widget
// shows what its control holds. What the handlers do is the core's tests' business; here each row only
// checks a sign that the right one ran. (That nothing reacts while the window is busy is checked in
// busyinput_test.cpp, for every control at once.)
#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QScrollBar>
#include <QTest>
#include <QWheelEvent>
#include <functional>

#include "canvas.h"
#include "window/pad.h"
#include "window/wiring.h"
#include "windowfixture.h"

namespace varno {
namespace {

class Wiring : public WindowTest {
 protected:
  Wiring() {
    writeMinimalRing();
    window.run([&] { form.ausgabe.Cls(); });
  }

  // Presses a control as the user does: a menu item is chosen, anything else is clicked with the left
  // button (a scroll bar on its upper arrow).
  void press(const std::string& name) {
    if (auto* menu = window.findChild<QMenu*>(QString::fromStdString(name))) {
      menu->menuAction()->trigger();
    } else if (auto* item = window.findChild<QAction*>(QString::fromStdString(name))) {
      item->trigger();
    } else if (auto* bar = window.findChild<QScrollBar*>(QString::fromStdString(name))) {
      QTest::mouseClick(bar, Qt::LeftButton, {},
                        bar->orientation() == Qt::Vertical ? QPoint(bar->width() / 2, 3)
                                                           : QPoint(bar->width() - 3, bar->height() / 2));
    } else {
      QWidget* widget = find(name.c_str());
      ASSERT_NE(widget, nullptr);
      QTest::mouseClick(widget, Qt::LeftButton, {}, QPoint(4, 4));
    }
  }

  // Every widget shows its control's text, state and place.
  void expectMirrored() {
    for (const Control* control : form.controls()) {
      QObject* object = window.object(*control);
      if (auto* item = qobject_cast<QAction*>(object)) {
        EXPECT_EQ(item->isEnabled(), control->enabled()) << control->name();
        continue;
      }
      auto* widget = qobject_cast<QWidget*>(object);
      if (!widget || qobject_cast<QMenu*>(widget)) continue;
      EXPECT_EQ(widget->isEnabled(), control->enabled()) << control->name();
      EXPECT_EQ(widget->isVisibleTo(widget->parentWidget()), control->visible()) << control->name();
      EXPECT_EQ(widget->toolTip().toStdString(), control->toolTip()) << control->name();
      if (auto* field = qobject_cast<QLineEdit*>(widget)) {
        EXPECT_EQ(field->text().toStdString(), control->text()) << control->name();
      } else if (auto* box = dynamic_cast<PrintBox*>(widget)) {
        EXPECT_EQ(box->printed().toStdString(), control->text()) << control->name();
        EXPECT_EQ(box->accessibleName().toStdString(), control->text()) << control->name();
      }
      if (!control->geometry().user) {
        EXPECT_EQ(widget->x(), std::lround(control->geometry().left / 15)) << control->name();
      }
    }
  }

  std::string face(int index) { return form.txtAuge[index].text(); }
  bool ended = false;
};

TEST_F(Wiring, EveryControlRunsItsHandlerAndEveryWidgetShowsItsControl) {
  form.endProgram = [&] { ended = true; };
  const auto countersAre = [&](const char* total) { return form.Text3[0].text() == total; };
  struct Row {
    std::string control;
    std::function<bool()> ran;
    std::function<void()> before = {};
  };
  const auto lastMessage = [&](const char* title) {
    return !dialogs.messages.empty() && dialogs.messages.back().title == title;
  };
  const std::vector<Row> rows = {
      {"cmdSpeichern", [&] { return !dialogs.files.empty() && dialogs.files.back().save; }},
      {"cmdLaden", [&] { return !dialogs.files.empty() && !dialogs.files.back().save; }},
      {"cmdBeenden", [&] { return ended; }},
      {"cmdVarno", [&] { return form.Text1[1].text() == "6"; }},
      {"cmdMini", [&] { return face(0) == "3" && form.Text1[0].text() == "3"; }},
      {"cmdZyklisch", [&] { return face(1) == "9"; }},
      {"cmdMaxMin", [&] { return face(3) == "7"; }},
      {"cmdZufall", [&] { return countersAre("1"); }, [&] { form.Text3[0].setText("0"); }},
      {"cmd3x4", [&] { return form.Text1[1].text() == "4"; }},
      {"cmd3x5", [&] { return form.Text1[1].text() == "5"; }},
      {"cmd3x6", [&] { return form.Text1[1].text() == "6"; }},
      {"cmd4x3", [&] { return form.Text1[0].text() == "4" && form.Text1[1].text() == "3"; }},
      {"cmd4x4", [&] { return form.Text1[0].text() == "4" && form.Text1[1].text() == "4"; }},
      {"cmd3x3",
       [&] { return form.Text1[0].text() == "3" && form.txtRückmeldung.text().starts_with(" ja"); }},
      {"cmdInfoAlg", [&] { return lastMessage("Zur Monte-Carlo-Methode:"); }},
      {"cmdInfoZähl", [&] { return lastMessage("Zur Äquivalenzklassenbildung:"); }},
      {"cmdInfo", [&] { return lastMessage("Programmiert von"); }},
      {"cmdBelzähl", [&] { return countersAre("560"); }},
      {"cmdZZ", [&] { return countersAre("560") && lastMessage(" 1. Varnoring gefunden"); },
       [&] { dialogs.answers = {kNo}; }},
      {"Command9", [&] { return countersAre("0"); }},
      {"cmdSpiegeln", [&] { return form.txtRückmeldung.text() == " ja, linksrum"; },
       [&] { writeMinimalRing(); }},
      {"cmdLösch(1)", [&] { return face(8) == "" && face(0) != ""; }},
      {"Command1", [&] { return face(0) == ""; }},
      {"cmdZeigen(0)", [&] { return !form.ausgabe.primitives().empty(); }, [&] { form.ausgabe.Cls(); }},
      {"cmdZeigen(1)", [&] { return !form.ausgabe.primitives().empty(); }, [&] { form.ausgabe.Cls(); }},
      {"txtAuge(10)", [&] { return form.Feldnummer == 10 && form.picEingabe.visible(); },
       [&] { writeMinimalRing(); }},
      {"cmdZahl(7)", [&] { return face(10) == "97"; }},
      {"Command3", [&] { return face(10) == "9"; }},
      {"Command6", [&] { return form.Feldnummer == 9; }},
      {"Command5", [&] { return form.Feldnummer == 10; }},
      {"Command7", [&] { return form.Feldnummer == 18; }},
      {"Command8", [&] { return form.Feldnummer == 10; }},
      {"Command4", [&] { return !form.picEingabe.visible(); }},
      {"frmWürfel(2)", [&] { return form.Feldnummer == 16; }},
      {"shpkreis(11)", [&] { return face(0) == " 4"; },
       [&] { window.run([&] { cmdZeigen_Click(form, 0); }); }},
      {"VScroll1(0)", [&] { return form.Text1[0].text() == "4"; }},
      {"VScroll1(1)", [&] { return form.Text1[1].text() == "4"; }},
      {"hscBogen", [&] { return form.hscBogen.value() > 100 && !form.ausgabe.primitives().empty(); },
       [&] { form.ausgabe.Cls(); }},
      {"cmdStop", [&] { return form.Abbruch; }},
      {"Text4", [&] { return !form.Text4.visible(); }, [&] { form.Text4.setVisible(true); }},
  };
  for (const Row& row : rows) {
    if (row.before) window.run(row.before, MainWindow::Gate::Always);
    press(row.control);
    EXPECT_TRUE(row.ran()) << row.control;
    expectMirrored();
  }
}

TEST_F(Wiring, TheScrollBarsRaiseNAndKUpwardsOneStepAtATime) {
  auto* dice = find<QScrollBar>("VScroll1(0)");
  auto* faces = find<QScrollBar>("VScroll1(1)");
  QTest::mouseClick(faces, Qt::LeftButton, {}, QPoint(faces->width() / 2, faces->height() - 3));
  EXPECT_EQ(text("Text1(1)"), "2");  // the lower arrow lowers
  const QPoint middle(dice->width() / 2, dice->height() / 2);
  QWheelEvent up(middle, dice->mapToGlobal(middle), {}, QPoint(0, 120), Qt::NoButton, Qt::NoModifier,
                 Qt::NoScrollPhase, false);
  QApplication::sendEvent(dice, &up);
  EXPECT_EQ(text("Text1(0)"), "4");  // one notch up, one more die
  dice->setValue(dice->minimum());   // the thumb at the top: the most dice
  EXPECT_EQ(text("Text1(0)"), "8");
  EXPECT_TRUE(seen("frmWürfel(7)"));
}

TEST_F(Wiring, OnlyTheLeftButtonSelectsAFaceAndNoFieldCanBeTypedIntoOrHasAMenu) {
  for (Qt::MouseButton button : {Qt::RightButton, Qt::MiddleButton}) {
    QTest::mouseClick(find("txtAuge(9)"), button, {}, QPoint(4, 4));
    QTest::mouseClick(find("frmWürfel(2)"), button, {}, QPoint(4, 4));
  }
  EXPECT_FALSE(form.Feldnummer.has_value());
  EXPECT_FALSE(seen("picEingabe"));
  for (auto* field : window.findChildren<QLineEdit*>()) {
    EXPECT_TRUE(field->isReadOnly()) << field->objectName().toStdString();
    EXPECT_EQ(field->contextMenuPolicy(), Qt::NoContextMenu);
  }
}

TEST_F(Wiring, ThePadGlidesVisiblyWhileTheWindowAnswers) {
  auto* pad = find("picEingabe");
  QTest::mouseClick(find("txtAuge(10)"), Qt::LeftButton, {}, QPoint(4, 4));
  const QPoint start = pad->pos();
  // On its way the pad is seen between where it was and where it goes, and the window takes clicks.
  EXPECT_TRUE(QTest::qWaitFor([&] { return pad->pos() != start; }, 10000));
  EXPECT_TRUE(gliding(form));
  QTest::mouseClick(find("txtAuge(17)"), Qt::LeftButton, {}, QPoint(4, 4));  // another die on the way
  EXPECT_TRUE(QTest::qWaitFor([&] { return !gliding(form); }, 10000));
  EXPECT_NEAR(pad->x(), find("frame1")->x() + find("frmWürfel(2)")->x() + 100 / 15.0, 1.5);
  EXPECT_NEAR(pad->y(), find("frame1")->y() - 420 / 15.0, 1.5);
}

TEST_F(Wiring, ACountShowsItsProgressWhileItRuns) {
  setSize(4, 4);
  bool sawProgress = false;
  form.DoEvents.setHook(
      [&] {
        window.sync();
        QApplication::processEvents();
        if (!seen("prgFortschritt")) return;
        sawProgress = true;
        EXPECT_TRUE(seen("lblRestzeit"));
        EXPECT_EQ(find<QProgressBar>("prgFortschritt")->value(), form.prgFortschritt.value());
      },
      std::chrono::nanoseconds::zero());
  window.findChild<QAction*>(QString::fromUtf8("cmdBelzähl"))->trigger();
  EXPECT_TRUE(sawProgress);
  EXPECT_FALSE(seen("prgFortschritt"));
  EXPECT_EQ(text("Text3(0)"), "15765750");
}

}  // namespace
}  // namespace varno
