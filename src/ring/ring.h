// Reading the ring from the window's fields: n, k and the face values, afresh every time, and a snapshot
// of them that the evaluation and the drawing work on.
#pragma once

#include <array>

#include "form/form.h"
#include "form/numbertext.h"

namespace varno {

// A count read from a field, rounded and kept within 1..limit so that no reader leaves the 8 x 8 grid.
inline int readCount(const Control& field, int limit) {
  const double value = roundHalfEven(leadingNumber(field.text()));
  return value < 1 ? 1 : value > limit ? limit : static_cast<int>(value);
}

// Würfelanzahl n, the number of dice (3..8 through the scroll bar).
inline int Würfelanzahl(const Form& form) {
  return readCount(form.Text1[0], kDice);
}
// Seitenzahl k, the number of faces of every die (1..8 through the scroll bar).
inline int Seitenzahl(const Form& form) {
  return readCount(form.Text1[1], kFaces);
}

// The face field of face f of die d, both counted from 0.
inline Control& face(Form& form, int d, int f) {
  return form.txtAuge[kFaces * d + f];
}
inline const Control& face(const Form& form, int d, int f) {
  return form.txtAuge[kFaces * d + f];
}
inline double faceValue(const Form& form, int d, int f) {
  return leadingNumber(face(form, d, f).text());
}

// The ring as its fields show it at one moment: n, k and the faces in use (die d and face f from 0; the
// rest are 0), by their order: equal faces hold the same number and a larger face a larger one, which is
// all that wins, ties and curves ask. The faces are compared digit for digit, so that two faces the user
// sees as different never count as a tie (as doubles, 12345678901234567 and 12345678901234568 are one).
struct Ring {
  int n = 3;
  int k = 3;
  std::array<std::array<double, kFaces>, kDice> values{};
  // True when `values` are the faces' ranks (some face has more digits than a double keeps), false
  // when they are the faces' values.
  bool ranked = false;

  const double* die(int d) const { return values[d].data(); }
  // The die after die d around the ring: die n-1 is followed by die 0.
  int next(int d) const { return d + 1 == n ? 0 : d + 1; }
};

Ring readRing(const Form& form);

}  // namespace varno
