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
// nothing; hovering shows a face. Which values the buttons write: values_test.cpp.
TEST_F(MouseEdit, ARaisedFaceMovesOutwardsEveryClickRedrawsAndHoveringShowsTheFace) {
  setDie(1, {" 0", " 5", " 5"});
  ZeichneGraphik(form);
  shpkreis_MouseDown(form, 22, kLeftButton);  // die 2, face 2
  EXPECT_EQ(die(1, 3), (std::vector<std::string>{" 0", " 5", " 6"}));
  const std::uint64_t drawn = form.ausgabe.revision();
  shpkreis_MouseDown(form, 21, kRightButton);
  EXPECT_EQ(face(form, 1, 0).text(), " 0");
  EXPECT_GT(form.ausgabe.revision(), drawn);
  // Hovering shows the face's text just below its marker; the bare surface hides it.
  shpkreis_MouseMove(form, 22);
  EXPECT_TRUE(form.txtBeschriftung.visible());
  EXPECT_EQ(form.txtBeschriftung.text(), " 5");
  EXPECT_DOUBLE_EQ(form.txtBeschriftung.geometry().left, form.shpkreis[22].geometry().left);
  EXPECT_DOUBLE_EQ(form.txtBeschriftung.geometry().top, form.shpkreis[22].geometry().top - 2);
  picAusgabe_MouseMove(form);
  EXPECT_FALSE(form.txtBeschriftung.visible());
}

}  // namespace
}  // namespace varno
