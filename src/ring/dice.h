// Which dice and faces are shown, the order of the faces, and the change handlers of n, k and faces.
#pragma once

namespace varno {

class Form;

// Sets n and k as a program action does: the text and the scroll bar, which runs their change handlers.
void setRingSize(Form& form, int n, int k);

// Shows the frames and result fields of dice 0..n-1 and the face fields 0..k-1, hides the rest;
// no text is touched.
void WürfelZeigen(Form& form);

// Puts the faces in use of every die in use into ascending order of value by exchanging neighbours;
// stable, texts move unchanged, every exchange is two face writes.
void AugenSortieren(Form& form);

// The user changed n (index 0) or k (index 1) with the scroll bar: while evaluation is enabled, hides
// the labelling pad and writes the new value into Text1(index).
void VScroll1_Change(Form& form, int index);
// The user drags the scroll bar's thumb: the same, whether evaluation is enabled or not.
void VScroll1_Scroll(Form& form, int index);
// n or k changed: show the dice, draw the skeleton of the graphic, evaluate.
void Text1_Change(Form& form, int index);
// A face changed: evaluate while evaluation is enabled.
void txtAuge_Change(Form& form, int index);

}  // namespace varno
