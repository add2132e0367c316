// Placing and sizing the controls for the screen: the window is designed for a screen of 12288 x 9216
// twips; every horizontal design value is multiplied by xFaktor, every vertical one by yFaktor, and
// font sizes by the smaller of the two.
#pragma once

namespace varno {

class Form;

constexpr double kDesignWidth = 12288;  // twips
constexpr double kDesignHeight = 9216;  // twips
constexpr double kTwipsPerPixel = 15;   // 1440 twips per inch at 96 logical pixels per inch

struct LayoutFactors {
  double x, y, font;
};

// The factors for a screen (or window) of the given size in twips.
LayoutFactors layoutFactors(double widthTwips, double heightTwips);

// Places and sizes all controls for a screen of the given size in twips.
LayoutFactors LayoutAnpassen(Form& form, double widthTwips, double heightTwips);

}  // namespace varno
