// Every control, pressed by the mouse or by its key, runs its handler and every widget shows its control;
// every change of the ring, a search with all its passes too, is one step undone and redone. While a search
// runs, nothing disabled reacts, nor the pad or the markers, and what the stop frees waits for the pass.
#include <QClipboard>
#include <QScrollBar>
#include <set>

#include "counting/temporarydirectory.h"
#include "ring/evaluation.h"
#include "ringhistory.h"
#include "window/ringstate.h"
#include "window/ringtext.h"
#include "window/wiring.h"
#include "windowfixture.h"

namespace varno {
namespace {

// Remembers which drawing a widget painted last.
struct PaintWatch : QObject {
  PaintWatch(QWidget* widget, const Surface& surface) : surface(surface) { widget->installEventFilter(this); }
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) painted = surface.revision();
    return false;
  }
  const Surface& surface;
  std::uint64_t painted = 0;
};

class Wiring : public WindowTest {
 protected:
  Wiring() {
    EXPECT_FALSE(canUndo() || canRedo());
    // Texts on the hidden faces and dice, which an undo must give back too.
    window.run([&] {
      for (int i = 0; i < kDice * kFaces; ++i)
        if (i % kFaces >= 3 || i >= 3 * kFaces) form.txtAuge[i].setText("h" + std::to_string(i));
    });
    writeMinimalRing();
    window.run([&] { form.ausgabe.Cls(); });
  }

  // Presses a control as the user does: a menu item is chosen, anything else is clicked with the left
  // button (a scroll bar on its upper or right arrow).
  void press(const std::string& name) {
    if (auto* item = window.findChild<QAction*>(QString::fromStdString(name))) {
      item->trigger();
    } else if (auto* bar = window.findChild<QScrollBar*>(QString::fromStdString(name))) {
      QTest::mouseClick(bar, Qt::LeftButton, {},
                        bar->orientation() == Qt::Vertical ? QPoint(bar->width() / 2, 3)
                                                           : QPoint(bar->width() - 3, bar->height() / 2));
    } else {
      click(name.c_str());
    }
  }

