// The labelling pad "Beschriftungsgerät": clicking a face or a die frame selects a face, marks it and
// makes the pad glide over that die; digit keys append to the face, the undo key removes its last
// digit, the arrow keys move the selection.
#pragma once

namespace varno {

class Form;

// The selected face field, 8 * die + face; 0 before the first selection.
int selectedFace(const Form& form);

// Selects face `index`: marks it light yellow (all others white), shows the pad, copies the face's text
// into the entry buffer and starts the glide over the face's die. Nothing while evaluation is off.
void txtAuge_Click(Form& form, int index);
// Selects face 1 of die `index`.
void frmWürfel_Click(Form& form, int index);

// Appends the digit to the entry buffer and writes the buffer to the selected face.
void cmdZahl_Click(Form& form, int digit);
// Removes the buffer's last character, if any, and writes the buffer to the selected face.
void Command3_Click(Form& form);
// Hides the pad; the marking stays.
void Command4_Click(Form& form);
// The arrow keys: next face (down), previous face (up), next die (right), previous die (left). Faces do
// not wrap; dice wrap around the ring.
void Command5_Click(Form& form);
void Command6_Click(Form& form);
void Command7_Click(Form& form);
void Command8_Click(Form& form);

// Where the pad comes to rest for the selected face: over its die's column, 420 twips above the ring
// table's box.
double padTargetLeft(const Form& form);
double padTargetTop(const Form& form);

// Moves the pad one position further along its glide; returns whether positions remain.
bool advanceGlide(Form& form);
// Whether the pad is still gliding.
bool gliding(const Form& form);
// Ends a glide under way and puts the pad where it comes to rest for the selected face.
void settlePad(Form& form);

}  // namespace varno
