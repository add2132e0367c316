// What is drawn on a picture box, kept as a list of primitives in the box's user coordinates.
// Drawing appends to the list, erasing empties it; the view paints the list with one transform.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "form/control.h"

namespace varno {

struct Primitive {
  enum class Kind { Line, Box, Text };
  Kind kind;
  double x1, y1, x2, y2;  // Line: from (x1, y1) to (x2, y2); Box: two corners; Text: top-left (x1, y1)
  Color color;
  int penWidth;     // Line: pen width in pixels
  double fontSize;  // Text: points, 0 for the surface's initial font
  std::string text;
};

class Surface {
 public:
  // The user coordinates: the values of the left, top, right and bottom edges (axes may run backwards).
  void setScale(double left, double top, double right, double bottom);
  double scaleLeft() const { return left_; }
  double scaleTop() const { return top_; }
  double scaleRight() const { return right_; }
  double scaleBottom() const { return bottom_; }

  Color foreColor = 0;
  int drawWidth = 1;
  double fontSize = 0;
  double currentX = 0, currentY = 0;

  // Erases everything and moves the current point to the top-left corner.
  void Cls();
  // A line in the foreground colour and pen width; the current point moves to its end.
  void Line(double x1, double y1, double x2, double y2);
  // A box filled with `color`.
  void Box(double x1, double y1, double x2, double y2, Color color);
  // A text in the foreground colour and font size, its top-left corner at the current point.
  void Print(const std::string& text);

  const std::vector<Primitive>& primitives() const { return primitives_; }
  // Advances on every change of the drawing.
  std::uint64_t revision() const { return revision_; }

 private:
  double left_ = 0, top_ = 0, right_ = 1, bottom_ = 1;
  std::vector<Primitive> primitives_;
  std::uint64_t revision_ = 1;
};

}  // namespace varno
