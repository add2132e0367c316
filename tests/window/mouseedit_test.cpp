#include "window/mouseedit.h"

#include "graphic/drawing.h"
#include "ring/ringfixture.h"

namespace varno {
namespace {

class MouseEdit : public RingTest {
 protected:
  MouseEdit() { setSize(3, 3); }
};

// A raised face moves outwards when its die is sorted again; every click redraws, even one that changes
// nothing. Which values the buttons write: values_test.cpp.
TEST_F(MouseEdit, ARaisedFaceMovesOutwardsAndEveryClickRedrawsEvenWithoutAChange) {
  setDie(1, {" 0", " 5", " 5"});
  ZeichneGraphik(form);
  shpkreis_MouseDown(form, 22, kLeftButton);  // die 2, face 2
  EXPECT_EQ(die(1, 3), (std::vector<std::string>{" 0", " 5", " 6"}));
  const std::uint64_t drawn = form.ausgabe.revision();
  shpkreis_MouseDown(form, 21, kRightButton);
  EXPECT_EQ(face(form, 1, 0).text(), " 0");
  EXPECT_GT(form.ausgabe.revision(), drawn);
}

TEST_F(MouseEdit, HoveringShowsTheFaceTextJustBelowItsMarkerAndTheBareSurfaceHidesIt) {
  setDie(0, {" 6", "7", "8"});
  ZeichneGerüst(form);
  shpkreis_MouseMove(form, 11);
  EXPECT_TRUE(form.txtBeschriftung.visible());
  EXPECT_EQ(form.txtBeschriftung.text(), " 6");
  const Geometry& marker = form.shpkreis[11].geometry();
  EXPECT_DOUBLE_EQ(form.txtBeschriftung.geometry().left, marker.left);
  EXPECT_DOUBLE_EQ(form.txtBeschriftung.geometry().top, marker.top - 2);
  picAusgabe_MouseMove(form);
  EXPECT_FALSE(form.txtBeschriftung.visible());
}

}  // namespace
}  // namespace varno
