#include "window/montecarlo.h"

#include "form/form.h"
#include "graphic/drawing.h"
#include "ring/dice.h"
#include "ring/evaluation.h"
#include "ring/ring.h"
#include "window/busy.h"

namespace varno {

void Zufallsbelegung(Form& form) {
  form.Freigabe = false;
  form.dealing = true;
  for (Control& field : form.txtAuge) field.setText("");
  const int n = Würfelanzahl(form);
  const int k = Seitenzahl(form);
  for (int i = 1; i <= n * k; ++i) {
    if (i == n * k) form.Freigabe = true;
    form.DoEvents();
    for (;;) {
      const int d = static_cast<int>(n * form.random.next());
      int f = 0;
      while (f < k && !face(form, d, f).text().empty()) ++f;
      if (f < k) {
        face(form, d, f).setText(plainDigits(i));
        break;
      }
    }
  }
  form.Freigabe = true;
  form.dealing = false;
}

void cmdZufall_Click(Form& form) {
  form.picEingabe.setVisible(false);
  form.Text3[0].setText(advancedCounter(form.Text3[0].text()));
  Zufallsbelegung(form);
  form.ausgabe.Cls();
  ZeichneGerüst(form);
  ZeichneBögen(form);
  ZeichneGewinnfelder(form);
}

void MonteCarloSuche(Form& form) {
  RechnungBeginn(form);
  form.searchRunning = true;
  setRingSize(form, form.MCWürfelanzahl, form.MCSeitenzahl);
  form.txtRückmeldung.setText("");
  form.Abbruch = false;
  do {
    form.DoEvents();
    cmdZufall_Click(form);
  } while (form.txtRückmeldung.text().compare(0, 3, " ja") != 0 && !form.Abbruch);
  form.searchRunning = false;
  RechnungEnde(form);
}

namespace {

void search(Form& form, int n, int k) {
  form.MCWürfelanzahl = n;
  form.MCSeitenzahl = k;
  MonteCarloSuche(form);
}

}  // namespace

void cmd3x3_Click(Form& form) {
  search(form, 3, 3);
}
void cmd3x4_Click(Form& form) {
  search(form, 3, 4);
}
void cmd3x5_Click(Form& form) {
  search(form, 3, 5);
}
void cmd3x6_Click(Form& form) {
  search(form, 3, 6);
}
void cmd4x3_Click(Form& form) {
  search(form, 4, 3);
}
void cmd4x4_Click(Form& form) {
  search(form, 4, 4);
}

void Command9_Click(Form& form) {
  form.Text3[0].setText("0");
  form.Text3[1].setText("0");
  form.Picture1[3].setText("");
}

void cmdStop_Click(Form& form) {
  form.Abbruch = true;
  RechnungEnde(form);
}

}  // namespace varno
