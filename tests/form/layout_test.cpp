#include "form/layout.h"

#include <gtest/gtest.h>

#include <map>

#include "form/form.h"

namespace varno {
namespace {

std::map<std::string, Geometry> geometries(const Form& form) {
  std::map<std::string, Geometry> all;
  for (const Control* control : form.controls()) all[control->name()] = control->geometry();
  return all;
}

// On any screen: the horizontal values follow the width only and the vertical ones the height only (so
// an axis whose factor is 1 stays as the form placed it), fonts follow the smaller factor, and the
// controls placed against others stay against them.
TEST(Layout, EveryControlFollowsTheScreenOnItsOwnAxis) {
  const std::pair<double, double> screens[] = {{2, 1.5}, {0.5, 1}, {1, 1.3}};
  const auto designed = geometries(Form());
  for (const auto& [x, y] : screens) {
    SCOPED_TRACE(std::to_string(x) + " x " + std::to_string(y));
    Form wide, high, both;
    LayoutAnpassen(wide, x * kDesignWidth, kDesignHeight);
    LayoutAnpassen(high, kDesignWidth, y * kDesignHeight);
    const LayoutFactors f = LayoutAnpassen(both, x * kDesignWidth, y * kDesignHeight);
    EXPECT_EQ(std::tuple(f.x, f.y, f.font), std::tuple(x, y, std::min(x, y)));
    const auto a = geometries(wide), b = geometries(high), c = geometries(both);
    for (const auto& [control, g] : c) {
      EXPECT_EQ(std::pair(g.left, g.width), std::pair(a.at(control).left, a.at(control).width)) << control;
      EXPECT_EQ(std::pair(g.top, g.height), std::pair(b.at(control).top, b.at(control).height)) << control;
      const Geometry &design = designed.at(control), &h = b.at(control), &v = a.at(control);
      EXPECT_EQ(std::pair(h.left, h.width), std::pair(design.left, design.width)) << control;
      EXPECT_EQ(std::pair(v.top, v.height), std::pair(design.top, design.height)) << control;
    }
    for (const Placement& p : designTable(both))
      EXPECT_DOUBLE_EQ(p.control->fontSize(), p.fontSize * f.font) << p.control->name();

    const auto right = [](const Geometry& g) { return g.left + g.width; };
    const auto bottom = [](const Geometry& g) { return g.top + g.height; };
    EXPECT_EQ(both.cmdStop.geometry().top, both.Frame3.geometry().top);
    EXPECT_EQ(both.Text4.geometry().top, both.Frame3.geometry().top);
    EXPECT_EQ(right(both.Command1.geometry()), both.frame1.geometry().width);
    EXPECT_EQ(right(both.hscBogen.geometry()), both.picAusgabe.geometry().width);
    EXPECT_EQ(bottom(both.hscBogen.geometry()), both.picAusgabe.geometry().height);
    // Each pair's result fields stand in the column of its die, before the next die begins.
    for (int i = 0; i + 1 < kDice; ++i) {
      for (const Control* field : {&both.txtPGewinn[i], &both.txtPGewinn[kDice + i], &both.Text2[i]}) {
        EXPECT_GT(field->geometry().left, both.frmWürfel[i].geometry().left) << field->name();
        EXPECT_LT(field->geometry().left, both.frmWürfel[i + 1].geometry().left) << field->name();
      }
    }
  }
}

}  // namespace
}  // namespace varno
