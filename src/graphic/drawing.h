// The ring graphic on the drawing surface picAusgabe: every die a spoke with its faces as red markers,
// curves from each face to the highest face of the next die that it beats, and the winning fractions
// between neighbours. Drawn on request only, in three steps.
#pragma once

namespace varno {

class Form;

// Angle of a full turn in the drawing (a little short of 2 pi, as the drawing has always used).
constexpr double kFullTurn = 6.2828;

// The coordinate system of the drawing surface: x from 14 at the left to -14 at the right, y from 16 at
// the top to -14 at the bottom, the ring's centre at (0, 0). All markers hidden.
void GraphikEinrichten(Form& form);
// The top and the bottom of that system.
constexpr double kDrawingTop = 16, kDrawingBottom = -14;

// The dice's labels stand on a circle about the centre, each a little to the left of and above its point.
constexpr double kLabelRadius = 12, kLabelLeft = 0.8, kLabelRise = 0.3;
// The highest any text of the drawing begins: the label of a die straight above the centre (with four or
// eight dice); the winning fractions stand lower. The caption over the surface ends above it.
constexpr double kHighestText = kLabelRadius + kLabelRise;

// Step 1: clears the surface, draws the spokes and die labels, places and shows the markers of the
// faces in use and hides all others.
void ZeichneGerüst(Form& form);
// Step 2: a curve from every face to the face of the next die at the position of the number of faces it
// beats, or to the centre; reads the marker positions of step 1.
void ZeichneBögen(Form& form);
// Step 3: the winning fractions in white boxes between neighbouring dice.
void ZeichneGewinnfelder(Form& form);
// The full redraw: step 1, sorting the faces, steps 2 and 3.
void ZeichneGraphik(Form& form);

// The marker of face f of die d, both counted from 1.
inline int markerIndex(int d, int f) {
  return 10 * d + f;
}

// A marker's width and height in the surface's units (positive), from its size in twips and the
// surface's current size.
double markerWidth(const Form& form);
double markerHeight(const Form& form);

// The surface changed its size, and with it a marker's size in the surface's units: moves every marker
// (and the value label below one) so that it stays centred on its face, as the last drawing placed it.
void keepMarkersCentred(Form& form, double oldMarkerWidth, double oldMarkerHeight);

}  // namespace varno
