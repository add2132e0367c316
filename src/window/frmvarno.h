// The window frmVarno: every control of the window with its change handlers wired. This is what the
// program runs, and what tests of the window's behaviour build.
#pragma once

#include "form/form.h"
#include "window/wiring.h"

namespace varno {

class frmVarno : public Form {
 public:
  frmVarno() { connectHandlers(*this); }
};

}  // namespace varno
