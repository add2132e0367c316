// The pictures of the window, drawn rather than stored: the stop sign, the arrows of the labelling pad
// and the window icon.
#pragma once

#include <QIcon>
#include <QImage>
#include <QPixmap>

namespace varno {

// A red octagonal stop sign with the word STOP, `size` pixels high.
QPixmap stopSign(int size);

// A straight black arrow pointing in `degrees` (0 right, 90 down, 180 left, 270 up), `size` pixels.
QPixmap arrow(int size, int degrees);
// A curved arrow pointing back, for undoing the last digit.
QPixmap backArrow(int size);

// The program's icon, a yellow sun on black: the pixel art of app/icons at 16 and 32 pixels, drawn
// larger sizes.
QImage sunImage(int size);
QIcon windowIcon();

}  // namespace varno
