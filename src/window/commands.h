// The commands that change the ring as a whole: reversing the order of the dice, clearing one die,
// clearing all dice.
#pragma once

namespace varno {

class Form;

// "umdrehen": die 1 and die n change places, die 2 and die n-1, and so on. The first half receives the
// texts of the second unchanged; the second half (with the middle die) is written in the number
// format, rounded to whole numbers. Then the graphic is redrawn in full.
void cmdSpiegeln_Click(Form& form);
// "x" in a die's frame: empties all eight faces of the die and the pad's entry buffer.
void cmdLösch_Click(Form& form, int index);
// "leeres Set": empties all 64 faces and draws the skeleton of the graphic.
void Command1_Click(Form& form);

}  // namespace varno
