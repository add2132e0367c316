#include <QAction>
#include <QMenu>
#include <QProgressBar>
#include <QTest>

#include "windowfixture.h"

namespace varno {
namespace {

using Counting = WindowTest;

TEST_F(Counting, TheWindowShowsTheProgressOfACountAndItsResult) {
  setSize(4, 4);
  bool sawProgress = false;
  form.DoEvents.setHook(
      [&] {
        window.sync();
        QApplication::processEvents();
        if (!seen("prgFortschritt")) return;
        sawProgress = true;
        EXPECT_TRUE(seen("lblRestzeit"));
        EXPECT_TRUE(seen("Text4"));
        EXPECT_FALSE(window.findChild<QMenu*>("cmdKombinatorik")->menuAction()->isEnabled());
        EXPECT_EQ(text("Text3(1)"), "0");  // as the loop showed it when it began
      },
      std::chrono::nanoseconds::zero());
  window.findChild<QAction*>(QString::fromUtf8("cmdBelzähl"))->trigger();
  EXPECT_TRUE(sawProgress);
  EXPECT_FALSE(seen("prgFortschritt"));
  EXPECT_FALSE(seen("Text4"));
  EXPECT_EQ(text("Text3(0)"), "15765750");
  EXPECT_GT(text("Text3(1)").toLongLong(), 0);
  EXPECT_EQ(text("txtRückmeldung"), " ja, rechtsrum");
  EXPECT_TRUE(find<PrintBox>("Picture1(3)")->printed().endsWith(" / 16"));
}

TEST_F(Counting, TheStopButtonEndsACountAtOnce) {
  setSize(6, 5);
  int yields = 0;
  form.DoEvents.setHook(
      [&] {
        window.sync();
        QApplication::processEvents();
        if (++yields == 3) QTest::mouseClick(find<QPushButton>("cmdStop"), Qt::LeftButton);
      },
      std::chrono::nanoseconds::zero());
  dialogs.answers = {kYes};  // should the count be thought long
  const auto start = std::chrono::steady_clock::now();
  window.findChild<QAction*>(QString::fromUtf8("cmdBelzähl"))->trigger();
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
  EXPECT_EQ(text("Text3(1)"), "0");
  EXPECT_TRUE(find("VScroll1(0)")->isEnabled());
  EXPECT_FALSE(seen("Text4"));
}

}  // namespace
}  // namespace varno
