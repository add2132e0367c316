// Which dice and faces are shown, and the order of the faces.
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

}  // namespace varno
