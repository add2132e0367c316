#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QTest>
#include <algorithm>
#include <numeric>

#include "windowfixture.h"

namespace varno {
namespace {

using Search = WindowTest;

// The menu-bar entry or menu item of that name.
QAction* action(MainWindow& window, const char* name) {
  if (auto* menu = window.findChild<QMenu*>(name)) return menu->menuAction();
  auto* found = window.findChild<QAction*>(name);
  EXPECT_NE(found, nullptr) << name;
  return found;
}

// Yields at every yield point of the form, running `atYield` with the number of the yield, and lets
// the window mirror the form and process its events as its own yield does.
void onEveryYield(MainWindow& window, std::function<void(int)> atYield) {
  auto count = std::make_shared<int>(0);
  window.form().DoEvents.setHook(
      [&window, count, atYield] {
        window.sync();
        QApplication::processEvents();
        atYield(++*count);
      },
      std::chrono::nanoseconds::zero());
}

std::vector<int> faceNumbers(Form& form, int n, int k) {
  std::vector<int> numbers;
  for (int d = 0; d < n; ++d)
    for (int f = 0; f < k; ++f) numbers.push_back(static_cast<int>(faceValue(form, d, f)));
  std::sort(numbers.begin(), numbers.end());
  return numbers;
}

TEST_F(Search, TheWindowOpensFillingTheScreenWithAThreeByThreeRing) {
  EXPECT_TRUE(window.isMaximized());
  EXPECT_TRUE(window.screen()->geometry().contains(window.frameGeometry().topLeft()));
  EXPECT_GE(window.width(), window.screen()->availableGeometry().width() * 9 / 10);
  EXPECT_EQ(text("Text1(0)"), "3");
  EXPECT_EQ(text("Text1(1)"), "3");
  EXPECT_EQ(text("txtRückmeldung").left(3), " ja");
  EXPECT_EQ(text("Text3(1)"), "1");
  EXPECT_GE(text("Text3(0)").toInt(), 1);
  EXPECT_EQ(faceNumbers(form, 3, 3), (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9}));
  EXPECT_FALSE(form.ausgabe.primitives().empty());
  EXPECT_TRUE(form.Freigabe);
  EXPECT_TRUE(form.Begrüßung);
  EXPECT_FALSE(seen("picEingabe"));
  EXPECT_FALSE(seen("Text4"));
  EXPECT_EQ(find<PrintBox>("Picture1(3)")->printed(), " maxmin");
}

TEST_F(Search, TheSameSeedOpensWithTheSameRingAfterTheSameNumberOfPasses) {
  frmVarno other;
  MainWindow second(other);
  second.Form_Load(7);
  EXPECT_EQ(other.Text3[0].text(), form.Text3[0].text());
  for (int i = 0; i < 9; ++i) EXPECT_EQ(other.txtAuge[i].text(), form.txtAuge[i].text());
}

TEST_F(Search, TheStopButtonFreesTheMenusAtOnceButThePassInProgressStaysWhole) {
  onEveryYield(window, [&](int yield) {
    if (yield == 4) {
      EXPECT_EQ(find("frmVarno.client")->cursor().shape(), Qt::BusyCursor);
      QTest::mouseClick(find<QPushButton>("cmdStop"), Qt::LeftButton);
      EXPECT_TRUE(action(window, "cmdMonteCarlo")->isEnabled());
      EXPECT_NE(find("frmVarno.client")->cursor().shape(), Qt::BusyCursor);
    }
    if (yield == 5) {  // commands and edits chosen now wait for the pass, and so never come
      action(window, "cmdZufall")->trigger();
      action(window, "cmd3x3")->trigger();
      QTest::mouseClick(find("shpkreis(11)"), Qt::LeftButton);
      find<QScrollBar>("VScroll1(1)")->setValue(5);
    }
  });
  window.run([&] { form.Text3[0].setText("0"); });
  action(window, "cmd4x3")->trigger();
  EXPECT_EQ(text("Text3(0)"), "1");
  EXPECT_EQ(text("Text1(0)"), "4");
  EXPECT_EQ(text("Text1(1)"), "3");
  EXPECT_EQ(form.VScroll1[1].value(), 3);
  std::vector<int> expected(12);
  std::iota(expected.begin(), expected.end(), 1);
  EXPECT_EQ(faceNumbers(form, 4, 3), expected);
}

}  // namespace
}  // namespace varno
