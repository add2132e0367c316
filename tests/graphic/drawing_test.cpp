#include "graphic/drawing.h"

#include <algorithm>
#include <cmath>

#include "ring/ringfixture.h"

namespace varno {
namespace {

class Drawing : public RingTest {
 protected:
  std::vector<Primitive> drawn(Primitive::Kind kind, int penWidth = 0) const {
    std::vector<Primitive> found;
    for (const Primitive& p : form.ausgabe.primitives())
      if (p.kind == kind && (penWidth == 0 || p.penWidth == penWidth)) found.push_back(p);
    return found;
  }
  // The eleven segments of the curve of face j (from 1) of die i (from 1).
  std::vector<Primitive> curve(int i, int j) const {
    const std::vector<Primitive> curves = drawn(Primitive::Kind::Line, 3);
    const auto first = curves.begin() + 11 * ((i - 1) * Seitenzahl(form) + (j - 1));
    return {first, first + 11};
  }
  // The centre of a marker as the curves take it: half the marker's width off both edges.
  std::pair<double, double> centre(int marker) const {
    const Geometry& g = form.shpkreis[marker].geometry();
    return {g.left - markerWidth(form) / 2, g.top - markerWidth(form) / 2};
  }
};

TEST_F(Drawing, TheSkeletonHasASpokeLabelAndMarkersPerDieClockwiseFromTheTopAndNothingElse) {
  setSize(4, 3);
  ZeichneGerüst(form);
  const std::vector<Primitive> spokes = drawn(Primitive::Kind::Line), labels = drawn(Primitive::Kind::Text);
  ASSERT_EQ(spokes.size(), 4u);
  ASSERT_EQ(labels.size(), 4u);
  // x grows to the left: (0, 10) is the top, (-10, 0) the right, (0, -10) the bottom, (10, 0) the left.
  const double ends[4][2] = {{0, 10}, {-10, 0}, {0, -10}, {10, 0}};
  for (int i = 0; i < 4; ++i) {
    EXPECT_NEAR(spokes[i].x2, ends[i][0], 0.01) << i;
    EXPECT_NEAR(spokes[i].y2, ends[i][1], 0.01) << i;
    EXPECT_NEAR(spokes[i].x1, ends[i][0] / 3, 0.01) << i;  // from face 1 to face k
    EXPECT_EQ(spokes[i].color, rgb(200, 0, 0));
    EXPECT_EQ(labels[i].text, "W " + std::to_string(i + 1));
    EXPECT_EQ(labels[i].color, 0u);
    EXPECT_NEAR(std::hypot(labels[i].x1 - 0.8, labels[i].y1 - 0.3), 12, 1e-9);  // just outside the spoke
    // Each marker is centred on its face: face j at radius 10 j / k.
    for (int j = 1; j <= 3; ++j) {
      const Geometry& g = form.shpkreis[markerIndex(i + 1, j)].geometry();
      EXPECT_NEAR(g.left - markerWidth(form) / 2, ends[i][0] * j / 3, 0.01);
      EXPECT_NEAR(g.top - markerHeight(form) / 2, ends[i][1] * j / 3, 0.01);
    }
  }
  EXPECT_EQ(std::ranges::count_if(form.shpkreis, &Control::visible), 12);
  EXPECT_FALSE(form.shpkreis[markerIndex(4, 4)].visible());
  EXPECT_FALSE(form.shpkreis[markerIndex(5, 1)].visible());
  EXPECT_TRUE(drawn(Primitive::Kind::Box).empty());
  // A change of n draws the skeleton only.
  setDice({{1, 2, 3}, {4, 5, 6}, {7, 8, 9}, {10, 11, 12}});
  ZeichneGraphik(form);
  setSize(3, 3);
  EXPECT_TRUE(drawn(Primitive::Kind::Line, 3).empty());
  EXPECT_EQ(std::ranges::count_if(form.shpkreis, &Control::visible), 9);
}

TEST_F(Drawing, CurvesRunToTheFaceAtThePositionOfHowManyFacesTheyBeatOrToTheCentre) {
  // 3 beats one face of die 2, 5 and 7 two; 9 all of die 3; die 3's 1 beats nothing of die 1.
  minimalRing();
  ZeichneGraphik(form);
  ASSERT_EQ(drawn(Primitive::Kind::Line, 3).size(), 9u * 11);
  const auto endsAt = [&](int i, int j, int marker) {
    const Primitive last = curve(i, j).back();
    const auto [x, y] = marker ? centre(marker) : std::pair<double, double>{0, 0};
    EXPECT_NEAR(last.x2, x, 1e-9) << i << ',' << j;
    EXPECT_NEAR(last.y2, y, 1e-9) << i << ',' << j;
  };
  endsAt(1, 1, markerIndex(2, 1));
  endsAt(1, 3, markerIndex(2, 2));
  endsAt(2, 3, markerIndex(3, 3));  // all: the outermost marker
  endsAt(3, 1, 0);                  // none: the centre, along its own spoke
  endsAt(3, 3, markerIndex(1, 3));  // the last die's curves end on die 1
  const auto [x0, y0] = centre(markerIndex(3, 1));
  for (const Primitive& segment : curve(3, 1)) EXPECT_NEAR(segment.x2 * y0 - segment.y2 * x0, 0, 1e-9);
  // Every curve starts with a dot at its own marker, in blue 220.
  const Primitive first = curve(2, 1).front();
  EXPECT_EQ(std::pair(first.x1, first.y1), centre(markerIndex(2, 1)));
  EXPECT_EQ(std::pair(first.x2, first.y2), centre(markerIndex(2, 1)));
  EXPECT_EQ(first.color, rgb(0, 0, 220));
  // The bulge scroll bar scales the middle of every curve, and redraws in full.
  for (const auto& [value, factor] : {std::pair{50, 1.5}, {100, 1.25}, {200, 1.125}}) {
    form.hscBogen.setValue(value);
    const std::vector<Primitive> c = curve(1, 3);
    const auto [x0, y0] = centre(markerIndex(1, 3));
    const auto [x1, y1] = centre(markerIndex(2, 2));
    EXPECT_NEAR(c[5].x2, (x0 + x1) / 2 * factor, 1e-9) << value;
    EXPECT_NEAR(c[5].y2, (y0 + y1) / 2 * factor, 1e-9) << value;
    EXPECT_NEAR(c[10].x2, x1, 1e-9) << value;
  }

  // Equal values are not beaten; the curve step alone takes the position, the full redraw sorts first.
  setDice({{5, 5, 5}, {9, 1, 5}, {6, 6, 6}});
  ZeichneGerüst(form);
  ZeichneBögen(form);
  endsAt(1, 1, markerIndex(2, 1));  // beats 1 only: position 1, which holds the 9
  ZeichneGraphik(form);
  EXPECT_EQ(die(1, 3), (std::vector<std::string>{"1", "5", "9"}));
  endsAt(1, 1, markerIndex(2, 1));  // now the 1 itself
}

TEST_F(Drawing, ProbabilityBoxesStandBetweenNeighboursWithTheirFractions) {
  setSize(4, 4);
  setDice({{3, 3, 3, 7}, {2, 2, 6, 6}, {1, 5, 5, 5}, {4, 4, 4, 4}});
  ZeichneGraphik(form);
  const std::vector<Primitive> boxes = drawn(Primitive::Kind::Box);
  std::vector<Primitive> fractions;
  for (const Primitive& p : drawn(Primitive::Kind::Text))
    if (p.fontSize == 12) fractions.push_back(p);
  ASSERT_EQ(boxes.size(), 4u);
  ASSERT_EQ(fractions.size(), 4u);
  for (int c = 0; c < 4; ++c) {
    // Three wide, one high, white, its text blue at its top-left corner, on the radius 11.5 halfway between
    // die c+1 and die c+2.
    EXPECT_NEAR(boxes[c].x1 - boxes[c].x2, 3, 1e-9);
    EXPECT_NEAR(boxes[c].y1 - boxes[c].y2, 1, 1e-9);
    EXPECT_EQ(boxes[c].color, kWhite);
    const double x = boxes[c].x1 - 1.52, y = boxes[c].y1;
    EXPECT_NEAR(std::hypot(x, y), 11.5, 1e-9);
    EXPECT_NEAR(std::atan2(y, x), std::remainder(kFullTurn / 4 * (c + 1.5), 2 * M_PI), 1e-9);
    EXPECT_EQ(fractions[c].text, form.txtPGewinn[c].text());
    EXPECT_EQ(fractions[c].color, rgb(0, 0, 210));
    EXPECT_EQ(std::pair(fractions[c].x1, fractions[c].y1), std::pair(boxes[c].x1, boxes[c].y1));
  }
  EXPECT_EQ(fractions[3].text, " 12/ 16");  // die 4 against die 1
  // The next labels are printed in the size the boxes left behind.
  ZeichneGerüst(form);
  EXPECT_EQ(drawn(Primitive::Kind::Text).front().fontSize, 10);
}

}  // namespace
}  // namespace varno
