#include "form/form.h"

#include "form/wiring.h"

namespace varno {

Control Form::make(ControlKind kind, std::string name, Control* container) {
  return Control(kind, std::move(name), container, &changes_);
}

std::vector<Control> Form::array(ControlKind kind, const std::string& name, int count, Control* container) {
  std::vector<Control> controls;
  controls.reserve(count);
  for (int i = 0; i < count; ++i)
    controls.push_back(make(kind, name + "(" + std::to_string(i) + ")", container));
  return controls;
}

namespace {

void caption(Control& control, std::string text) {
  control.setText(std::move(text));
}

void place(Control& control, double left, double top, double width = -1, double height = -1) {
  control.setGeometry({left, top, width, height});
}

}  // namespace

// The captions, tooltips and designed positions (in twips) of the controls; the layout scaling moves
// and sizes most of them for the actual screen.
Form::Form() {
  // Menus, in the order of the menu bar.
  caption(cmdDatei, "Datei");
  caption(cmdSpeichern, "speichern");
  caption(cmdLaden, "laden");
  caption(cmdBeenden, "beenden");
  caption(cmdBeispiele, "Beispiele");
  caption(cmdVarno, "Varnos Beispiel");
  caption(cmdMini, "Minimalstruktur");
  caption(cmdZyklisch, "zyklisch 5x5");
  caption(cmdMaxMin, "bester 4x4");
  caption(cmdZufall, "Zufalls-Set");
  caption(cmdMonteCarlo, "MonteCarlo");
  caption(cmd3x3, "3x3");
  caption(cmd3x4, "3x4");
  caption(cmd3x5, "3x5");
  caption(cmd3x6, "3x6");
  caption(cmd4x3, "4x3");
  caption(cmd4x4, "4x4");
  caption(cmdInfoAlg, "Informationen zum Algorithmus");
  caption(cmdKombinatorik, "Kombinatorik");
  caption(cmdBelzähl, "alle Belegungen zählen");
  caption(cmdZZ, "zählen und zeigen");
  caption(cmdInfoZähl, "Informationen zur Zählweise");
  caption(cmdInfo, "Information");
  for (Control* menu :
       {&cmdDatei,        &cmdSpeichern, &cmdLaden,  &cmdBeenden,  &cmdBeispiele,  &cmdVarno,
        &cmdMini,         &cmdZyklisch,  &cmdMaxMin, &cmdZufall,   &cmdMonteCarlo, &cmd3x3,
        &cmd3x4,          &cmd3x5,       &cmd3x6,    &cmd4x3,      &cmd4x4,        &cmdInfoAlg,
        &cmdKombinatorik, &cmdBelzähl,   &cmdZZ,     &cmdInfoZähl, &cmdInfo})
    add(*menu);

  // Parameter frame.
  caption(Frame2, "Parameter, Eingabe");
  place(Frame2, 200, 480, 4000, 1200);
  caption(Label2[0], "Anzahl der Würfel");
  caption(Label2[1], "Anzahl der Seiten");
  for (int i = 0; i < 2; ++i) {
    const double left = 200 + 2000 * i;
    place(Text1[i], left, 400, 400, 400);
    place(VScroll1[i], left + 360, 400, 200, 432);
    place(Label2[i], left + 700, 400, i == 0 ? 1200 : 1000, 600);
    Text1[i].setLocked(true);
    Text1[i].setTabStop(false);
  }
  VScroll1[0].setRange(3, 8);
  VScroll1[1].setRange(1, 8);
  // The window data: n = 3, k = 3. Set before the handlers are wired, so nothing runs.
  VScroll1[0].setValue(3);
  VScroll1[1].setValue(3);
  caption(Text1[0], "3");
  caption(Text1[1], "3");
  add(Frame2);
  for (int i = 0; i < 2; ++i) add(Label2[i]), add(Text1[i]), add(VScroll1[i]);

  // Result frame.
  place(Frame3, 4300, 480, 7696, 1200);
  caption(Label5[0], "Varno-Ring?");
  caption(Label5[1], "Max(P)");
  caption(Label5[2], "Min(P)");
  place(Label5[0], 120, 200, 1200, 400);
  place(Label5[1], 1900, 420, 1200, 300);
  place(Label5[2], 1900, 820, 1200, 300);
  place(Picture1[0], 1600, 460, 1600, 400);
  place(Picture1[1], 2700, 360, 800, 300);
  place(Picture1[2], 2700, 760, 800, 300);
  place(Picture1[3], 3600, 360, 930, 300);
  Picture1[3].setToolTip("Max. für schwächste Stelle");
  place(txtRückmeldung, 120, 460, 1600, 260);
  txtRückmeldung.setLocked(true);
  caption(cmdSpiegeln, "umdrehen");
  place(cmdSpiegeln, 120, 820, 1600, 260);
  caption(Label6[0], "Gesamt");
  caption(Label6[2], "Treffer");
  Label6[1].setVisible(false);
  place(Label6[0], 4600, 432, 1200, 300);
  place(Label6[2], 4600, 820, 1200, 300);
  place(Text3[0], 5340, 320, 2000, 336);
  place(Text3[1], 5340, 720, 2000, 336);
  for (Control& counter : Text3) counter.setLocked(true);
  caption(Command9, "x");
  Command9.setToolTip("Zähler auf \"0\" setzen");
  place(Command9, 7380, 320, 216, 720);
  add(Frame3);
  add(Picture1[0]);
  add(Label5);
  add(txtRückmeldung);
  add(cmdSpiegeln);
  for (int i = 1; i < 4; ++i) add(Picture1[i]);
  add(Label6);
  add(Text3);
  add(Command9);

  // Ring table.
  place(frame1, 200, 1800, 11772, 6200);
  caption(Label1[0], "P(n. schlägt n+1.)");
  caption(Label1[1], "Summe");
  caption(Label1[2], "Augen");
  caption(Label1[3], "unentschieden");
  place(Label1[0], 100, 460, 1695, 375);
  place(Label1[3], 100, 1260, 1695, 375);
  place(Label1[1], 100, 2000, 1695, 375);
  place(Label1[2], 100, 2800, 1695, 375);
  txtSumme.reserve(kDice);
  cmdLösch.reserve(kDice);
  txtAuge.reserve(kDice * kFaces);
  add(frame1);
  add(Label1);
  for (int d = 0; d < kDice; ++d) {
    Control& die = frmWürfel[d];
    caption(die, "W" + std::to_string(d + 1));
    die.setToolTip("Zum Beschriften anklicken");
    place(die, 1200 + 660 * d, 1600, 760, 4400);
    place(txtPGewinn[d + kDice], 1600 + 660 * d, 400, 600, 300);
    place(txtPGewinn[d], 1600 + 660 * d, 800, 600, 300);
    place(Text2[d], 1800 + 660 * d, 1260, 400, 300);
    txtSumme.push_back(make(ControlKind::TextBox, "txtSumme(" + std::to_string(d) + ")", &die));
    place(txtSumme[d], 80, 400, 600, 300);
    txtSumme[d].setLocked(true);
    cmdLösch.push_back(make(ControlKind::Button, "cmdLösch(" + std::to_string(d) + ")", &die));
    caption(cmdLösch[d], "x");
    place(cmdLösch[d], 230, 780, 300, 300);
    for (int f = 0; f < kFaces; ++f) {
      txtAuge.push_back(make(ControlKind::TextBox, "txtAuge(" + std::to_string(kFaces * d + f) + ")", &die));
      place(txtAuge.back(), 80, 1200 + 360 * f, 600, 315);
    }
  }
  for (Control& field : txtPGewinn) field.setLocked(true);
  for (Control& field : Text2) field.setLocked(true);
  for (int d = 0; d < kDice; ++d) add(txtPGewinn[d + kDice]), add(txtPGewinn[d]), add(Text2[d]);
  for (int d = 0; d < kDice; ++d) {
    add(frmWürfel[d]);
    add(txtSumme[d]);
    add(cmdLösch[d]);
    for (int f = 0; f < kFaces; ++f) add(txtAuge[kFaces * d + f]);
  }
  caption(Command1, "X");
  Command1.setToolTip("leeres Set");
  place(Command1, 11772 - 320, 0, 320, 320);
  add(Command1);

  // Drawing surface.
  place(picAusgabe, 6800, 400, 4900, 5600);
  txtBeschriftung.setGeometry({0, 0, 465, 315, true});
  txtBeschriftung.setVisible(false);
  txtBeschriftung.setLocked(true);
  hscBogen.setHorizontal(true);
  hscBogen.setRange(50, 200);
  hscBogen.setValue(100);
  place(hscBogen, 4900 - 1800, 5600 - 255, 1800, 255);
  caption(Label3, "Interaktive Graphik: linke Maustaste \"+1\", rechte Maustaste \"-1\"");
  place(Label3, 700, 240, 4000, 480);
  cmdZeigen.reserve(2);
  cmdZeigen.push_back(make(ControlKind::Button, "cmdZeigen(0)", &picAusgabe));
  cmdZeigen.push_back(make(ControlKind::Button, "cmdZeigen(1)", &picEingabeinnen));
  for (Control& button : cmdZeigen) {
    caption(button, "Gr");
    button.setToolTip("Graphik zeigen");
  }
  place(cmdZeigen[0], 240, 5000, 390, 390);
  for (Control& marker : shpkreis) {
    marker.setVisible(false);
    marker.setGeometry({0, 0, 240, 240, true});
  }
  add(picAusgabe);
  add(shpkreis);
  add(txtBeschriftung);
  add(hscBogen);
  add(Label3);
  add(cmdZeigen[0]);

  // Busy notice and stop button, above the result frame.
  caption(Text4, "Rechnung läuft!");
  Text4.setLocked(true);
  Text4.setVisible(false);
  place(Text4, 7000, 480, 2600, 456);
  cmdStop.setToolTip("Prozeß abbrechen");
  place(cmdStop, 9648, 480, 2332, 456);
  add(Text4);
  add(cmdStop);
  // The progress of a count, in the free strip above the two frames.
  prgFortschritt.setRange(0, 1000);
  prgFortschritt.setVisible(false);
  place(prgFortschritt, 200, 80, 6600, 300);
  lblRestzeit.setVisible(false);
  place(lblRestzeit, 6900, 80, 2600, 300);
  add(prgFortschritt);
  add(lblRestzeit);

  // Labelling pad.
  picEingabe.setVisible(false);
  place(picEingabe, 5000, 2400, 2055, 2745);
  place(picEingabealt, 0, 0, 2025, 2715);
  picEingabealt.setBackColor(rgb(0, 192, 192));
  caption(Command4, "X");
  Command4.setToolTip("ausblenden");
  place(Command4, 1770, 30, 255, 255);
  place(picEin2, 60, 60, 1905, 2535);
  picEin2.setBackColor(rgb(192, 192, 192));
  caption(Label4, "Beschriftungsgerät");
  place(Label4, 30, 60, 1500, 195);
  place(picEingabeinnen, 60, 300, 1755, 1815);
  picEingabeinnen.setBackColor(rgb(0, 192, 192));
  for (int digit = 0; digit <= 9; ++digit) {
    caption(cmdZahl[digit], std::to_string(digit));
    if (digit == 0) {
      place(cmdZahl[0], 660, 1320, 375, 375);
    } else {
      place(cmdZahl[digit], 300 + 360 * ((digit - 1) % 3), 240 + 360 * ((digit - 1) / 3), 375, 375);
    }
  }
  Command3.setToolTip("letzte Ziffer löschen");
  place(Command3, 240, 1380, 375, 315);
  place(cmdZeigen[1], 1125, 1350, 390, 390);
  place(Command8, 60, 2160, 315, 315);
  place(Command5, 600, 2160, 315, 315);
  place(Command6, 960, 2160, 315, 315);
  place(Command7, 1500, 2160, 315, 315);
  txtEintrag.setLocked(true);
  txtEintrag.setVisible(false);
  add(picEingabe);
  add(picEingabealt);
  add(Command4);
  add(picEin2);
  add(Label4);
  add(picEingabeinnen);
  add(cmdZahl);
  add(Command3);
  add(cmdZeigen[1]);
  add(Command5);
  add(Command6);
  add(Command7);
  add(Command8);
  add(txtEintrag);

  connectHandlers(*this);
}

}  // namespace varno
