// Running through every labelling of the current ring with the numbers 1..n*k (faces ascending on every
// die, the 1 on die 1) and counting the Varno rings "rechtsrum" among them, or showing them one by one.
//
// The counts, the best weakest link and the rings shown are those of the step-by-step loop over all
// labellings in lexicographic order, but they are found without visiting every labelling: the count
// comes from a dynamic programme over the labellings read as words over the dice, the rings shown from
// a search that drops partial labellings which can no longer become rings.
#pragma once

#include <cstdint>
#include <string>

namespace varno {

class Form;

// "alle Belegungen zählen" and "zählen und zeigen".
void cmdBelzähl_Click(Form& form);
void cmdZZ_Click(Form& form);

// The enumeration for n dice of k faces in the mode Zählmodus.
void BelegungenDurchlaufen(Form& form, int n, int k);

// The number of labellings X = (n*k)! / ((k!)^n * n) as "Gesamt" shows it: up to 15 significant digits,
// exponent form from 10^15 on. Rounded from the exact number, so that even the 15th digit is right (a
// double computed step by step gets 7x5 wrong there).
std::string totalText(int n, int k);

// A duration for the user: "40 s", "3 min", "2 h 05 min", "12 Tage", "12.345 Tage".
std::string durationText(double seconds);
// Figures in the window's own German sentences: a decimal comma, and the whole part in groups of three
// from five digits on ("3853,8", "12.345,6").
std::string germanFigure(double value, int decimals);
// An amount of memory or disk for the user: "3853,8 GiB".
std::string gibibytesText(std::uint64_t bytes);
// The faces of a die in a sentence: "1 Seite", "6 Seiten".
std::string facesText(int k);
// The time still needed for a count that has done `share` of its work in `seconds`: "noch etwa 3 min".
std::string timeLeftText(double seconds, double share);

}  // namespace varno
