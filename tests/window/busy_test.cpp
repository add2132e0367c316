#include "window/busy.h"

#include <gtest/gtest.h>

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
  EXPECT_NE(enabled(form), idle);
  // What stays usable while a search runs.
  for (const Control* control : {&form.cmdStop, &form.cmdInfo, &form.cmdInfoAlg, &form.picEingabe,
                                 &form.cmdZeigen[1], &form.picAusgabe, &form.shpkreis[11], &form.Text4})
    EXPECT_TRUE(control->enabled()) << control->name();
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
