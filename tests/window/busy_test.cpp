#include "window/busy.h"

#include <gtest/gtest.h>

#include "form/form.h"
#include "window/frmvarno.h"

namespace varno {
namespace {

std::vector<const Control*> listed(const Form& form) {
  std::vector<const Control*> controls = {&form.cmdZufall,     &form.cmdDatei,        &form.cmdBeispiele,
                                          &form.cmdMonteCarlo, &form.cmdKombinatorik, &form.Command9,
                                          &form.cmdZeigen[0],  &form.cmdSpiegeln,     &form.Command1};
  for (const Control& c : form.VScroll1) controls.push_back(&c);
  for (const Control& c : form.frmWürfel) controls.push_back(&c);
  for (const Control& c : form.txtAuge) controls.push_back(&c);
  return controls;
}

TEST(Busy, DisablesTheListedControlsAndRestoresThemHoweverOftenItRan) {
  frmVarno form;
  RechnungBeginn(form);
  RechnungBeginn(form);
  for (const Control* control : listed(form)) EXPECT_FALSE(control->enabled()) << control->name();
  EXPECT_TRUE(form.Text4.visible());
  EXPECT_TRUE(form.busyPointer);
  // Not part of it: the stop button, "Information", the pad and the drawing surface.
  for (const Control* control :
       {&form.cmdStop, &form.cmdInfo, &form.picEingabe, &form.picAusgabe, &form.cmdZeigen[1]})
    EXPECT_TRUE(control->enabled()) << control->name();
  RechnungEnde(form);
  for (const Control* control : listed(form)) EXPECT_TRUE(control->enabled()) << control->name();
  EXPECT_FALSE(form.Text4.visible());
  EXPECT_FALSE(form.busyPointer);
  RechnungEnde(form);
  EXPECT_TRUE(form.cmdKombinatorik.enabled());
}

TEST(Busy, ClickingTheNoticeHidesItUntilTheNextBusyState) {
  frmVarno form;
  RechnungBeginn(form);
  Text4_Click(form);
  EXPECT_FALSE(form.Text4.visible());
  EXPECT_FALSE(form.cmdMonteCarlo.enabled());
  RechnungEnde(form);
  RechnungBeginn(form);
  EXPECT_TRUE(form.Text4.visible());
  EXPECT_EQ(form.Text4.text(), "Rechnung läuft!");
}

}  // namespace
}  // namespace varno
