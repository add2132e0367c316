// "Rückgängig" and "Wiederholen" beyond their single steps (every kind of change as one step:
// wiring_test.cpp; that nothing is undone while a search runs: busyinput_test.cpp).
#include "windowfixture.h"

namespace varno {
namespace {

using Undo = WindowTest;

TEST_F(Undo, TheOldestStepsAreForgottenAndAnUndoneDigitIsGoneFromThePad) {
  const auto can = [&](const char* item) { return find<QAction>(item)->isEnabled(); };
  writeMinimalRing();
  click("txtAuge(0)");
  const std::string first = form.txtAuge[0].text();
  for (int i = 0; i < 105; ++i) click("cmdZahl(1)");
  for (int i = 0; i < 100; ++i) choose("cmdUndo");
  EXPECT_FALSE(can("cmdUndo"));
  EXPECT_EQ(form.txtAuge[0].text(), first + "11111");
  click("cmdZahl(2)");  // a new step forgets what could be redone
  EXPECT_EQ(form.txtAuge[0].text(), first + "111112");
  EXPECT_FALSE(can("cmdRedo"));
  choose("cmdUndo");
  click("cmdZahl(3)");
  EXPECT_EQ(form.txtAuge[0].text(), first + "111113");
}

}  // namespace
}  // namespace varno
