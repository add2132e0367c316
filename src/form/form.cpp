#include "form/form.h"

#include "form/layout.h"

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
  caption(cmdExtras, "Extras");
  caption(cmdMatrix, "Gewinnmatrix");
  caption(cmdStrongest, "stärksten Ring zeigen");
  caption(cmdSpectrum, "Verteilung der schwächsten Stelle");
  caption(cmdExport, "Graphik exportieren …");
  caption(cmdPrint, "Graphik drucken …");
  caption(cmdCopy, "Ring kopieren");
  caption(cmdPaste, "Ring einfügen");
  caption(cmdUndo, "Rückgängig");
  caption(cmdRedo, "Wiederholen");
  caption(cmdHelp, "Handbuch");
  for (Control* menu :
       {&cmdDatei,    &cmdSpeichern, &cmdLaden,  &cmdBeenden,    &cmdBeispiele,    &cmdVarno,    &cmdMini,
        &cmdZyklisch, &cmdMaxMin,    &cmdZufall, &cmdMonteCarlo, &cmd3x3,          &cmd3x4,      &cmd3x5,
        &cmd3x6,      &cmd4x3,       &cmd4x4,    &cmdInfoAlg,    &cmdKombinatorik, &cmdBelzähl,  &cmdZZ,
        &cmdInfoZähl, &cmdInfo,      &cmdExtras, &cmdMatrix,     &cmdStrongest,    &cmdSpectrum, &cmdExport,
        &cmdPrint,    &cmdCopy,      &cmdPaste})
    add(*menu);
  for (Control* item : {&cmdUndo, &cmdRedo, &cmdHelp}) add(*item);

  // Parameter frame.
  caption(Frame2, "Parameter, Eingabe");
  caption(Label2[0], "Anzahl der Würfel");
  caption(Label2[1], "Anzahl der Seiten");
  for (int i = 0; i < 2; ++i) {
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
  caption(Label5[0], "Varno-Ring?");
  caption(Label5[1], "Max(P)");
  caption(Label5[2], "Min(P)");
  Picture1[3].setToolTip("Max. für schwächste Stelle");
  txtRückmeldung.setLocked(true);
  caption(cmdSpiegeln, "umdrehen");
  caption(Label6[0], "Gesamt");
  caption(Label6[2], "Treffer");
  Label6[1].setVisible(false);
  for (Control& counter : Text3) counter.setLocked(true);
  caption(Command9, "x");
  Command9.setToolTip("Zähler auf \"0\" setzen");
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
  caption(Label1[0], "P(n. schlägt n+1.)");
  caption(Label1[1], "Summe");
  caption(Label1[2], "Augen");
  caption(Label1[3], "unentschieden");
  txtSumme.reserve(kDice);
  cmdLösch.reserve(kDice);
  txtAuge.reserve(kDice * kFaces);
  add(frame1);
  add(Label1);
  for (int d = 0; d < kDice; ++d) {
    Control& die = frmWürfel[d];
    caption(die, "W" + std::to_string(d + 1));
    die.setToolTip("Zum Beschriften anklicken");
    txtSumme.push_back(make(ControlKind::TextBox, "txtSumme(" + std::to_string(d) + ")", &die));
    txtSumme[d].setLocked(true);
    cmdLösch.push_back(make(ControlKind::Button, "cmdLösch(" + std::to_string(d) + ")", &die));
    caption(cmdLösch[d], "x");
    for (int f = 0; f < kFaces; ++f) {
      txtAuge.push_back(make(ControlKind::TextBox, "txtAuge(" + std::to_string(kFaces * d + f) + ")", &die));
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
  add(Command1);

  // Drawing surface.
  txtBeschriftung.setGeometry({0, 0, 465, 315, true});
  txtBeschriftung.setVisible(false);
  txtBeschriftung.setLocked(true);
  hscBogen.setHorizontal(true);
  hscBogen.setRange(50, 200);
  hscBogen.setValue(100);
  caption(Label3, "Interaktive Graphik: linke Maustaste \"+1\", rechte Maustaste \"-1\"");
  cmdZeigen.reserve(2);
  cmdZeigen.push_back(make(ControlKind::Button, "cmdZeigen(0)", &picAusgabe));
  cmdZeigen.push_back(make(ControlKind::Button, "cmdZeigen(1)", &picEingabeinnen));
  for (Control& button : cmdZeigen) {
    caption(button, "Gr");
    button.setToolTip("Graphik zeigen");
  }
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
  cmdStop.setToolTip("Prozeß abbrechen");
  add(Text4);
  add(cmdStop);
  // The progress of a count, in the free strip above the two frames.
  prgFortschritt.setRange(0, 1000);
  prgFortschritt.setVisible(false);
  lblRestzeit.setVisible(false);
  add(prgFortschritt);
  add(lblRestzeit);

  // Labelling pad.
  picEingabe.setVisible(false);
  picEingabealt.setBackColor(rgb(0, 192, 192));
  caption(Command4, "X");
  Command4.setToolTip("ausblenden");
  picEin2.setBackColor(rgb(192, 192, 192));
  caption(Label4, "Beschriftungsgerät");
  picEingabeinnen.setBackColor(rgb(0, 192, 192));
  for (int digit = 0; digit <= 9; ++digit) caption(cmdZahl[digit], std::to_string(digit));
  Command3.setToolTip("letzte Ziffer löschen");
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

  for (const Placement& p : designTable(*this))
    p.control->setGeometry({p.left.design(), p.top.design(), p.width.design(), p.height.design()});
}

}  // namespace varno
