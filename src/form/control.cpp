#include "form/control.h"

#include <algorithm>

namespace varno {

Control::Control(ControlKind kind, std::string name, Control* container, std::uint64_t* changes)
    : kind_(kind), name_(std::move(name)), container_(container), changes_(changes) {}

void Control::touched() {
  ++revision_;
  ++*changes_;
}

void Control::setText(std::string text) {
  if (text == text_) return;
  text_ = std::move(text);
  touched();
  if (onChange_) onChange_();
}

void Control::setValue(int value) {
  value = std::clamp(value, minimum_, maximum_);
  if (value == value_) return;
  value_ = value;
  touched();
  if (onChange_) onChange_();
}

void Control::setRange(int minimum, int maximum) {
  minimum_ = minimum;
  maximum_ = maximum;
  value_ = std::clamp(value_, minimum_, maximum_);
  touched();
}

void Control::setHorizontal(bool horizontal) {
  horizontal_ = horizontal;
  touched();
}

void Control::setVisible(bool visible) {
  if (visible == visible_) return;
  visible_ = visible;
  touched();
}

void Control::setEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  touched();
}

void Control::setLocked(bool locked) {
  if (locked == locked_) return;
  locked_ = locked;
  touched();
}

void Control::setTabStop(bool tabStop) {
  if (tabStop == tabStop_) return;
  tabStop_ = tabStop;
  touched();
}

void Control::setToolTip(std::string toolTip) {
  if (toolTip == toolTip_) return;
  toolTip_ = std::move(toolTip);
  touched();
}

void Control::setBackColor(Color color) {
  if (color == backColor_) return;
  backColor_ = color;
  touched();
}

void Control::setFontSize(double points) {
  if (points == fontSize_) return;
  fontSize_ = points;
  touched();
}

void Control::setGeometry(const Geometry& geometry) {
  geometry_ = geometry;
  touched();
}

void Control::move(double left, double top) {
  if (left == geometry_.left && top == geometry_.top) return;
  geometry_.left = left;
  geometry_.top = top;
  touched();
}

}  // namespace varno
