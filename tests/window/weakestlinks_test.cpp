#include "window/weakestlinks.h"

#include <regex>

#include "graphic/drawing.h"
#include "ring/ringfixture.h"
#include "window/enumeration.h"

namespace varno {
namespace {

class SpectrumShown : public RingTest {
 protected:
  SpectrumShown() {
    form.showSpectrum = [this] { ++shown; };
  }

  int shown = 0;
};

const std::vector<std::vector<int>> kLink9 = {{2, 4, 14, 15}, {1, 8, 12, 13}, {7, 9, 10, 11}, {3, 5, 6, 16}};

// The counts of 4x4 (the step-by-step loop's 2251 rings of link 9 and 18 of link 10) reach the view,
// the ring in the window stays as it was, and the mark follows the ring: its weakest link forwards, or
// backwards for a ring "linksrum"; nothing for a ring that is none, has ties between neighbours (whose
// wins no labelling of the count has), or has another size.
TEST_F(SpectrumShown, CountsEveryWeakestLinkAndMarksTheRingInTheWindow) {
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
  const std::vector<std::vector<int>> tied = {{2, 4, 14, 15}, {1, 7, 12, 13}, {7, 9, 10, 11}, {3, 5, 6, 16}};
  const std::tuple<const char*, std::vector<std::vector<int>>, std::optional<int>, const char*> rows[] = {
      {"forwards", kLink9, 9,
       "Markiert: der Ring im Fenster, seine schwächste Stelle gewinnt 9 von 16 Paaren."},
      {"backwards", linksrum, 9,
       "Markiert: der Ring im Fenster (linksrum, rückwärts gelesen), seine schwächste Stelle gewinnt 9 "
       "von 16 Paaren."},
      {"ties within dice only", {{3, 3, 3, 7}, {2, 2, 6, 6}, {1, 5, 5, 5}, {4, 4, 4, 4}}, 10, nullptr},
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
    if (note) {
      EXPECT_EQ(mark.note, note) << name;
    }
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
  ASSERT_EQ(dialogs.messages.size(), 2u);
  const std::regex refusal(
      "Das Zählen aller Belegungen für 7 Würfel mit je 6 Seiten\r\nbraucht etwa [0-9]+,[0-9] GiB Speicher "
      "und [0-9]+,[0-9] GiB auf der Festplatte; so viel hat dieser Rechner nicht frei[.]\r\n\r\n"
      "Diese Größe kann hier nicht gezählt werden[.]");
  EXPECT_TRUE(std::regex_match(dialogs.messages[0].prompt, refusal)) << dialogs.messages[0].prompt;
  for (const auto& message : dialogs.messages) {
    EXPECT_EQ(message.prompt, dialogs.messages[0].prompt);
    EXPECT_EQ(message.title, "Rechenproblem");
    EXPECT_EQ(message.style, 16);
  }
  EXPECT_EQ(face(form, 0, 0).text(), "5");
  expectIdle();

  // A slow machine: 5x6 counts in 4 min, its spectrum in 7 min.
  dialogs.messages.clear();
  form.machine.memoryBytes = std::uint64_t{1} << 40;
  form.machine.workPerSecond = 1e4;
  setSize(5, 6);
  dialogs.answers = {kNo, kNo};
  cmdBelzähl_Click(form);
  cmdSpectrum_Click(form);
  ASSERT_EQ(dialogs.messages.size(), 2u);
  const std::string question =
      "Das Zählen aller Belegungen für 5 Würfel mit je 6 Seiten\r\ndauert auf diesem Rechner etwa ";
  EXPECT_EQ(dialogs.messages[0].prompt, question + "4 min.\r\n\r\nTrotzdem beginnen?");
  EXPECT_EQ(dialogs.messages[1].prompt, question + "7 min.\r\n\r\nTrotzdem beginnen?");
  for (const auto& message : dialogs.messages) {
    EXPECT_EQ(message.title, "Lange Rechnung");
    EXPECT_EQ(message.style, 36);
  }
  EXPECT_EQ(face(form, 0, 0).text(), "5");
  EXPECT_FALSE(form.spectrum);
  expectIdle();
}

}  // namespace
}  // namespace varno
