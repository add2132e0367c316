// The pictures of the window, drawn rather than stored: the stop sign, the arrows of the labelling pad
// and the window icon.
#pragma once

#include <QIcon>
#include <QPixmap>

namespace varno {

// A red octagonal stop sign with the word STOP, `size` pixels high.
QPixmap stopSign(int size);

}  // namespace varno
