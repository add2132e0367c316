#include "window/ringstate.h"

#include "graphic/drawing.h"
#include "ring/evaluation.h"
#include "ring/ring.h"

namespace varno {

RingState ringState(const Form& form) {
  RingState state;
  state.dice = form.Text1[0].text();
  state.faces = form.Text1[1].text();
  for (int i = 0; i < kDice * kFaces; ++i) state.faceTexts[i] = form.txtAuge[i].text();
  return state;
}

void restoreRing(Form& form, const RingState& state) {
  form.Freigabe = false;
  for (int i = 0; i < kDice * kFaces; ++i) form.txtAuge[i].setText(state.faceTexts[i]);
  if (form.Text1[0].text() != state.dice || form.Text1[1].text() != state.faces)
    form.picEingabe.setVisible(false);
  form.Text1[0].setText(state.dice);
  form.VScroll1[0].setValue(Würfelanzahl(form));
  form.Text1[1].setText(state.faces);
  form.VScroll1[1].setValue(Seitenzahl(form));
  form.Freigabe = true;
  RingAuswerten(form);
  ZeichneGerüst(form);
  ZeichneBögen(form);
  ZeichneGewinnfelder(form);
  if (form.Feldnummer) form.txtEintrag.setText(form.txtAuge[*form.Feldnummer].text());
}

}  // namespace varno
