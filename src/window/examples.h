// The four example rings of the menu "Beispiele".
#pragma once

#include <string>
#include <vector>

namespace varno {

class Form;

// An example: n, k and one text per die holding its k face values in two characters each.
struct Example {
  int n, k;
  std::vector<std::string> dice;
};

const Example& varnosBeispiel();
const Example& minimalstruktur();
const Example& zyklisch5x5();
const Example& bester4x4();

// Sets n and k, writes the n * k faces of the example (the others keep their texts) and draws the ring
// without sorting.
void loadExample(Form& form, const Example& example);

void cmdVarno_Click(Form& form);
void cmdMini_Click(Form& form);
void cmdZyklisch_Click(Form& form);
void cmdMaxMin_Click(Form& form);

}  // namespace varno