  // Presses every control, with its key where it has one if `byKeys`, and checks a sign that its handler
  // ran (once, where twice would show) and that every widget shows its control.
  void pressEveryControl(bool byKeys) {
    form.endProgram = [&] { ++endings; };
    QObject::connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, &window, [&] { ++copies; });
    // The strongest ring is told beside the window as it is: showing its controls, painted and not busy.
    const PaintWatch canvas(find("picAusgabe"), form.ausgabe);
    int toldIdle = 0;
    dialogs.whileAsking = [&] {
      if (!told("Stärkster Ring")) return;
      expectMirrored();
      toldIdle += canvas.painted == form.ausgabe.revision() && !seen("Text4") &&
                  find("frmVarno.client")->cursor().shape() != Qt::BusyCursor;
    };
    RingState kept;
    std::size_t messages = 0;
    const auto clear = [&] { form.ausgabe.Cls(); };
    struct Row {
      std::string control;
      std::function<bool()> ran;
      std::function<void()> before = {};
      QKeySequence key = {};
    };
    const std::vector<Row> rows = {
        {"cmdSpeichern",
         [&] { return dialogs.files.size() == 1 && dialogs.files[0].save; },
         {},
         QKeySequence("Ctrl+S")},
        {"cmdLaden", [&] { return dialogs.files.size() == 2 && !dialogs.files[1].save && face(9) == "49"; },
         [&] {
           std::vector<std::string> faces(32);
           for (int i = 0; i < 32; ++i) faces[i] = std::to_string(40 + i);
           testing::writeFile(folder.path() + "/ring.vrf", ringFile("4", "2", faces));
           dialogs.chosen = {folder.path() + "/ring.vrf"};
         },
         QKeySequence("Ctrl+O")},
        {"cmdBeenden", [&] { return endings == 1; }, {}, QKeySequence("Ctrl+Q")},
        {"cmdVarno", [&] { return form.Text1[1].text() == "6"; }},
        {"cmdMini", [&] { return face(0) == "3" && form.Text1[0].text() == "3"; }},
        {"cmdZyklisch", [&] { return face(1) == "9"; }},
        {"cmdZufall", [&] { return form.Text3[0].text() == "1"; }, [&] { form.Text3[0].setText("0"); }},
        {"cmd3x4", [&] { return size("3", "4"); }},
        {"cmd3x5", [&] { return size("3", "5"); }},
        {"cmd3x6", [&] { return size("3", "6"); }},
        {"cmd4x3", [&] { return size("4", "3"); }},
        {"cmd4x4", [&] { return size("4", "4"); }},
        {"cmd3x3", [&] { return size("3", "3") && form.txtRückmeldung.text().starts_with(" ja"); }},
        {"cmdBelzähl", [&] { return form.Text3[0].text() == "560"; }, [&] { writeMinimalRing(); }},
        {"cmdZZ", [&] { return form.Text3[0].text() == "560" && told(" 1. Varnoring gefunden"); },
         [&] { dialogs.answers = {kNo}; }},
        {"Command9", [&] { return form.Text3[0].text() == "0"; }},
        {"cmdSpiegeln", [&] { return form.txtRückmeldung.text() == " ja, linksrum"; },
         [&] { writeMinimalRing(); }},
        {"cmdLösch(1)", [&] { return face(8).empty() && !face(0).empty(); }},
        {"Command1", [&] { return face(0).empty(); }},
        {"cmdZeigen(0)", [&] { return drawn(); }, clear},
        {"cmdZeigen(1)", [&] { return drawn(); }, clear},
        {"txtAuge(10)", [&] { return form.Feldnummer == 10 && form.picEingabe.visible(); },
         [&] { writeMinimalRing(); }},
        {"cmdZahl(7)", [&] { return face(10) == "97"; }, {}, Qt::Key_7},
        {"Command3", [&] { return face(10) == "9"; }, {}, Qt::Key_Backspace},
        {"Command6", [&] { return form.Feldnummer == 9; }, {}, Qt::Key_Up},
        {"Command5", [&] { return form.Feldnummer == 10; }, {}, Qt::Key_Down},
        {"Command7", [&] { return form.Feldnummer == 18; }, {}, Qt::Key_Right},
        {"Command8", [&] { return form.Feldnummer == 10; }, {}, Qt::Key_Left},
        {"Command4", [&] { return !form.picEingabe.visible(); }, {}, Qt::Key_Escape},
        {"", [&] { return face(10) == "9"; }, {}, Qt::Key_5},  // a digit key without the pad
        {"frmWürfel(2)", [&] { return form.Feldnummer == 16; }},
        {"shpkreis(11)", [&] { return face(0) == " 4"; }, [&] { cmdZeigen_Click(form, 0); }},
        // One step undone, not the click before it.
        {"cmdUndo", [&] { return ringState(form) == kept; },
         [&] {
           kept = ringState(form);
           form.txtAuge[10].setText("11");
         },
         QKeySequence("Ctrl+Z")},
        {"cmdRedo", [&] { return face(10) == "11"; }, {}, QKeySequence("Ctrl+Shift+Z")},
        {"cmdUndo", [&] { return ringState(form) == kept; }, {}, QKeySequence("Ctrl+Z")},
        {"cmdRedo", [&] { return face(10) == "11"; }, {}, QKeySequence("Ctrl+Y")},
        // Up to the largest k: a position turned into a value the wrong way round leaves the range.
        {"VScroll1(0)", [&] { return form.Text1[0].text() == "6"; }, [&] { setRingSize(form, 5, 7); }},
        {"VScroll1(1)", [&] { return form.Text1[1].text() == "8"; }},
        {"hscBogen", [&] { return form.hscBogen.value() > 100 && drawn(); }, clear},
        {"cmdStop", [&] { return form.Abbruch; }},
        {"Text4", [&] { return !form.Text4.visible(); }, [&] { form.Text4.setVisible(true); }},
        {"cmdCopy",
         [&] { return QGuiApplication::clipboard()->text().toStdString() == ringText(form) && copies == 1; },
         [&] {
           QGuiApplication::clipboard()->clear();
           copies = 0;
         },
         QKeySequence("Ctrl+C")},
        {"cmdPrint", [&] { return dialogs.printDialogs == 1; }, {}, QKeySequence("Ctrl+P")},
        {"cmdStrongest", [&] { return toldIdle == 1; }},
        // A clipboard larger than any ring is refused for its length, without reading all of it, and the
        // ring stays.
        {"cmdPaste",
         [&] {
           return dialogs.messages.size() == messages + 1 && ringState(form) == kept &&
                  dialogs.messages.back().prompt.ends_with("Der Text ist zu lang für einen Ring.");
         },
         [&] {
           QGuiApplication::clipboard()->setText(QString("1 2 | 3 4 | 5 6\n").repeated(1 << 20));
           messages = dialogs.messages.size();
           kept = ringState(form);
         },
         QKeySequence("Ctrl+V")},
        // Last: the manual's window takes the keys from here on.
        {"cmdHelp",
         [&] { return find("frmManual")->isVisible() && find("frmManual")->windowTitle() == "Handbuch"; },
         {},
         QKeySequence(Qt::Key_F1)},
    };
    for (const Row& row : rows) {
      if (row.control.empty() && !byKeys) continue;
      if (row.before) window.run(row.before, MainWindow::Gate::Always);
      const RingState before = ringState(form);
      if (byKeys && !row.key.isEmpty()) {
        QTest::keySequence(&window, row.key);
      } else {
        press(row.control);
      }
      EXPECT_TRUE(row.ran()) << row.control << " " << row.key.toString().toStdString();
      expectMirrored();
      const RingState after = ringState(form);
      if (after == before || row.control.starts_with("cmdUndo") || row.control.starts_with("cmdRedo"))
        continue;
      SCOPED_TRACE(row.control);
      EXPECT_TRUE(canUndo() && !canRedo());
      choose("cmdUndo");
      EXPECT_EQ(ringState(form), before);
      expectShown();
      choose("cmdRedo");
      EXPECT_EQ(ringState(form), after);
      expectShown();
    }
    // The ring the window opened with is the first step: nothing before it, not even the start's search.
    for (int steps = 0; canUndo() && steps < RingHistory::kUndoLimit; ++steps) choose("cmdUndo");
    EXPECT_EQ(ringState(form), opened);
  }

  // The window shows the ring the fields hold, evaluated and drawn.
  void expectShown() {
    expectMirrored();
    EXPECT_EQ(form.txtRückmeldung.text(), evaluate(readRing(form)).verdict);
    EXPECT_FALSE(form.ausgabe.primitives().empty());
  }
  bool canUndo() { return find<QAction>("cmdUndo")->isEnabled(); }
  bool canRedo() { return find<QAction>("cmdRedo")->isEnabled(); }

  std::string face(int index) { return form.txtAuge[index].text(); }
  bool size(const char* n, const char* k) { return form.Text1[0].text() == n && form.Text1[1].text() == k; }
  bool told(const char* title) { return !dialogs.messages.empty() && dialogs.messages.back().title == title; }
  bool drawn() { return !form.ausgabe.primitives().empty(); }
  int endings = 0, copies = 0;
  const RingState opened = ringState(form);
  const testing::TemporaryDirectory folder;
};

