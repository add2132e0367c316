#include "window/busy.h"

#include "form/form.h"

namespace varno {

namespace {

void setBusy(Form& form, bool busy) {
  form.Text4.setVisible(busy);
  for (Control* menu :
       {&form.cmdZufall, &form.cmdDatei, &form.cmdBeispiele, &form.cmdMonteCarlo, &form.cmdKombinatorik})
    menu->setEnabled(!busy);
  for (Control& bar : form.VScroll1) bar.setEnabled(!busy);
  // Of the additions, what would change the ring or count.
  form.cmdStrongest.setEnabled(!busy);
  form.cmdSpectrum.setEnabled(!busy);
  form.cmdPaste.setEnabled(!busy);
  for (Control& frame : form.frmWürfel) frame.setEnabled(!busy);
  for (Control& field : form.txtAuge) field.setEnabled(!busy);
  form.busyPointer = busy;
  for (Control* button : {&form.Command9, &form.cmdZeigen[0], &form.cmdSpiegeln, &form.Command1})
    button->setEnabled(!busy);
}

}  // namespace

void RechnungBeginn(Form& form) {
  setBusy(form, true);
}

void RechnungEnde(Form& form) {
  setBusy(form, false);
}

void Text4_Click(Form& form) {
  form.Text4.setVisible(false);
}

}  // namespace varno
