#include "window/montecarlo.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <set>

#include "graphic/drawing.h"
#include "ring/evaluation.h"
#include "ring/ringfixture.h"
#include "window/busy.h"

namespace varno {
namespace {

class MonteCarlo : public RingTest {
 protected:
  MonteCarlo() { form.random.seed(12345); }

  // Yields at every yield point, running `atYield` with the number of the yield.
  void onEveryYield(const std::function<void(int)>& atYield) {
    form.DoEvents.setHook([this, atYield] { atYield(++yields); }, std::chrono::nanoseconds::zero());
  }

  // Every number from 1 to n k once, in plain digits, ascending on every die; the faces out of use empty.
  void expectCompleteLabelling(int n, int k) {
    std::vector<int> all = shownRing(n, k);
    for (int d = 0; d < n; ++d) EXPECT_TRUE(std::is_sorted(all.begin() + d * k, all.begin() + (d + 1) * k));
    for (int i = 0; i < kDice * kFaces; ++i) {
      const bool used = i / kFaces < n && i % kFaces < k;
      EXPECT_EQ(form.txtAuge[i].text(), used ? std::to_string(all[i / kFaces * k + i % kFaces]) : "") << i;
    }
    std::sort(all.begin(), all.end());
    for (int i = 0; i < n * k; ++i) EXPECT_EQ(all[i], i + 1);
  }

