// Editing faces with the mouse on the ring graphic: the left button raises a face by 1, any other button
// lowers it by 1 (not below 0); resting on a marker shows the face's text just below it.
#pragma once

namespace varno {

class Form;

enum MouseButton { kLeftButton = 1, kRightButton = 2, kMiddleButton = 4 };

// The face field index (8 * die + face, from 0) of a marker index (10 * die + face, from 1).
int markerField(int marker);

// A mouse button went down on a marker.
void shpkreis_MouseDown(Form& form, int marker, int button);
// The mouse moved over a marker.
void shpkreis_MouseMove(Form& form, int marker);
// The mouse moved over the bare drawing surface.
void picAusgabe_MouseMove(Form& form);

}  // namespace varno
