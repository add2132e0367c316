// Random labellings and the Monte Carlo search for Varno rings, with the counters "Gesamt" (labellings
// dealt) and "Treffer" (rings found) and the stop button.
#pragma once

namespace varno {

class Form;

// Deals the numbers 1..n*k to the faces of the current ring: for each number in turn a die drawn
// uniformly, drawn again while it is full, the number on its first empty face. Only the last write is
// evaluated.
void Zufallsbelegung(Form& form);

// "Zufalls-Set": one random labelling, counted in "Gesamt", evaluated and drawn (without sorting).
void cmdZufall_Click(Form& form);

// Sets n and k to MCWürfelanzahl and MCSeitenzahl and deals random labellings until the verdict is a
// Varno ring or the stop button was pressed; at least one labelling is always dealt.
void MonteCarloSuche(Form& form);

// The items of the menu "MonteCarlo".
void cmd3x3_Click(Form& form);
void cmd3x4_Click(Form& form);
void cmd3x5_Click(Form& form);
void cmd3x6_Click(Form& form);
void cmd4x3_Click(Form& form);
void cmd4x4_Click(Form& form);

// 'Zähler auf "0" setzen': both counters to "0", the maxmin box cleared.
void Command9_Click(Form& form);

// The stop button: asks the running search to stop and leaves the busy state at once.
void cmdStop_Click(Form& form);

}  // namespace varno
