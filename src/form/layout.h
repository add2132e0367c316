// Where every control of the window stands: its designed position and size in twips, for a design
// screen of 12288 x 9216 twips, and how each value follows the actual screen. The form places its
// controls from this table, and LayoutAnpassen scales the same table for the screen: every horizontal
// design value is multiplied by xFaktor, every vertical one by yFaktor, and font sizes by the smaller of
// the two.
#pragma once

#include <vector>

#include "form/control.h"

namespace varno {

class Form;

constexpr double kDesignWidth = 12288;  // twips
constexpr double kDesignHeight = 9216;  // twips
// The drawing surface picAusgabe on the design screen, to which the graphic's font sizes belong.
constexpr double kSurfaceDesignWidth = 4900;   // twips
constexpr double kSurfaceDesignHeight = 5600;  // twips

// One coordinate as designed: a part that is scaled with the screen and a part that stays, so that the
// value on a screen is scaled * factor + fixed (the stop button's height is 456 fixed, the "X" key stands
// 320 fixed to the left of the scaled right edge of its box). A kept coordinate keeps its designed value
// whatever the screen.
struct DesignValue {
  double scaled = 0;
  double fixed = 0;
  bool kept = false;

  double design() const { return scaled + fixed; }
  double at(double factor) const { return scaled * factor + fixed; }
};

constexpr DesignValue scaled(double twips, double fixed = 0) {
  return {twips, fixed, false};
}
constexpr DesignValue fixed(double twips) {
  return {0, twips, false};
}
constexpr DesignValue kept(double twips) {
  return {0, twips, true};
}

struct Placement {
  Control* control;
  DesignValue left, top, width, height;  // left and width follow xFaktor, top and height yFaktor
  double fontSize = 0;                   // points on the design screen; 0 keeps the view's font
};

// Every designed control, containers before their contents, in the order LayoutAnpassen places them.
std::vector<Placement> designTable(Form& form);

struct LayoutFactors {
  double x, y, font;
};

// The factors for a screen (or window) of the given size in twips.
LayoutFactors layoutFactors(double widthTwips, double heightTwips);

// Places and sizes all controls for a screen of the given size in twips.
LayoutFactors LayoutAnpassen(Form& form, double widthTwips, double heightTwips);

}  // namespace varno
