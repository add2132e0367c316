// Reading the ring from the window's fields: n, k and the face values, afresh every time.
#pragma once

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

}  // namespace varno
