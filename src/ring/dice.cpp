#include "ring/dice.h"

#include "form/form.h"
#include "ring/ring.h"

namespace varno {

void WürfelZeigen(Form& form) {
  for (int i = 0; i < kDice; ++i) {
    form.frmWürfel[i].setVisible(false);
    form.Text2[i].setVisible(false);
    form.txtPGewinn[i].setVisible(false);
    form.txtPGewinn[kDice + i].setVisible(false);
  }
  const int n = Würfelanzahl(form);
  for (int i = 0; i < n; ++i) {
    form.frmWürfel[i].setVisible(true);
    form.Text2[i].setVisible(true);
    form.txtPGewinn[i].setVisible(true);
    form.txtPGewinn[kDice + i].setVisible(true);
  }
  for (Control& field : form.txtAuge) field.setVisible(false);
  const int k = Seitenzahl(form);
  // Faces of dice beyond n are shown inside their hidden frames, so that they appear when n grows.
  for (int f = 0; f < k; ++f)
    for (int d = 0; d < kDice; ++d) face(form, d, f).setVisible(true);
}

namespace {

// Whether face text a reads as a smaller number than b: digit for digit, so that faces a double holds
// as one number are put in order too.
bool faceLess(const std::string& a, const std::string& b) {
  const std::optional<double> x = shortNumber(a), y = shortNumber(b);
  if (x && y) return *x < *y;
  return Decimal::of(a) < Decimal::of(b);
}

}  // namespace

void AugenSortieren(Form& form) {
  const int n = Würfelanzahl(form);
  const int k = Seitenzahl(form);
  if (k == 1) return;
  for (int d = 0; d < n; ++d) {
    bool exchanged = true;
    while (exchanged) {
      exchanged = false;
      for (int f = 0; f + 1 < k; ++f) {
        if (faceLess(face(form, d, f + 1).text(), face(form, d, f).text())) {
          std::string lower = face(form, d, f).text();
          face(form, d, f).setText(face(form, d, f + 1).text());
          face(form, d, f + 1).setText(std::move(lower));
          exchanged = true;
        }
      }
    }
  }
}

void setRingSize(Form& form, int n, int k) {
  form.Text1[0].setText(plainDigits(n));
  form.VScroll1[0].setValue(n);
  form.Text1[1].setText(plainDigits(k));
  form.VScroll1[1].setValue(k);
}

}  // namespace varno
