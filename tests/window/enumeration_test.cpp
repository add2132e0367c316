#include "window/enumeration.h"

#include <regex>

#include "counting/ringcounter.h"
#include "counting/steploop.h"
#include "counting/temporarydirectory.h"
#include "graphic/drawing.h"
#include "ring/evaluation.h"
#include "ring/ringfixture.h"
#include "window/strongest.h"
#include "window/weakestlinks.h"

namespace varno {
namespace {

using Enumeration = RingTest;

TEST(Labellings, DurationsForTheUser) {
  const std::pair<double, const char*> durations[] = {
      {0.2, "1 s"},   {40, "40 s"},         {60, "1 min"},
      {170, "3 min"}, {7500, "2 h 05 min"}, {12344.5 * 86400, "12.345 Tage"},
  };
  for (const auto& [seconds, text] : durations) EXPECT_EQ(durationText(seconds), text) << seconds;
  const std::tuple<double, int, const char*> figures[] = {
      {3853.84, 1, "3853,8"},   {12345.66, 1, "12.345,7"}, {1234567, 0, "1.234.567"},
      {-98765.4, 0, "-98.765"}, {0.25, 2, "0,25"},         {0, 1, "0,0"},
      {999, 0, "999"}};
  for (const auto& [value, decimals, text] : figures) EXPECT_EQ(germanFigure(value, decimals), text) << value;
  EXPECT_EQ(gibibytesText((std::uint64_t{38538} << 30) / 10), "3853,8 GiB");
  EXPECT_EQ(timeLeftText(10, 0.5), "noch etwa 10 s");
  EXPECT_EQ(timeLeftText(1, 0.001), "Restzeit wird geschätzt ...");
}

// 3x5: the rings' weakest links are 13, 14 and 15, the first ring's 13.
TEST_F(Enumeration, CountAndShowShowsTheLoopsRingsInOrderAndAsksAfterEach) {
  const testing::StepLoopResult& reference = testing::stepLoop(3, 5);
  setSize(3, 5);
  int bestSoFar = 0;
  std::size_t shown = 0, stopAt = 0;
  dialogs.whileAsking = [&] {
    ASSERT_LT(shown, reference.rings.size());
    const std::vector<int>& ring = reference.rings[shown++];
    EXPECT_EQ(shownRing(3, 5), ring);
    bestSoFar = std::max(bestSoFar, testing::weakestLinkOf(ring, 3, 5));
    EXPECT_EQ(form.Picture1[3].text(), numberFormat(bestSoFar) + " / 25");
    EXPECT_EQ(form.Text3[1].text(), std::to_string(shown));  // the evaluation did not raise it
    EXPECT_EQ(form.txtRückmeldung.text(), kRechtsrum);
    EXPECT_TRUE(form.Text4.visible());
    EXPECT_FALSE(form.ausgabe.primitives().empty());
    EXPECT_EQ(messages(), "Weiterer Varnoring? /  " + std::to_string(shown) + ". Varnoring gefunden / 36;");
    if (shown == stopAt) form.Abbruch = true;  // as the stop button does
  };
  // "Yes" every time: to the last ring; "No" at the first ring, the stop button while the second is on show
  // (answered "Yes"), then "No" at the third: each run starts afresh, unstopped, and ends with the ring it
  // showed last.
  const std::tuple<std::deque<int>, std::size_t, std::size_t> runs[] = {
      {{}, 0, reference.rings.size()}, {{kNo}, 0, 1}, {{kYes, kYes}, 2, 2}, {{kYes, kYes, kNo}, 0, 3}};
  for (const auto& [answers, stop, rings] : runs) {
    shown = 0;
    bestSoFar = 0;
    stopAt = stop;
    dialogs.answers = answers;
    form.Text3[0].setText("1");
    cmdZZ_Click(form);
    ASSERT_EQ(shown, rings);  // a run that showed nothing has no ring to look at
    EXPECT_EQ(shownRing(3, 5), reference.rings[shown - 1]);
    EXPECT_EQ(form.Picture1[3].text(), numberFormat(bestSoFar) + " / 25");
    EXPECT_EQ(form.Text3[0].text(), "252252");
    EXPECT_EQ(form.Text3[1].text(), std::to_string(shown));
    expectIdle();
  }
}

// Sizes without rings: the count ends with no hit, " maxmin" and empty faces, "zählen und zeigen" asks
// nothing, and the strongest ring and the spectrum say that there is none.
TEST_F(Enumeration, SizesWithoutRingsEndWithNoHitAndEmptyFacesOrAreToldOf) {
  const std::pair<std::pair<int, int>, const char*> rows[] = {
      {{3, 1}, "3 Würfeln mit je 1 Seite"},
      {{6, 2}, "6 Würfeln mit je 2 Seiten"},
  };
  for (const auto& [size, text] : rows) {
    setSize(size.first, size.second);
    face(form, 0, 0).setText("5");
    cmdBelzähl_Click(form);
    EXPECT_EQ(form.Text3[1].text() + form.Picture1[3].text() + face(form, 0, 0).text(), "0 maxmin") << text;
    cmdZZ_Click(form);
    EXPECT_EQ(form.Text3[1].text(), "0");
    const std::string none = "Aus " + std::string(text) + " gibt es keinen Varno-Ring. / ";
    cmdStrongest_Click(form);
    EXPECT_EQ(messages(), none + "Stärkster Ring / 64;");
    cmdSpectrum_Click(form);
    EXPECT_EQ(messages(), none + "Verteilung der schwächsten Stelle / 64;");
    EXPECT_FALSE(form.spectrum);
    expectIdle();
  }
}

// A stop during the count leaves the window as the loop showed it at its start, and the spectrum stops
// alike with nothing shown; one while the last ring is looked up shows the count without the ring. The
// counts after them are not stopped by their stops.
TEST_F(Enumeration, AStopDuringTheCountShowsWhatTheLoopShowedThenAndTheNextCountsRunToTheEnd) {
  int stops = 0;
  const auto stopWhen = [&](const std::function<bool()>& moment) {
    form.DoEvents.setHook(
        [&form = form, &stops, moment] {
          if (!moment()) return;
          ++stops;
          EXPECT_TRUE(form.Text4.visible() && form.searchRunning && !form.cmdSpectrum.enabled());  // busy
          form.Abbruch = true;  // as the stop button does
        },
        std::chrono::nanoseconds::zero());
  };
  const auto counting = [&] {
    return form.prgFortschritt.visible() && form.lblRestzeit.text().find("letzte") == std::string::npos;
  };
  const auto lookingUp = [&] { return form.lblRestzeit.text().find("letzte") != std::string::npos; };

  // 6x6 takes seconds: the first look at its progress comes while it counts.
  setSize(6, 6);
  stopWhen(counting);
  cmdBelzähl_Click(form);
  EXPECT_EQ(form.Text3[1].text() + form.Picture1[3].text(), "0 maxmin");
  EXPECT_EQ(form.Text3[0].text(), totalText(6, 6));
  EXPECT_EQ(shownRing(6, 6), std::vector<int>(36, 0));
  expectIdle();
  stops = 0;
  cmdSpectrum_Click(form);
  EXPECT_GT(stops, 0);
  EXPECT_FALSE(form.spectrum);
  EXPECT_TRUE(dialogs.messages.empty());
  expectIdle();

  setSize(4, 4);
  stopWhen(lookingUp);
  cmdBelzähl_Click(form);
  EXPECT_EQ(form.Text3[1].text() + form.Picture1[3].text(), "2269 10 / 16");
  EXPECT_EQ(shownRing(4, 4), std::vector<int>(16, 0));
  expectIdle();

  form.DoEvents.setHook({}, std::chrono::nanoseconds::zero());
  for (const auto& [n, k] : std::vector<std::pair<int, int>>{{3, 3}, {3, 4}, {4, 3}, {3, 5}}) {
    const testing::StepLoopResult& reference = testing::stepLoop(n, k);
    setSize(n, k);
    form.Text3[1].setText("77");
    face(form, 7, 7).setText("99");
    cmdBelzähl_Click(form);
    EXPECT_EQ(form.Text3[1].text(), std::to_string(reference.rings.size())) << n << 'x' << k;
    EXPECT_EQ(form.Picture1[3].text(), numberFormat(reference.bestMinimum) + " /" + numberFormat(k * k));
    EXPECT_EQ(shownRing(n, k), reference.rings.back());
    EXPECT_EQ(face(form, 0, 0).text(), "1");  // plain digits
    EXPECT_EQ(face(form, 7, 7).text(), "");   // all faces were emptied first
    EXPECT_EQ(form.txtRückmeldung.text(), kRechtsrum);
    EXPECT_TRUE(dialogs.messages.empty());
    expectIdle();
  }
}

// A count that does not fit in memory runs on disk, in a folder of its own that it removes (one that does
// not fit there either: SpectrumShown.IsRefusedAndAskedAboutAsTheCountIs).
TEST_F(Enumeration, ASizeBeyondTheMemoryIsCountedOnDisk) {
  const testing::TemporaryDirectory work;
  form.machine.workDirectory = work.path();
  form.machine.memoryBytes = 220 << 10;
  ASSERT_EQ(RingCounter::estimate(5, 5, counterOptions(form, work.path())).method, CountMethod::Disk);
  setSize(5, 5);
  cmdBelzähl_Click(form);
  EXPECT_TRUE(dialogs.messages.empty());
  EXPECT_EQ(form.Text3[1].text(), "25515130947");
  EXPECT_EQ(form.Picture1[3].text(), " 16 / 25");
  EXPECT_TRUE(work.files().empty());
}

// The best weakest links are pinned by the counting engine's tests; here the window shows a ring with
// it. A stop changes nothing and does not stop the searches after it.
TEST_F(Enumeration, TheStrongestRingShowsARingWithTheBestWeakestLinkOfItsSize) {
  setSize(8, 8);
  const std::vector<int> before = shownRing(8, 8);
  form.DoEvents.setHook([&] { form.Abbruch = true; }, std::chrono::nanoseconds::zero());
  cmdStrongest_Click(form);
  EXPECT_EQ(shownRing(8, 8), before);
  EXPECT_TRUE(dialogs.messages.empty());
  expectIdle();
  form.DoEvents.setHook({}, std::chrono::nanoseconds::zero());
  for (const auto& [n, k, best] :
       {std::tuple{8, 8, 44}, std::tuple{3, 4, 9}, std::tuple{4, 5, 16}, std::tuple{5, 3, 5}}) {
    setSize(n, k);
    cmdStrongest_Click(form);
    EXPECT_EQ(testing::weakestLinkOf(shownRing(n, k), n, k), best) << n << 'x' << k;
    EXPECT_EQ(form.txtRückmeldung.text(), kRechtsrum);
    EXPECT_EQ(form.Picture1[3].text(), numberFormat(best) + " /" + numberFormat(k * k));
    EXPECT_EQ(messages(), "Kein Ring aus " + std::to_string(n) + " Würfeln mit je " + std::to_string(k) +
                              " Seiten hat eine stärkere schwächste Stelle:\r\nsie gewinnt " +
                              std::to_string(best) + " von " + std::to_string(k * k) +
                              " Paaren. / Stärkster Ring / 64;");
    expectIdle();
  }
}

using SpectrumShown = RingTest;

const std::vector<std::vector<int>> kLink9 = {{2, 4, 14, 15}, {1, 8, 12, 13}, {7, 9, 10, 11}, {3, 5, 6, 16}};

// The counts of 4x4 (the step-by-step loop's 2251 rings of link 9 and 18 of link 10) reach the view,
// the ring in the window stays as it was, and the mark follows the ring: its weakest link forwards, or
// backwards for a ring "linksrum"; nothing for a ring that is none, has ties between neighbours (whose
// wins no labelling of the count has), or has another size.
TEST_F(SpectrumShown, CountsEveryWeakestLinkAndMarksTheRingInTheWindow) {
  int shown = 0;
  form.showSpectrum = [&] { ++shown; };
  EXPECT_EQ(spectrumMark(form).link, std::nullopt);  // nothing counted yet
  setSize(4, 4);
  setDice(kLink9);
  cmdSpectrum_Click(form);
  ASSERT_TRUE(form.spectrum);
  EXPECT_EQ(std::tuple(form.spectrum->n, form.spectrum->k, form.spectrum->leastLink), std::tuple(4, 4, 9));
  EXPECT_EQ(form.spectrum->rings, (std::vector<std::string>{"2251", "18"}));
  EXPECT_EQ(shown, 1);
  EXPECT_TRUE(dialogs.messages.empty());
  EXPECT_EQ(die(3, 4), (std::vector<std::string>{"3", "5", "6", "16"}));
  expectIdle();

  const std::vector<std::vector<int>> linksrum = {
      {3, 5, 6, 16}, {7, 9, 10, 11}, {1, 8, 12, 13}, {2, 4, 14, 15}};
  const std::vector<std::vector<int>> tiedWithin = {{3, 3, 3, 7}, {2, 2, 6, 6}, {1, 5, 5, 5}, {4, 4, 4, 4}};
  const std::vector<std::vector<int>> tied = {{2, 4, 14, 15}, {1, 7, 12, 13}, {7, 9, 10, 11}, {3, 5, 6, 16}};
  const std::tuple<const char*, std::vector<std::vector<int>>, std::optional<int>, const char*> rows[] = {
      {"forwards", kLink9, 9,
       "Markiert: der Ring im Fenster, seine schwächste Stelle gewinnt 9 von 16 Paaren."},
      {"backwards", linksrum, 9,
       "Markiert: der Ring im Fenster (linksrum, rückwärts gelesen), seine schwächste Stelle gewinnt 9 "
       "von 16 Paaren."},
      {"ties within dice only", tiedWithin, 10,
       "Markiert: der Ring im Fenster, seine schwächste Stelle gewinnt 10 von 16 Paaren."},
      {"ties between neighbours", tied, std::nullopt,
       "Der Ring im Fenster hat gleiche Augen auf Nachbarwürfeln; solche Ringe zählt die Verteilung nicht, "
       "nichts ist markiert."},
      {"no ring",
       {{1, 2, 3, 4}, {5, 6, 7, 8}, {9, 10, 11, 12}, {13, 14, 15, 16}},
       std::nullopt,
       "Der Ring im Fenster ist kein Varno-Ring; nichts ist markiert."},
  };
  for (const auto& [name, dice, link, note] : rows) {
    setDice(dice);
    const SpectrumMark mark = spectrumMark(form);
    EXPECT_EQ(mark.link, link) << name;
    EXPECT_EQ(mark.note, note) << name;
  }
  setSize(5, 4);
  setDice({{1, 2, 3, 4}, {5, 6, 7, 8}, {9, 10, 11, 12}, {13, 14, 15, 16}, {17, 18, 19, 20}});
  EXPECT_EQ(spectrumMark(form).note, "Der Ring im Fenster hat eine andere Größe; nichts ist markiert.");
}

// Where counting all labellings is refused, or asked about as long, so is the spectrum, in the same
// words; its time is that of all its counts. Refused or declined, nothing changes.
TEST_F(SpectrumShown, IsRefusedAndAskedAboutAsTheCountIs) {
  form.machine.memoryBytes = std::uint64_t{1} << 20;
  form.machine.diskBytes = std::uint64_t{1} << 20;
  setSize(7, 6);
  face(form, 0, 0).setText("5");
  cmdBelzähl_Click(form);
  cmdSpectrum_Click(form);
  // The same refusal twice.
  const std::regex refusals(
      "(Das Zählen aller Belegungen für 7 Würfel mit je 6 Seiten\r\nbraucht etwa [0-9]+,[0-9] GiB Speicher "
      "und [0-9]+,[0-9] GiB auf der Festplatte; so viel hat dieser Rechner nicht frei[.]\r\n\r\n"
      "Diese Größe kann hier nicht gezählt werden[.] / Rechenproblem / 16;)\\1");
  const std::string shown = messages();
  EXPECT_TRUE(std::regex_match(shown, refusals)) << shown;
  EXPECT_EQ(face(form, 0, 0).text(), "5");
  expectIdle();

  // A slow machine: 5x6 counts in 4 min, its spectrum in 7 min.
  form.machine.memoryBytes = std::uint64_t{1} << 40;
  form.machine.workPerSecond = 1e4;
  setSize(5, 6);
  dialogs.answers = {kNo, kNo};
  cmdBelzähl_Click(form);
  cmdSpectrum_Click(form);
  const std::string question =
      "Das Zählen aller Belegungen für 5 Würfel mit je 6 Seiten\r\ndauert auf diesem Rechner etwa ";
  const std::string asked = ".\r\n\r\nTrotzdem beginnen? / Lange Rechnung / 36;";
  EXPECT_EQ(messages(), question + "4 min" + asked + question + "7 min" + asked);
  EXPECT_EQ(face(form, 0, 0).text(), "5");
  EXPECT_FALSE(form.spectrum);
  expectIdle();
}

}  // namespace
}  // namespace varno
