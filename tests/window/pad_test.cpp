#include "window/pad.h"

#include <algorithm>
#include <functional>

#include "ring/ringfixture.h"
#include "window/commands.h"
#include "window/mouseedit.h"

namespace varno {
namespace {

class Pad : public RingTest {
 protected:
  Pad() {
    setSize(4, 3);
    setDice({{3, 5, 7}, {2, 4, 9}, {1, 6, 8}, {10, 11, 12}});
  }
  // The positions the pad takes until it rests.
  std::vector<std::pair<double, double>> glide() {
    std::vector<std::pair<double, double>> seen;
    while (advanceGlide(form))
      seen.push_back({form.picEingabe.geometry().left, form.picEingabe.geometry().top});
    seen.push_back({form.picEingabe.geometry().left, form.picEingabe.geometry().top});
    return seen;
  }
  // The one face in light yellow, all others white.
  int marked() const {
    const auto white = [](const Control& face) { return face.backColor() == kWhite; };
    EXPECT_EQ(std::ranges::count_if(form.txtAuge, white), kDice * kFaces - 1);
    const auto yellow = std::ranges::find(form.txtAuge, kLightYellow, &Control::backColor);
    return static_cast<int>(yellow - std::ranges::begin(form.txtAuge));
  }
};

TEST_F(Pad, ASelectedFaceIsMarkedAndThePadGlidesOverItsDieOneAxisAfterTheOther) {
  form.picEingabe.move(5000, 2400);
  txtAuge_Click(form, 8 * 3 + 1);
  EXPECT_EQ(marked(), 25);
  EXPECT_TRUE(form.picEingabe.visible());
  EXPECT_EQ(form.txtEintrag.text(), "11");
  const double left = form.frmWürfel[3].geometry().left + form.frame1.geometry().left + 100;
  const double top = form.frame1.geometry().top - 420;
  const auto seen = glide();
  ASSERT_GE(seen.size(), 100u);  // 50 or 51 steps per axis
  ASSERT_LE(seen.size(), 104u);
  EXPECT_EQ(seen[0], std::make_pair(5000.0, 2400.0));
  EXPECT_DOUBLE_EQ(seen[1].first, 5000 + (left - 5000) / 50);
  std::size_t turn = 0;  // horizontally first, the top unchanged; then vertically
  while (seen[turn].first != left) EXPECT_EQ(seen[turn++].second, 2400);
  for (std::size_t i = turn; i < seen.size(); ++i) EXPECT_EQ(seen[i].first, left);
  EXPECT_EQ(seen.back(), std::make_pair(left, top));

  // Another face of the same die: each axis is only set where it is.
  txtAuge_Click(form, 8 * 3 + 2);
  EXPECT_EQ(glide(), (std::vector<std::pair<double, double>>(2, {left, top})));
  // A selection during a glide: the pad comes to rest over the new die.
  txtAuge_Click(form, 0);
  for (int i = 0; i < 20; ++i) advanceGlide(form);
  txtAuge_Click(form, 8 + 1);
  EXPECT_EQ(glide().back().first, form.frmWürfel[1].geometry().left + form.frame1.geometry().left + 100);
  // A die frame selects its first face. Selections are ignored while evaluation is off; hiding the pad
  // keeps the marking.
  frmWürfel_Click(form, 2);
  form.Freigabe = false;
  txtAuge_Click(form, 9);
  frmWürfel_Click(form, 1);
  form.Freigabe = true;
  Command4_Click(form);
  EXPECT_FALSE(form.picEingabe.visible());
  EXPECT_EQ(selectedFace(form), 16);
  EXPECT_EQ(marked(), 16);
}

// Digits append to the pad's buffer, the undo key ("<") removes its last character, and every key writes
// the buffer to the face, which is evaluated. The buffer holds the text of the last selection: after the
// selected face was changed by other means, the keys work on that older text, not on what the face shows.
TEST_F(Pad, EveryKeyWritesTheBufferOfTheLastSelectionToTheFaceWhateverChangedTheFaceSince) {
  const auto nothing = [] {};
  // clang-format off
  const std::tuple<const char*, int, const char*, std::function<void()>, const char*, const char*, const char*>
      rows[] = {
      {"nothing else", 1, "12", nothing, "12", "3<<", "1"},
      {"an empty face", 2, "", nothing, "", "07", "07"},
      {"undo on the empty buffer", 2, "07", nothing, "07", "<<<", ""},
      {"raised with the mouse", 10, "47", [&] { shpkreis_MouseDown(form, 23, kLeftButton); },
       " 48", "<2", "42"},
      {"lowered with the mouse", 18, "83", [&] { shpkreis_MouseDown(form, 33, kRightButton); },
       " 82", "<5", "85"},
      {"reversed", 2, "65", [&] { cmdSpiegeln_Click(form); }, "12", "<1", "61"},
      {"typed into", 9, "29", [&] { face(form, 1, 1).setText("5"); }, "5", "<0", "20"},
      {"its die cleared", 26, "39", [&] { cmdLösch_Click(form, 3); }, "", "<3", "3"},
  };
  // clang-format on
  for (const auto& [name, selected, text, change, changed, keys, written] : rows) {
    SCOPED_TRACE(name);
    form.txtAuge[selected].setText(text);
    txtAuge_Click(form, selected);
    change();
    ASSERT_EQ(form.txtAuge[selected].text(), changed);
    form.txtSumme[selected / kFaces].setText("stale");
    for (const char key : std::string(keys))
      key == '<' ? Command3_Click(form) : cmdZahl_Click(form, key - '0');
    EXPECT_EQ(form.txtAuge[selected].text(), written);
    EXPECT_NE(form.txtSumme[selected / kFaces].text(), "stale");  // evaluated
  }
}

TEST_F(Pad, ArrowKeysMoveWithinTheFacesAndAroundTheRingFromTheFirstFaceOn) {
  EXPECT_EQ(selectedFace(form), 0);  // before the first selection
  Command8_Click(form);
  EXPECT_EQ(selectedFace(form), 24);  // face 1 of die n
  const std::tuple<int, void (*)(Form&), int> rows[] = {
      {0, Command5_Click, 1},   {2, Command5_Click, 2},   // face k stays
      {2, Command6_Click, 1},   {0, Command6_Click, 0},   // face 1 stays
      {10, Command7_Click, 18}, {25, Command7_Click, 1},  // die n wraps to 1
      {8, Command8_Click, 0},   {2, Command8_Click, 26},  // die 1 wraps to n
  };
  for (const auto& [from, key, to] : rows) {
    txtAuge_Click(form, from);
    glide();
    key(form);
    EXPECT_EQ(selectedFace(form), to) << from;
    EXPECT_EQ(marked(), to);
    EXPECT_EQ(form.txtEintrag.text(), form.txtAuge[to].text());
    EXPECT_EQ(gliding(form), to / 8 != from / 8 || to != from) << from;
  }
}

}  // namespace
}  // namespace varno