  int yields = 0;
};

TEST_F(MonteCarlo, PassesPerRingFollowTheDealingNotAUniformShuffle) {
  // Going through every way the numbers 1 to 9 can be dealt, each to one of the dice with an empty face,
  // all equally likely, 2 of 243 deals give a ring: 121.5 passes per ring. A uniform shuffle would find
  // one in 56.
  const double p = 2.0 / 243;
  const int runs = 800;
  form.Text3[0].setText("0");  // "Gesamt" counts the passes of all runs
  for (int run = 0; run < runs; ++run) cmd3x3_Click(form);
  const double mean = leadingNumber(form.Text3[0].text()) / runs;
  const double sigma = std::sqrt(1 - p) / p / std::sqrt(runs);  // geometric number of passes
  EXPECT_NEAR(mean, 1 / p, 5 * sigma);
}

// A stop ends the run after the pass in progress; the searches after it are not stopped by it: every
// menu size runs until a ring, in either direction.
TEST_F(MonteCarlo, AStopEndsTheRunAfterThePassInProgressAndTheNextSearchesRunUntilARing) {
  for (int stopAt : {1, 6}) {  // before the first test of the loop, and inside the first pass
    yields = 0;
    onEveryYield([&](int yield) {
      if (yield != stopAt) return;
      cmdStop_Click(form);
      EXPECT_TRUE(form.cmdMonteCarlo.enabled());  // the busy state ends at once
      EXPECT_FALSE(form.Text4.visible());
    });
    form.Text3[0].setText("41");
    form.txtRückmeldung.setText("");
    cmd4x4_Click(form);
    EXPECT_EQ(form.Text3[0].text(), "42");  // one pass, completed, evaluated and drawn
    expectCompleteLabelling(4, 4);
    EXPECT_EQ(form.txtRückmeldung.text(), evaluate(readRing(form)).verdict);
    EXPECT_EQ(form.ausgabe.primitives().size(), 4u + 4 + 16 * 11 + 4 + 4u);
    EXPECT_FALSE(form.searchRunning);
  }
  form.DoEvents.setHook({}, std::chrono::nanoseconds::zero());
  const std::vector<std::pair<void (*)(Form&), std::pair<int, int>>> items = {
      {cmd3x3_Click, {3, 3}}, {cmd3x4_Click, {3, 4}}, {cmd3x5_Click, {3, 5}},
      {cmd3x6_Click, {3, 6}}, {cmd4x3_Click, {4, 3}}, {cmd4x4_Click, {4, 4}}};
  for (const auto& [click, size] : items) {
    const auto [n, k] = size;
    for (Control& field : form.txtAuge) field.setText("");  // no ring left to count again on resizing
    form.Text3[0].setText("1000");
    form.Text3[1].setText("7");
    click(form);
    EXPECT_EQ(form.txtRückmeldung.text().substr(0, 3), " ja");  // the menu's size: the labelling below
    EXPECT_GT(leadingNumber(form.Text3[0].text()), 1000);
    EXPECT_EQ(form.Text3[1].text(), "8");
    expectCompleteLabelling(n, k);
    EXPECT_TRUE(form.Freigabe);
    EXPECT_FALSE(form.dealing || form.searchRunning || form.Abbruch || form.Text4.visible());
    EXPECT_EQ(form.ausgabe.primitives().size(), 2u * n + n * k * 11 + 2u * n);  // drawn in full
  }
  bool sawBackwards = false, sawForwards = false;
  for (int run = 0; run < 200 && !(sawBackwards && sawForwards); ++run) {
    cmd3x3_Click(form);
    sawBackwards |= form.txtRückmeldung.text() == kLinksrum;
    sawForwards |= form.txtRückmeldung.text() == kRechtsrum;
  }
  EXPECT_TRUE(sawBackwards);
  EXPECT_TRUE(sawForwards);
}

// "Zufalls-Set" deals for the size shown, not the menu's: every number once, ascending on every die, the
// faces out of use emptied, evaluated once after the last number. The counters can be reset.
TEST_F(MonteCarlo, ZufallsSetDealsForTheShownSizeAndTheCountersCanBeReset) {
  form.MCWürfelanzahl = 4;
  form.MCSeitenzahl = 4;
  form.Text3[0].setText("2147483644");
  for (const auto& [n, k] : std::vector<std::pair<int, int>>{{3, 3}, {8, 8}, {3, 1}, {5, 2}}) {
    setSize(n, k);
    face(form, 7, 7).setText("99");  // out of use but at 8x8: emptied too
    form.txtSumme[0].setText("not evaluated");
    form.picEingabe.setVisible(true);
    bool evaluatedEarly = false;
    yields = 0;
    onEveryYield([&](int) { evaluatedEarly |= form.txtSumme[0].text() != "not evaluated"; });
    cmdZufall_Click(form);
    EXPECT_EQ(yields, n * k);  // once per number
    EXPECT_FALSE(evaluatedEarly) << n << 'x' << k;
    EXPECT_NE(form.txtSumme[0].text(), "not evaluated");
    EXPECT_TRUE(form.Freigabe);
    EXPECT_FALSE(form.dealing || form.picEingabe.visible());
    expectCompleteLabelling(n, k);
  }
  EXPECT_EQ(form.Text3[0].text(), "2147483648");
  EXPECT_EQ(form.txtRückmeldung.text(), kNein);  // two faces: no ring is possible

  form.Text3[1].setText("3");
  form.Picture1[3].setText(" 5 / 9");
  Command9_Click(form);
  EXPECT_EQ(form.Text3[0].text() + form.Text3[1].text() + form.Picture1[3].text(), "00");
}

std::vector<bool> enabled(const Form& form) {
  std::vector<bool> all;
  for (const Control* control : form.controls()) all.push_back(control->enabled());
  return all;
}

TEST(Busy, EndingRestoresEverythingBeginningTookHoweverOftenEitherRan) {
  frmVarno form;
  const std::vector<bool> idle = enabled(form);
  RechnungBeginn(form);
  RechnungBeginn(form);
  EXPECT_TRUE(form.Text4.visible());
  EXPECT_TRUE(form.busyPointer);
  // Exactly what would start a command or change the ring is disabled; the stop button, information,
  // the pad, the graphic, the matrix, export and copy stay usable.
  std::set<std::string> disabled,
      expected = {"cmdZufall",   "cmdDatei",     "cmdBeispiele", "cmdMonteCarlo", "cmdKombinatorik",
                  "VScroll1(0)", "VScroll1(1)",  "cmdStrongest", "cmdSpectrum",   "cmdPaste",
                  "Command9",    "cmdZeigen(0)", "cmdSpiegeln",  "Command1"};
  for (const Control& control : form.frmWürfel) expected.insert(control.name());
  for (const Control& control : form.txtAuge) expected.insert(control.name());
  for (const Control* control : form.controls())
    if (!control->enabled()) disabled.insert(control->name());
  EXPECT_EQ(disabled, expected);
  Text4_Click(form);  // the notice can be clicked away; the busy state stays
  EXPECT_FALSE(form.Text4.visible());
  EXPECT_FALSE(form.cmdMonteCarlo.enabled());
  RechnungEnde(form);
  RechnungEnde(form);
  EXPECT_EQ(enabled(form), idle);
  EXPECT_FALSE(form.Text4.visible());
  EXPECT_FALSE(form.busyPointer);
  RechnungBeginn(form);
  EXPECT_TRUE(form.Text4.visible());
}

}  // namespace
}  // namespace varno
