#include "graphic/drawing.h"

#include <cmath>

#include "ring/ringfixture.h"

namespace varno {
namespace {

class Drawing : public RingTest {
 protected:
  Drawing() {
    // The surface as laid out on the design screen.
    GraphikEinrichten(form);
  }

  std::vector<Primitive> all(Primitive::Kind kind) const {
    std::vector<Primitive> found;
    for (const Primitive& p : form.ausgabe.primitives())
      if (p.kind == kind) found.push_back(p);
    return found;
  }
  std::vector<Primitive> lines(int penWidth) const {
    std::vector<Primitive> found;
    for (const Primitive& p : all(Primitive::Kind::Line))
      if (p.penWidth == penWidth) found.push_back(p);
    return found;
  }
  // The eleven segments of the curve of face j (from 1) of die i (from 1).
  std::vector<Primitive> curve(int i, int j) const {
    const std::vector<Primitive> curves = lines(3);
    const int k = Seitenzahl(form);
    const auto first = curves.begin() + 11 * ((i - 1) * k + (j - 1));
    return {first, first + 11};
  }
  // The centre of a marker as the curves take it.
  std::pair<double, double> markerCentre(int index) const {
    const Geometry& g = form.shpkreis[index].geometry();
    return {g.left - markerWidth(form) / 2, g.top - markerWidth(form) / 2};
  }
  int visibleMarkers() const {
    int count = 0;
    for (const Control& marker : form.shpkreis) count += marker.visible();
    return count;
  }
};

TEST_F(Drawing, WithFourDiceTheSpokesStandTopRightBottomLeftWithTheirLabels) {
  setSize(4, 3);
  ZeichneGerüst(form);
  const std::vector<Primitive> spokes = lines(1);
  ASSERT_EQ(spokes.size(), 4u);
  // x grows to the left: (0, 10) is the top, (-10, 0) the right, (0, -10) the bottom, (10, 0) the left.
  const double ends[4][2] = {{0, 10}, {-10, 0}, {0, -10}, {10, 0}};
  for (int i = 0; i < 4; ++i) {
    EXPECT_NEAR(spokes[i].x2, ends[i][0], 0.01) << i;
    EXPECT_NEAR(spokes[i].y2, ends[i][1], 0.01) << i;
    EXPECT_NEAR(spokes[i].x1, ends[i][0] / 3, 0.01) << i;  // from face 1 to face k
    EXPECT_EQ(spokes[i].color, rgb(200, 0, 0));
  }
  const std::vector<Primitive> texts = all(Primitive::Kind::Text);
  ASSERT_EQ(texts.size(), 4u);
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(texts[i].text, "W " + std::to_string(i + 1));
    EXPECT_EQ(texts[i].color, 0u);
    const double theta = kFullTurn * (i + 1) / 4;
    EXPECT_DOUBLE_EQ(texts[i].x1, 12 * std::cos(theta) + 0.8);
    EXPECT_DOUBLE_EQ(texts[i].y1, 12 * std::sin(theta) + 0.3);
  }
}

TEST_F(Drawing, TheSkeletonAloneShowsExactlyTheMarkersOfTheFacesInUseAndNoCurvesOrBoxes) {
  setSize(5, 4);
  setDice({{1, 2, 3, 4}, {5, 6, 7, 8}, {9, 10, 11, 12}, {13, 14, 15, 16}, {17, 18, 19, 20}});
  ZeichneGraphik(form);
  ZeichneGerüst(form);
  EXPECT_EQ(visibleMarkers(), 20);
  EXPECT_TRUE(form.shpkreis[markerIndex(5, 4)].visible());
  EXPECT_FALSE(form.shpkreis[markerIndex(5, 5)].visible());
  EXPECT_FALSE(form.shpkreis[markerIndex(6, 1)].visible());
  EXPECT_FALSE(form.shpkreis[0].visible());
  EXPECT_TRUE(lines(3).empty());
  EXPECT_TRUE(all(Primitive::Kind::Box).empty());
  // A change of n draws the skeleton only.
  ZeichneGraphik(form);
  setSize(3, 4);
  EXPECT_TRUE(lines(3).empty());
  EXPECT_EQ(visibleMarkers(), 12);
}

TEST_F(Drawing, MarkersAreCentredOnTheirFacesAlongTheSpoke) {
  setSize(3, 4);
  ZeichneGerüst(form);
  const double w = markerWidth(form), h = markerHeight(form);
  EXPECT_NEAR(w, 240 * 28 / 4900.0, 1e-12);
  EXPECT_NEAR(h, 240 * 30 / 5600.0, 1e-12);
  for (int i = 1; i <= 3; ++i) {
    const double theta = kFullTurn * i / 3;
    for (int j = 1; j <= 4; ++j) {
      const Geometry& g = form.shpkreis[markerIndex(i, j)].geometry();
      EXPECT_TRUE(g.user);
      EXPECT_NEAR(g.left - w / 2, 2.5 * j * std::cos(theta), 1e-9);
      EXPECT_NEAR(g.top - h / 2, 2.5 * j * std::sin(theta), 1e-9);
    }
  }
}

TEST_F(Drawing, CurvesRunToTheHighestFaceBeatenOrToTheCentre) {
  setSize(3, 3);
  // Die 1 against die 2: 3 beats one face, 5 two, 7 two; die 3's face 1 beats nothing of die 1, and
  // die 2's face 9 beats all of die 3.
  setDice({{3, 5, 7}, {2, 4, 9}, {1, 6, 8}});
  ZeichneGraphik(form);
  ASSERT_EQ(lines(3).size(), 9u * 11);
  auto endsAt = [&](int i, int j, int marker) {
    const Primitive last = curve(i, j).back();
    const auto [x, y] = marker ? markerCentre(marker) : std::pair<double, double>{0, 0};
    EXPECT_NEAR(last.x2, x, 1e-9) << i << ',' << j;
    EXPECT_NEAR(last.y2, y, 1e-9) << i << ',' << j;
  };
  endsAt(1, 1, markerIndex(2, 1));
  endsAt(1, 2, markerIndex(2, 2));
  endsAt(1, 3, markerIndex(2, 2));
  endsAt(2, 3, markerIndex(3, 3));  // beats all: the outermost marker
  endsAt(3, 1, 0);                  // beats nothing: the centre
  endsAt(3, 3, markerIndex(1, 3));  // the last die's curves end on die 1

  // Every curve starts with a dot at its own marker's centre and is drawn in blue 220.
  const Primitive first = curve(2, 1).front();
  const auto [x, y] = markerCentre(markerIndex(2, 1));
  EXPECT_DOUBLE_EQ(first.x1, x);
  EXPECT_DOUBLE_EQ(first.x2, x);
  EXPECT_DOUBLE_EQ(first.y2, y);
  EXPECT_EQ(first.color, rgb(0, 0, 220));
}

TEST_F(Drawing, ACurveToTheCentreStaysOnItsSpoke) {
  setSize(3, 3);
  setDice({{2, 2, 8}, {2, 2, 2}, {1, 1, 1}});  // equal values are not beaten: face 2 goes to the centre
  ZeichneGraphik(form);
  const auto [x0, y0] = markerCentre(markerIndex(1, 1));
  for (const Primitive& segment : curve(1, 1)) EXPECT_NEAR(segment.x2 * y0 - segment.y2 * x0, 0, 1e-9);
  EXPECT_NEAR(curve(1, 1).back().x2, 0, 1e-12);
  EXPECT_NEAR(curve(1, 2).back().y2, 0, 1e-12);
}

TEST_F(Drawing, TheBulgeScrollBarScalesTheMiddleOfEveryCurve) {
  setSize(3, 3);
  setDice({{3, 5, 7}, {2, 4, 9}, {1, 6, 8}});
  for (const auto& [value, factor] :
       std::vector<std::pair<int, double>>{{50, 1.5}, {100, 1.25}, {200, 1.125}}) {
    form.hscBogen.setValue(value);  // redraws in full
    const std::vector<Primitive> c = curve(1, 3);
    const auto [x0, y0] = markerCentre(markerIndex(1, 3));
    const auto [x1, y1] = markerCentre(markerIndex(2, 2));
    EXPECT_NEAR(c[5].x2, (x0 + x1) / 2 * factor, 1e-9) << value;
    EXPECT_NEAR(c[5].y2, (y0 + y1) / 2 * factor, 1e-9) << value;
    EXPECT_NEAR(c[10].x2, x1, 1e-9) << value;
  }
  form.hscBogen.setValue(10);
  EXPECT_EQ(form.hscBogen.value(), 50);
  form.hscBogen.setValue(500);
  EXPECT_EQ(form.hscBogen.value(), 200);
}

TEST_F(Drawing, ProbabilityBoxesStandBetweenNeighboursWithTheirFractions) {
  setSize(4, 4);
  setDice({{3, 3, 3, 7}, {2, 2, 6, 6}, {1, 5, 5, 5}, {4, 4, 4, 4}});
  ZeichneGraphik(form);
  const std::vector<Primitive> boxes = all(Primitive::Kind::Box);
  ASSERT_EQ(boxes.size(), 4u);
  std::vector<Primitive> fractions;
  for (const Primitive& p : all(Primitive::Kind::Text))
    if (p.fontSize == 12) fractions.push_back(p);
  ASSERT_EQ(fractions.size(), 4u);
  for (int c = 0; c < 4; ++c) {
    const double phi = kFullTurn / 4 * (c + 1.5);
    EXPECT_DOUBLE_EQ(boxes[c].x1, 11.5 * std::cos(phi) + 1.52);
    EXPECT_DOUBLE_EQ(boxes[c].x2, 11.5 * std::cos(phi) + 1.52 - 3);
    EXPECT_DOUBLE_EQ(boxes[c].y2, 11.5 * std::sin(phi) - 1);
    EXPECT_EQ(boxes[c].color, kWhite);
    EXPECT_EQ(fractions[c].text, form.txtPGewinn[c].text());
    EXPECT_EQ(fractions[c].color, rgb(0, 0, 210));
    EXPECT_DOUBLE_EQ(fractions[c].x1, boxes[c].x1);
  }
  EXPECT_EQ(fractions[3].text, " 12/ 16");  // die 4 against die 1
  // The fourth box lies between die 4 (left) and die 1 (top): upper left.
  EXPECT_GT(boxes[3].x1, 0);
  EXPECT_GT(boxes[3].y1, 0);
  // The next labels are printed in the size the boxes left behind.
  EXPECT_EQ(form.ausgabe.fontSize, 10);
  ZeichneGerüst(form);
  EXPECT_EQ(all(Primitive::Kind::Text).front().fontSize, 10);
}

TEST_F(Drawing, TheFullRedrawSortsFirstButTheCurveStepAloneTakesThePosition) {
  setSize(3, 3);
  setDice({{5, 5, 5}, {9, 1, 4}, {6, 6, 6}});
  ZeichneGerüst(form);
  ZeichneBögen(form);
  // Face 5 beats 1 and 4: c = 2, the marker at position 2 of die 2, which holds 1.
  auto end = curve(1, 1).back();
  EXPECT_NEAR(end.x2, markerCentre(markerIndex(2, 2)).first, 1e-9);
  ZeichneGraphik(form);
  EXPECT_EQ(die(1, 3), (std::vector<std::string>{"1", "4", "9"}));
  end = curve(1, 1).back();
  EXPECT_NEAR(end.x2, markerCentre(markerIndex(2, 2)).first, 1e-9);  // now the 4, the highest beaten
}

}  // namespace
}  // namespace varno
