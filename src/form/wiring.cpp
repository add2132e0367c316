#include "form/wiring.h"

#include "form/form.h"
#include "graphic/drawing.h"
#include "ring/dice.h"

namespace varno {

void connectHandlers(Form& form) {
  for (int i = 0; i < 2; ++i) {
    form.VScroll1[i].onChange([&form, i] { VScroll1_Change(form, i); });
    form.Text1[i].onChange([&form, i] { Text1_Change(form, i); });
  }
  form.hscBogen.onChange([&form] { hscBogen_Change(form); });
  for (int i = 0; i < kDice * kFaces; ++i) form.txtAuge[i].onChange([&form, i] { txtAuge_Change(form, i); });
}

}  // namespace varno
