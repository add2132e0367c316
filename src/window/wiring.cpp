#include "window/wiring.h"

#include "form/form.h"
#include "form/numbertext.h"
#include "graphic/drawing.h"
#include "ring/dice.h"
#include "ring/evaluation.h"

namespace varno {

void connectHandlers(Form& form) {
  for (int i = 0; i < 2; ++i) {
    form.VScroll1[i].onChange([&form, i] { VScroll1_Change(form, i); });
    form.Text1[i].onChange([&form, i] { Text1_Change(form, i); });
  }
  form.hscBogen.onChange([&form] { hscBogen_Change(form); });
  for (int i = 0; i < kDice * kFaces; ++i) form.txtAuge[i].onChange([&form, i] { txtAuge_Change(form, i); });
}

namespace {

void showCount(Form& form, int index) {
  form.picEingabe.setVisible(false);
  form.Text1[index].setText(plainDigits(form.VScroll1[index].value()));
}

}  // namespace

void VScroll1_Change(Form& form, int index) {
  if (form.Freigabe) showCount(form, index);
}

void VScroll1_Scroll(Form& form, int index) {
  showCount(form, index);
}

void Text1_Change(Form& form, int /*index*/) {
  WürfelZeigen(form);
  ZeichneGerüst(form);
  RingAuswerten(form);
}

void txtAuge_Change(Form& form, int /*index*/) {
  if (form.Freigabe) RingAuswerten(form);
}

void cmdZeigen_Click(Form& form, int /*index*/) {
  ZeichneGraphik(form);
}

void hscBogen_Change(Form& form) {
  ZeichneGraphik(form);
}

}  // namespace varno
