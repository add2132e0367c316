// The window's wiring: which handler runs when n, k, a face or the curve scroll bar changes, and the
// handlers themselves.
#pragma once

namespace varno {

class Form;

// Wires the change handlers of n, k, the faces and the scroll bars to their controls.
void connectHandlers(Form& form);

// The user changed n (index 0) or k (index 1) with the scroll bar: while evaluation is enabled, hides
// the labelling pad and writes the new value into Text1(index).
void VScroll1_Change(Form& form, int index);
// The user drags the scroll bar's thumb: the same, whether evaluation is enabled or not.
void VScroll1_Scroll(Form& form, int index);
// n or k changed: show the dice, draw the skeleton of the graphic, evaluate.
void Text1_Change(Form& form, int index);
// A face changed: evaluate while evaluation is enabled.
void txtAuge_Change(Form& form, int index);

// The buttons "Gr" (index 0 on the surface, 1 on the labelling pad): the full redraw.
void cmdZeigen_Click(Form& form, int index);
// The curve scroll bar moved: the full redraw.
void hscBogen_Change(Form& form);

}  // namespace varno
