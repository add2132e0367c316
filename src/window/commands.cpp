#include "window/commands.h"

#include "form/form.h"
#include "graphic/drawing.h"
#include "ring/ring.h"
#include "window/wiring.h"

namespace varno {

void cmdSpiegeln_Click(Form& form) {
  const int n = Würfelanzahl(form);
  const int k = Seitenzahl(form);
  for (int i = 0; i <= (n - 1) / 2.0; ++i) {
    const int m = n - 1 - i;
    for (int f = 0; f < k; ++f) {
      const std::string value = Decimal::of(face(form, i, f).text()).rounded().formatted();
      face(form, i, f).setText(face(form, m, f).text());
      face(form, m, f).setText(value);
    }
  }
  cmdZeigen_Click(form, 0);
}

void cmdLösch_Click(Form& form, int index) {
  if (!form.Freigabe) return;
  form.txtEintrag.setText("");
  for (int f = 0; f < kFaces; ++f) face(form, index, f).setText("");
}

void Command1_Click(Form& form) {
  for (int d = 0; d < kDice; ++d) cmdLösch_Click(form, d);
  form.ausgabe.Cls();
  ZeichneGerüst(form);
}

}  // namespace varno
