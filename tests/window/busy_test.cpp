#include "window/busy.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "window/frmvarno.h"

namespace varno {
namespace {

std::vector<bool> enabled(const Form& form) {
  std::vector<bool> all;
  for (const Control* control : form.controls()) all.push_back(control->enabled());
  return all;
}

TEST(Busy, EndingRestoresEverythingBeginningTookHoweverOftenEitherRan) {
  frmVarno form;
  const std::vector<bool> idle = enabled(form);
  RechnungBeginn(form);
  RechnungBeginn(form);
  EXPECT_TRUE(form.Text4.visible());
  EXPECT_TRUE(form.busyPointer);
  // Exactly what would start a command or change the ring is disabled; the stop button, information,
  // the pad, the graphic, the matrix, export and copy stay usable.
  std::set<std::string> disabled,
      expected = {"cmdZufall",   "cmdDatei",     "cmdBeispiele", "cmdMonteCarlo", "cmdKombinatorik",
                  "VScroll1(0)", "VScroll1(1)",  "cmdStrongest", "cmdSpectrum",   "cmdPaste",
                  "Command9",    "cmdZeigen(0)", "cmdSpiegeln",  "Command1"};
  for (const Control& control : form.frmWürfel) expected.insert(control.name());
  for (const Control& control : form.txtAuge) expected.insert(control.name());
  for (const Control* control : form.controls())
    if (!control->enabled()) disabled.insert(control->name());
  EXPECT_EQ(disabled, expected);
  Text4_Click(form);  // the notice can be clicked away; the busy state stays
  EXPECT_FALSE(form.Text4.visible());
  EXPECT_FALSE(form.cmdMonteCarlo.enabled());
  RechnungEnde(form);
  RechnungEnde(form);
  EXPECT_EQ(enabled(form), idle);
  EXPECT_FALSE(form.Text4.visible());
  EXPECT_FALSE(form.busyPointer);
  RechnungBeginn(form);
  EXPECT_TRUE(form.Text4.visible());
}

}  // namespace
}  // namespace varno
