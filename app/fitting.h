// Every text the window writes is shown whole. The layout is the designed one, scaled to the window;
// where a control of the designed fixed size would reach into its neighbour on a small window (a face
// into the next die's column or the next face's row, the stop button over the counters' texts), it is
// shown only as large as the room it has, and where a text is wider or higher than its control, the
// control's font is made smaller until it fits.
#pragma once

#include <QFont>
#include <QSize>
#include <QWidget>

namespace varno {

class Control;
class Form;

// The size in pixels a control is shown at: `designed`, or less where it would reach into its neighbour.
QSize shownSize(const Form& form, const Control& control, QSize designed);

// The font a widget shows its text in: `designed`, or the largest smaller one in which its text fits the
// widget as it stands.
QFont fittedFont(const QWidget* widget, const QFont& designed);

// Whether a widget's text fits it in `font`: line edits, labels, buttons and group boxes' titles.
bool textFits(const QWidget* widget, const QFont& font);

// The largest font up to `designed` in which `fits` holds, never smaller than 3 points.
template <typename Fits>
QFont largestFitting(const QFont& designed, Fits fits) {
  if (fits(designed) || designed.pointSizeF() <= 3) return designed;
  QFont font = designed;
  double low = 3, high = designed.pointSizeF();
  for (int step = 0; step < 8; ++step) {
    font.setPointSizeF((low + high) / 2);
    (fits(font) ? low : high) = font.pointSizeF();
  }
  font.setPointSizeF(low);
  return font;
}

}  // namespace varno
