#include "window/startup.h"

#include "form/form.h"
#include "form/layout.h"
#include "graphic/drawing.h"
#include "ring/dice.h"
#include "window/montecarlo.h"

namespace varno {

void Form_Load(Form& form, std::uint64_t seed, double screenWidthTwips, double screenHeightTwips,
               const std::function<void()>& fillScreen) {
  form.random.seed(seed);
  for (Control& field : form.txtAuge) {
    field.setLocked(true);
    field.setTabStop(false);
    field.setToolTip("Zum Beschriften anklicken");
  }
  LayoutAnpassen(form, screenWidthTwips, screenHeightTwips);
  WürfelZeigen(form);
  form.Freigabe = true;
  form.Picture1[3].setText(" maxmin");
  GraphikEinrichten(form);
  cmd3x3_Click(form);
  if (fillScreen) fillScreen();
  form.Begrüßung = true;
}

}  // namespace varno
