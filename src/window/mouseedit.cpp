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
  const double value = leadingNumber(field.text());
  if (button == kLeftButton) {
    field.setText(numberFormat(value + 1));
  } else if (value > 0) {
    field.setText(numberFormat(value - 1));
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
