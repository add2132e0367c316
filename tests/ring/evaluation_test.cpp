#include "ring/evaluation.h"

#include "ringfixture.h"

namespace varno {
namespace {

Ring ringOf(const std::vector<std::vector<double>>& dice) {
  Ring ring;
  ring.n = static_cast<int>(dice.size());
  ring.k = static_cast<int>(dice[0].size());
  for (int d = 0; d < ring.n; ++d)
    for (int f = 0; f < ring.k; ++f) ring.values[d][f] = dice[d][f];
  return ring;
}

TEST(Evaluate, WinsTiesAndTheVerdictOfEveryPair) {
  struct Row {
    const char* name;
    std::vector<std::vector<double>> dice;
    std::vector<int> wins, ties;
    const char* verdict;
  };
  const Row rows[] = {
      {"minimal", {{3, 5, 7}, {2, 4, 9}, {1, 6, 8}}, {5, 5, 5}, {0, 0, 0}, kRechtsrum},
      {"minimal reversed", {{1, 6, 8}, {2, 4, 9}, {3, 5, 7}}, {4, 4, 4}, {0, 0, 0}, kLinksrum},
      {"all empty", {{0, 0, 0}, {0, 0, 0}, {0, 0, 0}}, {0, 0, 0}, {9, 9, 9}, kNein},
      // 4 won, 2 tied and 3 lost pairs beat the next die, although 4 of 9 is below one half.
      {"ties count for no side", {{1, 3, 4}, {2, 3, 3}, {2, 2, 5}}, {4, 4, 5}, {2, 2, 0}, kRechtsrum},
      {"two ties fewer lose", {{1, 2.5, 4}, {2, 3, 3}, {2, 2, 5}}, {4, 4, 5}, {0, 2, 0}, kNein},
      {"half is not enough", {{1, 4}, {2, 3}, {0, 5}}, {2, 2, 2}, {0, 0, 0}, kNein},
      {"eight faces",
       {{91, 92, 93, 94, 95, 96, 97, 98}, {1, 2, 3, 4, 5, 6, 7, 8}, {11, 12, 13, 14, 15, 16, 17, 18}},
       {64, 0, 0},
       {0, 0, 0},
       kNein},
      {"one face", {{9}, {5}, {1}}, {1, 1, 0}, {0, 0, 0}, kNein},
      {"best 4x4",
       {{3, 3, 3, 7}, {2, 2, 6, 6}, {1, 5, 5, 5}, {4, 4, 4, 4}},
       {10, 10, 12, 12},
       {0, 0, 0, 0},
       kRechtsrum},
  };
  for (const Row& row : rows) {
    const Ring ring = ringOf(row.dice);
    const Evaluation result = evaluate(ring);
    for (int i = 0; i < ring.n; ++i) {
      EXPECT_EQ(result.pairs[i].wins, row.wins[i]) << row.name << ", pair " << i;
      EXPECT_EQ(result.pairs[i].ties, row.ties[i]) << row.name << ", pair " << i;
    }
    EXPECT_EQ(result.max, *std::max_element(row.wins.begin(), row.wins.end())) << row.name;
    EXPECT_EQ(result.min, *std::min_element(row.wins.begin(), row.wins.end())) << row.name;
    EXPECT_STREQ(result.verdict, row.verdict) << row.name;
  }
}

TEST(Evaluate, TheProbabilityIsCutToHundredthsInDoublePrecision) {
  const std::tuple<int, int, const char*> rows[] = {
      {7, 5, " .27"}, {14, 5, " .55"}, {13, 5, " .52"}, {25, 5, " 1"}, {0, 5, " 0"},
      {1, 5, " .04"}, {5, 3, " .55"},  {4, 3, " .44"},  {64, 8, " 1"}, {1, 1, " 1"},
  };
  for (const auto& [wins, k, text] : rows)
    EXPECT_EQ(numberFormat(winProbability(wins, k)), text) << wins << '/' << k;
}

using Evaluation = RingTest;

TEST_F(Evaluation, EveryFieldIsWrittenInItsFormAndTheHitCounterCountsEveryPositiveVerdict) {
  setSize(3, 3);
  form.Text3[1].setText("2147483647");
  setDice({{3, 5, 7}, {2, 4, 9}, {1, 6, 8}});
  for (int d = 0; d < 3; ++d) {
    EXPECT_EQ(form.txtSumme[d].text(), "15");
    EXPECT_EQ(form.Text2[d].text(), "0");
    EXPECT_EQ(form.txtPGewinn[d].text(), " 5/ 9");
    EXPECT_EQ(form.txtPGewinn[kDice + d].text(), " .55");
  }
  EXPECT_EQ(form.Picture1[1].text(), "  5 / 9");
  EXPECT_EQ(form.Picture1[2].text(), "  5 / 9");
  EXPECT_EQ(form.txtRückmeldung.text(), kRechtsrum);
  EXPECT_EQ(form.Text3[1].text(), "2147483648");  // counted on past the largest 32-bit number
  face(form, 0, 0).setText(" 3");                 // the same value again: evaluated, still a ring
  EXPECT_EQ(form.Text3[1].text(), "2147483649");
}

TEST_F(Evaluation, WithoutFreigabeOnlySumsTiesAndProbabilitiesAreRewritten) {
  setSize(3, 3);
  setDice({{3, 5, 7}, {2, 4, 9}, {1, 6, 8}});
  const std::string counter = form.Text3[1].text();
  form.Freigabe = false;
  face(form, 0, 0).setText("30");  // a face write is not evaluated at all
  EXPECT_EQ(form.txtSumme[0].text(), "15");
  setSize(4, 3);  // n changes: evaluated, but verdict, Max, Min and counter stay
  EXPECT_EQ(form.txtSumme[0].text(), "42");
  EXPECT_EQ(form.txtPGewinn[2].text(), " 9/ 9");  // die 3 against the empty die 4
  EXPECT_EQ(form.txtPGewinn[3].text(), " 0/ 9");
  EXPECT_EQ(form.txtRückmeldung.text(), kRechtsrum);
  EXPECT_EQ(form.Picture1[1].text(), "  5 / 9");
  EXPECT_EQ(form.Text3[1].text(), counter);
}

}  // namespace
}  // namespace varno
