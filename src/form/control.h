// One control of the window as the program's logic sees it: its name, its container, and the
// properties that the logic reads and writes. The Qt view mirrors these onto its widgets.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace varno {

enum class ControlKind {
  Menu,
  MenuItem,
  Frame,
  Label,
  TextBox,
  Button,
  ScrollBar,
  PictureBox,
  Image,
  ProgressBar
};

// Colours as red + 256 * green + 65536 * blue.
using Color = std::uint32_t;
constexpr Color rgb(unsigned red, unsigned green, unsigned blue) {
  return red + 256 * green + 65536 * blue;
}
constexpr Color kWhite = rgb(255, 255, 255);
constexpr Color kLightYellow = rgb(255, 255, 160);

// Position and size in twips, relative to the container; a negative width or height means "as designed
// by the view" (the view picks a size that fits the content).
struct Geometry {
  double left = 0, top = 0, width = -1, height = -1;
  // Left and top are in the container's user coordinates (the markers and the value label on the
  // drawing surface); the size stays in twips.
  bool user = false;
};

class Control {
 public:
  // `changes` counts every property change of every control of one window, so that a view can tell
  // cheaply whether anything needs mirroring at all.
  Control(ControlKind kind, std::string name, Control* container, std::uint64_t* changes);
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;
  Control(Control&&) = default;

  ControlKind kind() const { return kind_; }
  // The name that tests, tools and assistive technology find the control by: "txtAuge(10)", "Text1(0)".
  const std::string& name() const { return name_; }
  Control* container() const { return container_; }

  // Text of a text box, caption of a label, button, frame or menu, or the text printed into a
  // picture box.
  const std::string& text() const { return text_; }
  // Writing a different text runs the change handler inside the write; the same text runs nothing.
  void setText(std::string text);

  // Value of a scroll bar or progress bar, kept within its limits. A different value runs the change
  // handler.
  int value() const { return value_; }
  void setValue(int value);
  int minimum() const { return minimum_; }
  int maximum() const { return maximum_; }
  void setRange(int minimum, int maximum);
  bool horizontal() const { return horizontal_; }
  void setHorizontal(bool horizontal);

  bool visible() const { return visible_; }
  void setVisible(bool visible);
  bool enabled() const { return enabled_; }
  void setEnabled(bool enabled);
  // A locked text box cannot be typed into; it still takes clicks.
  bool locked() const { return locked_; }
  void setLocked(bool locked);
  bool tabStop() const { return tabStop_; }
  void setTabStop(bool tabStop);
  const std::string& toolTip() const { return toolTip_; }
  void setToolTip(std::string toolTip);
  Color backColor() const { return backColor_; }
  void setBackColor(Color color);
  // 0 means the view's default font.
  double fontSize() const { return fontSize_; }
  void setFontSize(double points);

  const Geometry& geometry() const { return geometry_; }
  void setGeometry(const Geometry& geometry);
  void move(double left, double top);

  // Runs inside setText or setValue when the text or value changes.
  void onChange(std::function<void()> handler) { onChange_ = std::move(handler); }

  // Advances on every property change; a view compares it with what it mirrored last.
  std::uint64_t revision() const { return revision_; }

 private:
  void touched();

  ControlKind kind_;
  std::string name_;
  Control* container_;
  std::uint64_t* changes_;
  std::string text_;
  int value_ = 0, minimum_ = 0, maximum_ = 0;
  bool horizontal_ = false;
  bool visible_ = true, enabled_ = true, locked_ = false, tabStop_ = true;
  std::string toolTip_;
  Color backColor_ = kWhite;
  double fontSize_ = 0;
  Geometry geometry_;
  std::function<void()> onChange_;
  std::uint64_t revision_ = 1;
};

}  // namespace varno
