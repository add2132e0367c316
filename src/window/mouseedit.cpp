#include "window/mouseedit.h"

#include "form/form.h"
#include "graphic/drawing.h"
#include "ring/ring.h"
#include "window/information.h"

namespace varno {

int markerField(int marker) {
  const int die = (marker - 10) / 10;
  const int face = marker % 10;
  return kFaces * die + face - 1;
}

void shpkreis_MouseDown(Form& form, int marker, int button) {
  Control& field = form.txtAuge[markerField(marker)];
  // Digit for digit: a double would turn 1234567890123456 + 1 into " 1.23456789012346E+15", which the
  // leading-number rule reads as 1.23.
  const Decimal value = Decimal::of(field.text());
  if (button == kLeftButton) {
    field.setText((value + Decimal(1)).formatted());
  } else if (value.sign() > 0) {
    field.setText((value - Decimal(1)).formatted());
  }
  ZeichneGraphik(form);
}

void shpkreis_MouseMove(Form& form, int marker) {
  const Geometry& g = form.shpkreis[marker].geometry();
  form.txtBeschriftung.setVisible(true);
  form.txtBeschriftung.move(g.left, g.top - 2);
  form.txtBeschriftung.setText(form.txtAuge[markerField(marker)].text());
}

void picAusgabe_MouseMove(Form& form) {
  welcomeStep(form);
  form.txtBeschriftung.setVisible(false);
}

}  // namespace varno
