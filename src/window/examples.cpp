#include "window/examples.h"

#include "form/form.h"
#include "graphic/drawing.h"
#include "ring/dice.h"
#include "ring/ring.h"

namespace varno {

const Example& varnosBeispiel() {
  static const Example example{4, 6, {" 3 3 3 9 9 9", " 2 2 8 8 8 8", " 6 6 6 6 6 6", " 4 4 4 41010"}};
  return example;
}

const Example& minimalstruktur() {
  static const Example example{3, 3, {" 3 5 7", " 2 4 9", " 1 6 8"}};
  return example;
}

const Example& zyklisch5x5() {
  static const Example example{5, 5, {" 5 9131721", " 4 8121625", " 3 7112024", " 2 6151923", " 110141822"}};
  return example;
}

const Example& bester4x4() {
  static const Example example{4, 4, {" 3 3 3 7", " 2 2 6 6", " 1 5 5 5", " 4 4 4 4"}};
  return example;
}

void loadExample(Form& form, const Example& example) {
  setRingSize(form, example.n, example.k);
  for (int d = 0; d < example.n; ++d) {
    for (int f = 0; f < example.k; ++f) {
      std::string pair = example.dice[d].substr(2 * f, 2);
      pair.erase(0, pair.find_first_not_of(' '));
      face(form, d, f).setText(pair);
    }
  }
  ZeichneGerüst(form);
  ZeichneBögen(form);
  ZeichneGewinnfelder(form);
}

void cmdVarno_Click(Form& form) {
  loadExample(form, varnosBeispiel());
}
void cmdMini_Click(Form& form) {
  loadExample(form, minimalstruktur());
}
void cmdZyklisch_Click(Form& form) {
  loadExample(form, zyklisch5x5());
}
void cmdMaxMin_Click(Form& form) {
  loadExample(form, bester4x4());
}

}  // namespace varno
