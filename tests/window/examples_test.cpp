#include "window/examples.h"

#include "graphic/drawing.h"
#include "ring/evaluation.h"
#include "ring/ringfixture.h"
#include "window/ringfile.h"

namespace varno {
namespace {

class Examples : public RingTest {
 protected:
  Examples() { GraphikEinrichten(form); }
  std::vector<std::string> fractions(int n) const {
    std::vector<std::string> texts;
    for (int i = 0; i < n; ++i) texts.push_back(form.txtPGewinn[i].text());
    return texts;
  }
};

TEST_F(Examples, EveryExampleIsAVarnoRingWithItsProbabilities) {
  cmdVarno_Click(form);
  EXPECT_EQ(fractions(4), std::vector<std::string>(4, " 24/ 36"));
  for (int i = 0; i < 4; ++i) EXPECT_EQ(form.Text2[i].text(), "0");
  EXPECT_EQ(form.txtRückmeldung.text(), kRechtsrum);
  EXPECT_EQ(die(3, 6), (std::vector<std::string>{"4", "4", "4", "4", "10", "10"}));

  cmdMini_Click(form);
  EXPECT_EQ(fractions(3), std::vector<std::string>(3, " 5/ 9"));
  EXPECT_EQ(form.txtRückmeldung.text(), kRechtsrum);

  cmdZyklisch_Click(form);
  EXPECT_EQ(fractions(5), std::vector<std::string>(5, " 14/ 25"));
  EXPECT_EQ(form.txtRückmeldung.text(), kRechtsrum);
  std::vector<int> all;
  for (int d = 0; d < 5; ++d)
    for (int f = 0; f < 5; ++f) all.push_back(static_cast<int>(faceValue(form, d, f)));
  std::sort(all.begin(), all.end());
  for (int i = 0; i < 25; ++i) EXPECT_EQ(all[i], i + 1);
  EXPECT_EQ(die(1, 5), (std::vector<std::string>{"4", "8", "12", "16", "25"}));

  cmdMaxMin_Click(form);
  EXPECT_EQ(fractions(4), (std::vector<std::string>{" 10/ 16", " 10/ 16", " 12/ 16", " 12/ 16"}));
  EXPECT_EQ(form.txtRückmeldung.text(), kRechtsrum);
  EXPECT_EQ(form.VScroll1[0].value(), 4);
  EXPECT_EQ(form.VScroll1[1].value(), 4);
}

TEST_F(Examples, OnlyTheExamplesFacesAreWrittenSoEarlierOnesShowThroughInAFile) {
  cmdVarno_Click(form);
  cmdMini_Click(form);
  EXPECT_EQ(die(0, 6), (std::vector<std::string>{"3", "5", "7", "9", "9", "9"}));
  EXPECT_EQ(die(3, 6), (std::vector<std::string>{"4", "4", "4", "4", "10", "10"}));
  const std::string file = ringFileText(form);
  EXPECT_EQ(file.substr(0, 30), "3\r\n3\r\n3\r\n5\r\n7\r\n9\r\n9\r\n9\r\n0\r\n0\r\n");
}

}  // namespace
}  // namespace varno