TEST_F(Wiring, EveryControlRunsItsHandlerAndEveryWidgetShowsItsControl) {
  // Only the left button selects a face.
  for (Qt::MouseButton button : {Qt::RightButton, Qt::MiddleButton}) {
    click("txtAuge(9)", button);
    click("frmWürfel(2)", button);
  }
  EXPECT_FALSE(form.Feldnummer.has_value() || form.picEingabe.visible());
  pressEveryControl(false);
}

TEST_F(Wiring, EveryKeyRunsTheHandlerOfItsControl) {
  window.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
  pressEveryControl(true);
}

TEST_F(Wiring, TheOldestStepsAreForgottenAndAnUndoneDigitIsGoneFromThePad) {
  click("txtAuge(0)");
  const std::string first = form.txtAuge[0].text();
  for (int i = 0; i < 105; ++i) click("cmdZahl(1)");
  for (int i = 0; i < 100; ++i) choose("cmdUndo");
  EXPECT_TRUE(form.txtAuge[0].text() == first + "11111" && !canUndo());
  click("cmdZahl(2)");  // a new step forgets what could be redone
  EXPECT_TRUE(form.txtAuge[0].text() == first + "111112" && !canRedo());
  choose("cmdUndo");
  click("cmdZahl(3)");
  EXPECT_EQ(form.txtAuge[0].text(), first + "111113");
}

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

TEST_F(BusyInput, NothingReactsDuringAMonteCarloRunAndWhatTheStopFreesWaitsForIt) {
  // A face selected outside the 4x4 ring: a key let through would change it without upsetting the dealing.
  window.run([&] { setRingSize(form, 8, 8); });
  click("txtAuge(63)");
  form.Text3[0].setText("0");  // the passes
  atFirstYield([&] { return form.dealing; });
  choose("cmd4x4");
  EXPECT_TRUE(pressed && !form.searchRunning);
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

}  // namespace
}  // namespace varno
