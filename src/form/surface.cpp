#include "form/surface.h"

namespace varno {

void Surface::setScale(double left, double top, double right, double bottom) {
  left_ = left;
  top_ = top;
  right_ = right;
  bottom_ = bottom;
  ++revision_;
}

void Surface::Cls() {
  primitives_.clear();
  currentX = left_;
  currentY = top_;
  ++revision_;
}

void Surface::Line(double x1, double y1, double x2, double y2) {
  primitives_.push_back({Primitive::Kind::Line, x1, y1, x2, y2, foreColor, drawWidth, 0, {}});
  currentX = x2;
  currentY = y2;
  ++revision_;
}

void Surface::Box(double x1, double y1, double x2, double y2, Color color) {
  primitives_.push_back({Primitive::Kind::Box, x1, y1, x2, y2, color, 1, 0, {}});
  ++revision_;
}

void Surface::Print(const std::string& text) {
  primitives_.push_back(
      {Primitive::Kind::Text, currentX, currentY, currentX, currentY, foreColor, drawWidth, fontSize, text});
  ++revision_;
}

}  // namespace varno
