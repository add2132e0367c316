// The ring as a whole, to be given back exactly as it was: what "Rückgängig" and "Wiederholen" keep of
// every change.
#pragma once

#include <array>
#include <string>

#include "form/form.h"

namespace varno {

// n and k as their fields show them, and the texts of all 64 faces, those of hidden dice and faces too.
struct RingState {
  std::string dice, faces;
  std::array<std::string, kDice * kFaces> faceTexts;

  bool operator==(const RingState&) const = default;
};

RingState ringState(const Form& form);

// Writes a ring back: the faces, then n and k with their scroll bars (a change of shape hides the pad, as
// the scroll bars do), the evaluation once for the whole ring, and the graphic with its three steps. The
// steps leave out the sort of "Gr", so the faces stay exactly as they were, as after an example; "Gr"
// sorts them when asked. The pad's entry buffer takes the selected face's text, so that the next digit
// extends the face as it is now.
void restoreRing(Form& form, const RingState& state);

}  // namespace varno
