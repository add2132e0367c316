#include "ring/evaluation.h"

#include <iterator>
#include <sstream>

#include "ringfixture.h"

namespace varno {
namespace {

using Evaluation = RingTest;

std::vector<std::string> words(const std::string& text) {
  std::istringstream in(text);
  return {std::istream_iterator<std::string>(in), std::istream_iterator<std::string>()};
}

// Every field of the ring table and the result frame, on rings in which the sums, the wins, the ties,
// Max(P) and Min(P) all differ from each other, so that a field written from the wrong die, pair or
// count shows. Every field holds a stale text before the one evaluation that must rewrite it.
TEST_F(Evaluation, EveryFieldShowsItsOwnDieOrPair) {
  // clang-format off
  const std::tuple<const char*, std::vector<std::vector<int>>, const char*, const char*, const char*, const char*,
                   int, int, const char*> rows[] = {
      // Pair 1 wins 11 of 25, fewer than half, but loses only 10: ties count for no side.
      {"forwards with ties", {{3, 4, 4, 8, 10}, {1, 1, 6, 6, 8}, {4, 5, 5, 6, 6}, {2, 4, 4, 10, 10}},
       "29 22 26 30", "1 4 2 6", "15 11 13 10", ".6 .44 .52 .4", 15, 10, kRechtsrum},
      {"backwards with ties", {{4, 5, 6, 9, 10}, {4, 7, 7, 7, 10}, {1, 7, 7, 8, 10}, {1, 3, 9, 9, 9}},
       "34 35 33 31", "2 7 1 3", "10 8 11 9", ".4 .32 .44 .36", 11, 8, kLinksrum},
      // The last die against the first spoils a ring either way round.
      {"forwards but the last pair", {{2, 4, 6, 9}, {1, 1, 8, 9}, {1, 4, 4, 8}, {2, 2, 3, 7}},
       "21 19 17 14", "1 3 0 2", "9 7 10 4", ".56 .43 .62 .25", 10, 4, kNein},
      {"backwards but the last pair", {{2, 2, 3, 9}, {2, 4, 5, 9}, {3, 4, 8, 9}, {5, 7, 7, 8}},
       "16 20 24 27", "3 2 1 0", "4 6 7 12", ".25 .37 .43 .75", 12, 4, kNein},
      // As many wins as losses is not enough, either way round.
      {"forwards but one half", {{1, 4, 6, 7}, {2, 3, 4, 6}, {1, 1, 7, 8}},
       "18 15 17", "2 0 3", "9 8 7", ".56 .5 .43", 9, 7, kNein},
      {"backwards but one half", {{4, 5, 5, 6}, {1, 1, 7, 8}, {2, 4, 5, 8}},
       "20 17 19", "0 1 3", "8 6 5", ".5 .37 .31", 8, 5, kNein},
      {"eight faces",
       {{91, 92, 93, 94, 95, 96, 97, 98}, {1, 2, 3, 4, 5, 6, 7, 8}, {5, 6, 7, 8, 9, 10, 91, 92}},
       "756 36 228", "0 4 2", "64 6 1", "1 .09 .01", 64, 1, kNein},
      {"one face", {{9}, {5}, {5}}, "9 5 5", "0 1 0", "1 0 0", "1 0 0", 1, 0, kNein},
      {"all empty", {{0, 0, 0}, {0, 0, 0}, {0, 0, 0}}, "0 0 0", "9 9 9", "0 0 0", "0 0 0", 0, 0, kNein},
  };
  // clang-format on
  for (const auto& [name, dice, sums, ties, wins, probabilities, max, min, verdict] : rows) {
    SCOPED_TRACE(name);
    const int n = static_cast<int>(dice.size()), k = static_cast<int>(dice[0].size());
    form.Freigabe = false;
    setSize(n, k);
    setDice(dice);
    for (Control* field : form.controls())
      if (field != &form.Text1[0] && field != &form.Text1[1] && field->name().rfind("txtAuge", 0) != 0)
        field->setText("stale");
    form.Text3[1].setText("41");
    form.Freigabe = true;
    RingAuswerten(form);
    const std::string pairs = " " + std::to_string(k * k);
    for (int i = 0; i < n; ++i) {
      EXPECT_EQ(form.txtSumme[i].text(), words(sums)[i]) << i;
      EXPECT_EQ(form.Text2[i].text(), words(ties)[i]) << i;
      EXPECT_EQ(form.txtPGewinn[i].text(), " " + words(wins)[i] + "/" + pairs) << i;
      EXPECT_EQ(form.txtPGewinn[kDice + i].text(), " " + words(probabilities)[i]) << i;
    }
    EXPECT_EQ(form.txtPGewinn[n].text(), "stale");  // beyond n nothing is written
    EXPECT_EQ(form.Picture1[1].text(), "  " + std::to_string(max) + " /" + pairs);
    EXPECT_EQ(form.Picture1[2].text(), "  " + std::to_string(min) + " /" + pairs);
    EXPECT_EQ(form.Picture1[0].text(), "");
    EXPECT_EQ(form.txtRückmeldung.text(), verdict);
    EXPECT_EQ(form.Text3[1].text(), verdict == kNein ? "41" : "42");  // every positive verdict counts
  }
}

TEST_F(Evaluation, WithoutFreigabeOnlySumsTiesAndProbabilitiesAreRewritten) {
  setSize(3, 4);
  setDice({{2, 2, 3, 7}, {1, 2, 6, 7}, {2, 4, 4, 5}});  // a ring whose pairs win 7, 8 and 9 of 16
  const std::string counter = form.Text3[1].text();
  form.Freigabe = false;
  face(form, 0, 0).setText("30");  // a face write is not evaluated at all
  EXPECT_EQ(form.txtSumme[0].text(), "14");
  setSize(4, 4);  // n changes: evaluated, but verdict, Max, Min and counter stay
  EXPECT_EQ(form.txtSumme[0].text(), "42");
  EXPECT_EQ(form.txtPGewinn[2].text(), " 16/ 16");  // die 3 against the empty die 4
  EXPECT_EQ(form.txtPGewinn[3].text(), " 0/ 16");
  EXPECT_EQ(form.txtRückmeldung.text(), kRechtsrum);
  EXPECT_EQ(form.Picture1[1].text(), "  9 / 16");
  EXPECT_EQ(form.Picture1[2].text(), "  7 / 16");
  EXPECT_EQ(form.Text3[1].text(), counter);
}

}  // namespace
}  // namespace varno
