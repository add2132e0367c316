#include "window/pad.h"

#include "form/form.h"
#include "ring/ring.h"

namespace varno {

namespace {

// The positions one axis takes from `start` to `target`: start, start + step, ... in steps of a
// fiftieth as long as they have not passed the target, then the target itself.
void glideAxis(std::vector<double>& positions, double start, double target) {
  if (start != target) {
    const double step = (target - start) / 50;
    for (double x = start; step > 0 ? x <= target : x >= target; x += step) positions.push_back(x);
  }
  positions.push_back(target);
}

void startGlide(Form& form) {
  const Geometry& pad = form.picEingabe.geometry();
  std::vector<double> xs, ys;
  glideAxis(xs, pad.left, padTargetLeft(form));
  glideAxis(ys, pad.top, padTargetTop(form));
  // Horizontally first, then vertically. A glide still under way is replaced: the pad always comes to
  // rest over the die of the face that is selected now.
  form.padGlide.clear();
  for (double x : xs) form.padGlide.push_back({x, pad.top});
  for (double y : ys) form.padGlide.push_back({xs.back(), y});
  form.padGlideNext = 0;
}

void select(Form& form, int index) {
  form.Feldnummer = index;
  for (Control& field : form.txtAuge) field.setBackColor(kWhite);
  form.txtAuge[index].setBackColor(kLightYellow);
  form.picEingabe.setVisible(true);
  form.txtEintrag.setText(form.txtAuge[index].text());
  startGlide(form);
}

void writeBuffer(Form& form) {
  form.txtAuge[selectedFace(form)].setText(form.txtEintrag.text());
}

}  // namespace

int selectedFace(const Form& form) {
  return form.Feldnummer.value_or(0);
}

double padTargetLeft(const Form& form) {
  const int die = selectedFace(form) / kFaces;
  return form.frmWürfel[die].geometry().left + form.frame1.geometry().left + 100;
}

double padTargetTop(const Form& form) {
  return form.frame1.geometry().top - 420;
}

void txtAuge_Click(Form& form, int index) {
  if (!form.Freigabe) return;
  select(form, index);
}

void frmWürfel_Click(Form& form, int index) {
  if (!form.Freigabe) return;
  select(form, index * kFaces);
}

void cmdZahl_Click(Form& form, int digit) {
  form.txtEintrag.setText(form.txtEintrag.text() + static_cast<char>('0' + digit));
  writeBuffer(form);
}

void Command3_Click(Form& form) {
  std::string buffer = form.txtEintrag.text();
  if (!buffer.empty()) buffer.pop_back();
  form.txtEintrag.setText(buffer);
  writeBuffer(form);
}

void Command4_Click(Form& form) {
  form.picEingabe.setVisible(false);
}

void Command5_Click(Form& form) {
  const int s = selectedFace(form);
  if (s % kFaces < Seitenzahl(form) - 1) txtAuge_Click(form, s + 1);
}

void Command6_Click(Form& form) {
  const int s = selectedFace(form);
  if (s % kFaces > 0) txtAuge_Click(form, s - 1);
}

void Command7_Click(Form& form) {
  const int s = selectedFace(form);
  txtAuge_Click(form, s / kFaces < Würfelanzahl(form) - 1 ? s + kFaces : s % kFaces);
}

void Command8_Click(Form& form) {
  const int s = selectedFace(form);
  txtAuge_Click(form, s / kFaces > 0 ? s - kFaces : s + (Würfelanzahl(form) - 1) * kFaces);
}

bool advanceGlide(Form& form) {
  if (!gliding(form)) return false;
  const auto [left, top] = form.padGlide[form.padGlideNext++];
  form.picEingabe.move(left, top);
  return gliding(form);
}

bool gliding(const Form& form) {
  return form.padGlideNext < form.padGlide.size();
}

void settlePad(Form& form) {
  form.padGlide.clear();
  form.padGlideNext = 0;
  form.picEingabe.move(padTargetLeft(form), padTargetTop(form));
}

}  // namespace varno
