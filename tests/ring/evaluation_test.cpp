#include "ring/evaluation.h"

#include "ringfixture.h"

namespace varno {
namespace {

using Evaluation = RingTest;

int treffer(const Form& form) {
  return static_cast<int>(leadingNumber(form.Text3[1].text()));
}

TEST_F(Evaluation, MinimalRingForwards) {
  setSize(3, 3);
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
  const int before = treffer(form);
  face(form, 0, 0).setText(" 3");  // the same value again: evaluated, still a ring
  EXPECT_EQ(treffer(form), before + 1);
}

TEST_F(Evaluation, MinimalRingBackwards) {
  setSize(3, 3);
  setDice({{1, 6, 8}, {2, 4, 9}, {3, 5, 7}});
  EXPECT_EQ(form.txtPGewinn[0].text(), " 4/ 9");
  EXPECT_EQ(form.txtPGewinn[8].text(), " .44");
  EXPECT_EQ(form.txtRückmeldung.text(), kLinksrum);
}

TEST_F(Evaluation, EmptyFacesAreAllTied) {
  setSize(3, 3);
  face(form, 0, 0).setText("1");
  face(form, 0, 0).setText("");
  for (int d = 0; d < 3; ++d) {
    EXPECT_EQ(form.txtPGewinn[d].text(), " 0/ 9");
    EXPECT_EQ(form.txtPGewinn[kDice + d].text(), " 0");
    EXPECT_EQ(form.Text2[d].text(), "9");
    EXPECT_EQ(form.txtSumme[d].text(), "0");
  }
  EXPECT_EQ(form.Picture1[1].text(), "  0 / 9");
  EXPECT_EQ(form.Picture1[2].text(), "  0 / 9");
  EXPECT_EQ(form.txtRückmeldung.text(), kNein);
}

TEST_F(Evaluation, TiesCountForNeitherSide) {
  // Every pair has 4 won, 2 tied and 3 lost pairs, or better: a ring, although " .44" is below one half.
  setSize(3, 3);
  setDice({{1, 3, 4}, {2, 3, 3}, {2, 2, 5}});
  EXPECT_EQ(form.txtPGewinn[0].text(), " 4/ 9");
  EXPECT_EQ(form.Text2[0].text(), "2");
  EXPECT_EQ(form.txtPGewinn[8].text(), " .44");
  EXPECT_EQ(form.Text2[1].text(), "2");
  EXPECT_EQ(form.Text2[2].text(), "0");
  EXPECT_EQ(form.txtRückmeldung.text(), kRechtsrum);
  EXPECT_EQ(form.Picture1[2].text(), "  4 / 9");
  // One tie fewer on the first pair turns it into a loss of 4 against 5.
  setDie(0, {"1", "2.5", "4"});
  EXPECT_EQ(form.txtPGewinn[0].text(), " 4/ 9");
  EXPECT_EQ(form.txtRückmeldung.text(), kNein);
}

TEST_F(Evaluation, ProbabilityIsCutInTheGivenDoublePrecisionOrder) {
  struct Row {
    int wins;
    const char* probability;
  };
  const Row rows[] = {{7, " .27"}, {14, " .55"}, {13, " .52"}, {25, " 1"}, {0, " 0"}, {1, " .04"}};
  setSize(3, 5);
  setDie(0, {"10", "20", "30", "40", "50"});
  for (const Row& row : rows) {
    // A face of die 2 just below 10 * m loses to 5 - m + 1 faces of die 1; fill die 2 so that the
    // faces of die 1 win exactly row.wins pairs.
    std::vector<std::string> second;
    int left = row.wins;
    for (int f = 0; f < 5; ++f) {
      const int beaten = std::min(left, 5);  // this face is beaten by the `beaten` largest faces
      left -= beaten;
      second.push_back(std::to_string(55 - 10 * beaten));
    }
    setDie(1, second);
    EXPECT_EQ(form.txtPGewinn[0].text(), numberFormat(row.wins) + "/ 25") << row.wins;
    EXPECT_EQ(form.txtPGewinn[8].text(), row.probability) << row.wins;
  }
}

TEST_F(Evaluation, FullWinWithEightFacesAndSingleFaces) {
  setSize(3, 8);
  setDice({{91, 92, 93, 94, 95, 96, 97, 98}, {1, 2, 3, 4, 5, 6, 7, 8}, {11, 12, 13, 14, 15, 16, 17, 18}});
  EXPECT_EQ(form.txtPGewinn[0].text(), " 64/ 64");
  EXPECT_EQ(form.txtPGewinn[8].text(), " 1");
  EXPECT_EQ(form.Picture1[1].text(), "  64 / 64");
  setSize(3, 1);
  EXPECT_EQ(form.txtPGewinn[0].text(), " 1/ 1");
  EXPECT_EQ(form.txtPGewinn[1].text(), " 0/ 1");
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
  EXPECT_EQ(form.Text2[3].text(), "0");
  EXPECT_EQ(form.txtRückmeldung.text(), kRechtsrum);
  EXPECT_EQ(form.Picture1[1].text(), "  5 / 9");
  EXPECT_EQ(form.Text3[1].text(), counter);
}

TEST_F(Evaluation, SumsOfFractionalAndNonNumericFaces) {
  setSize(3, 3);
  setDie(0, {"2.5", "abc", " 1"});
  EXPECT_EQ(form.txtSumme[0].text(), "3.5");
  setDie(0, {".25", "", ".25"});
  EXPECT_EQ(form.txtSumme[0].text(), ".5");
}

TEST_F(Evaluation, TrefferCountsOnPastTheLargest32BitNumber) {
  setSize(3, 3);
  form.Text3[1].setText("2147483647");
  setDice({{3, 5, 7}, {2, 4, 9}, {1, 6, 8}});
  EXPECT_EQ(form.txtRückmeldung.text(), kRechtsrum);
  EXPECT_GT(leadingNumber(form.Text3[1].text()), 2147483647.0);
}

}  // namespace
}  // namespace varno
