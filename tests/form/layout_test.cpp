#include "form/layout.h"

#include <gtest/gtest.h>

#include "form/form.h"
#include "window/frmvarno.h"

namespace varno {
namespace {

void expectGeometry(const Control& control, double left, double top, double width, double height) {
  const Geometry& g = control.geometry();
  EXPECT_DOUBLE_EQ(g.left, left) << control.name();
  EXPECT_DOUBLE_EQ(g.top, top) << control.name();
  EXPECT_DOUBLE_EQ(g.width, width) << control.name();
  EXPECT_DOUBLE_EQ(g.height, height) << control.name();
}

TEST(Layout, OnTheDesignScreenEveryValueIsItsDesignValue) {
  frmVarno form;
  const LayoutFactors f = LayoutAnpassen(form, 12288, 9216);
  EXPECT_EQ(f.x, 1);
  EXPECT_EQ(f.y, 1);
  EXPECT_EQ(f.font, 1);
  expectGeometry(form.Frame2, 200, 480, 4000, 1200);
  expectGeometry(form.cmdStop, 9648, 480, 2332, 456);
  expectGeometry(form.Text3[1], 5340, 720, 2000, 336);
  expectGeometry(form.frame1, 200, 1800, 11772, 6200);
  expectGeometry(form.Command1, 11772 - 320, 0, 320, 320);
  expectGeometry(form.picAusgabe, 6800, 400, 4900, 5600);
  expectGeometry(form.frmWürfel[7], 1200 + 660 * 7, 1600, 760, 4400);
  expectGeometry(form.txtPGewinn[3], 1600 + 660 * 3, 800, 600, 300);
  expectGeometry(form.txtPGewinn[11], 1600 + 660 * 3, 400, 600, 300);
  EXPECT_DOUBLE_EQ(form.txtAuge[8 * 2 + 5].geometry().top, 1200 + 360 * 5);
  EXPECT_DOUBLE_EQ(form.Text2[4].geometry().left, 1800 + 660 * 4);
  EXPECT_DOUBLE_EQ(form.picEingabe.geometry().left, 5000);
  EXPECT_DOUBLE_EQ(form.picEingabe.geometry().top, 2400);
  EXPECT_EQ(form.Label5[0].fontSize(), 10);
  EXPECT_EQ(form.txtRückmeldung.fontSize(), 11);
  EXPECT_EQ(form.Picture1[3].fontSize(), 12);
  EXPECT_EQ(form.Label1[2].fontSize(), 9);
}

TEST(Layout, FontsFollowTheSmallerFactorAndFixedValuesStay) {
  frmVarno form;
  // A wide screen: twice as wide, one and a half times as high as designed.
  LayoutFactors f = LayoutAnpassen(form, 2 * 12288, 1.5 * 9216);
  EXPECT_EQ(f.font, 1.5);
  expectGeometry(form.Frame3, 4300 * 2, 480 * 1.5, 7696 * 2, 1200 * 1.5);
  expectGeometry(form.cmdStop, 9648 * 2, 480 * 1.5, 2332 * 2, 456);  // fixed height
  EXPECT_DOUBLE_EQ(form.frmWürfel[1].geometry().width, 760);
  EXPECT_DOUBLE_EQ(form.Command1.geometry().left, 11772 * 2 - 320);
  EXPECT_DOUBLE_EQ(form.cmdZeigen[0].geometry().left, 240);
  EXPECT_DOUBLE_EQ(form.cmdZeigen[0].geometry().top, 5000 * 1.5);
  EXPECT_DOUBLE_EQ(form.Label3.geometry().left, 700);
  EXPECT_DOUBLE_EQ(form.hscBogen.geometry().left, 4900 * 2 - form.hscBogen.geometry().width);
  EXPECT_EQ(form.Label2[0].fontSize(), 15);
  // A narrow one: fonts follow the width.
  f = LayoutAnpassen(form, 0.5 * 12288, 9216);
  EXPECT_EQ(f.font, 0.5);
  EXPECT_EQ(form.Text1[0].fontSize(), 6);
}

}  // namespace
}  // namespace varno
