// "Rückgängig" and "Wiederholen": every kind of change of the ring, a search with all its passes too, is
// one step, undone to exactly the ring before it and redone to the ring after it (that nothing is undone
// while a search runs: busyinput_test.cpp).
#include <QClipboard>
#include <QScrollBar>

#include "counting/temporarydirectory.h"
#include "ring/evaluation.h"
#include "ringhistory.h"
#include "window/ringstate.h"
#include "windowfixture.h"

namespace varno {
namespace {

class Undo : public WindowTest {
 protected:
  Undo() {
    opened = ring();
    couldUndo = canUndo() || canRedo();
    // Texts on the hidden faces and dice, which an undo must give back too.
    window.run([&] {
      for (int i = 0; i < kDice * kFaces; ++i)
        if (i % kFaces >= 3 || i >= 3 * kFaces) form.txtAuge[i].setText("h" + std::to_string(i));
    });
    writeMinimalRing();
  }
  RingState ring() const { return ringState(form); }
  RingState opened;  // the ring the window opened with
  bool couldUndo;
  bool canUndo() { return find<QAction>("cmdUndo")->isEnabled(); }
  bool canRedo() { return find<QAction>("cmdRedo")->isEnabled(); }
  // The window shows the ring the fields hold, evaluated and drawn.
  void expectShown(const std::string& context) {
    SCOPED_TRACE(context);
    expectMirrored();
    EXPECT_EQ(form.txtRückmeldung.text(), evaluate(readRing(form)).verdict);
    EXPECT_FALSE(form.ausgabe.primitives().empty());
  }
};

TEST_F(Undo, EveryKindOfChangeIsOneStepUndoneToTheRingBeforeAndRedoneToTheRingAfter) {
  const testing::TemporaryDirectory folder;
  std::vector<std::string> faces(32);
  for (int i = 0; i < 32; ++i) faces[i] = std::to_string(40 + i);
  testing::writeFile(folder.path() + "/ring.vrf", ringFile("4", "2", faces));
  const auto scroll = [&](const char* name) {
    auto* bar = find<QScrollBar>(name);
    QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(bar->width() / 2, 3));  // the upper arrow: one more
  };
  const struct {
    const char* name;
    std::function<void()> change, before = {};
  } rows[] = {
      {"X", [&] { click("Command1"); }, [&] { writeMinimalRing(); }},
      {"x", [&] { click("cmdLösch(1)"); }, [&] { writeMinimalRing(); }},
      {"umdrehen", [&] { click("cmdSpiegeln"); }},
      {"a digit of the pad", [&] { click("cmdZahl(7)"); }, [&] { click("txtAuge(4)"); }},
      {"the pad's own undo of a digit", [&] { click("Command3"); }},
      {"a left click on a marker", [&] { click("shpkreis(12)"); }},
      {"a right click on a marker", [&] { click("shpkreis(31)", Qt::RightButton); }},
      {"Gr, which sorts", [&] { click("cmdZeigen(0)"); },
       [&] { window.run([&] { face(form, 1, 0).setText("30"); }); }},
      {"an example", [&] { choose("cmdZyklisch"); }},
      {"laden", [&] { choose("cmdLaden"); }, [&] { dialogs.chosen = {folder.path() + "/ring.vrf"}; }},
      {"Ring einfügen", [&] { choose("cmdPaste"); },
       [&] { QGuiApplication::clipboard()->setText("(9, 1), (8, 2), (7, 3), (6, 4), (5, 0)"); }},
      {"Zufalls-Set", [&] { choose("cmdZufall"); }},
      {"n", [&] { scroll("VScroll1(0)"); }},
      {"k", [&] { scroll("VScroll1(1)"); }},
      {"a Monte Carlo search", [&] { choose("cmd3x4"); }},
      {"alle Belegungen zählen", [&] { choose("cmdBelzähl"); }, [&] { writeMinimalRing(); }},
      {"zählen und zeigen", [&] { choose("cmdZZ"); },
       [&] {
         dialogs.answers = {kYes, kNo};
       }},
      {"stärksten Ring zeigen", [&] { choose("cmdStrongest"); },
       [&] { window.run([&] { setRingSize(form, 4, 4); }); }},
  };
  for (const auto& row : rows) {
    if (row.before) row.before();
    const RingState before = ring();
    row.change();
    const RingState after = ring();
    ASSERT_NE(after, before) << row.name;
    EXPECT_TRUE(canUndo() && !canRedo()) << row.name;
    choose("cmdUndo");
    EXPECT_EQ(ring(), before) << row.name;
    expectShown(row.name);
    EXPECT_TRUE(canRedo()) << row.name;
    choose("cmdRedo");
    EXPECT_EQ(ring(), after) << row.name;
    expectShown(row.name);
    EXPECT_FALSE(canRedo()) << row.name;
  }
  // The ring the window opened with is the first step: nothing before it, not even the start's search.
  for (int steps = 0; canUndo() && steps < RingHistory::kUndoLimit; ++steps) choose("cmdUndo");
  EXPECT_EQ(ring(), opened);
  EXPECT_FALSE(couldUndo);
}

TEST_F(Undo, TheOldestStepsAreForgottenAndAnUndoneDigitIsGoneFromThePad) {
  click("txtAuge(0)");
  const std::string first = form.txtAuge[0].text();
  for (int i = 0; i < 105; ++i) click("cmdZahl(1)");
  for (int i = 0; i < 100; ++i) choose("cmdUndo");
  EXPECT_FALSE(canUndo());
  EXPECT_EQ(form.txtAuge[0].text(), first + "11111");
  click("cmdZahl(2)");  // a new step forgets what could be redone
  EXPECT_EQ(form.txtAuge[0].text(), first + "111112");
  EXPECT_FALSE(canRedo());
  choose("cmdUndo");
  click("cmdZahl(3)");
  EXPECT_EQ(form.txtAuge[0].text(), first + "111113");
}

}  // namespace
}  // namespace varno
