// "Verteilung der schwächsten Stelle": for the n and k shown, how many rings "rechtsrum" with the 1 on
// die 1 have each weakest link, counted as "alle Belegungen zählen" counts (on worker threads, with the
// busy state, the progress bar and the stop button, refused where that count is), and shown by the view
// as a bar chart with the weakest link of the ring in the window marked.
#pragma once

#include <optional>
#include <string>

namespace varno {

class Form;

void cmdSpectrum_Click(Form& form);

// What the chart marks: the weakest link of the ring in the window, when it is a Varno ring of the size
// counted whose labelling the count takes in (no tied faces on neighbouring dice; a ring "linksrum" is
// read backwards), and a sentence that says what is marked or why nothing is.
struct SpectrumMark {
  std::optional<int> link;
  std::string note;
};
SpectrumMark spectrumMark(const Form& form);

}  // namespace varno
