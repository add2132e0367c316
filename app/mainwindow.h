// The window: shows the form's controls as Qt widgets and forwards the user's events to the form's
// handlers. It holds no state of its own that the logic reads.
#pragma once

#include <QMainWindow>
#include <cstdint>
#include <functional>
#include <unordered_map>
#include <vector>

#include "form/form.h"

namespace varno {

class Canvas;

class MainWindow : public QMainWindow {
 public:
  explicit MainWindow(Form& form, QWidget* parent = nullptr);

  // The start-up: places the controls for the screen, shows the dice and enables evaluation.
  void Form_Load();

  // Mirrors every control that changed since the last call onto its widget.
  void sync();
  // Runs a handler of the form for a user event, then mirrors what it changed.
  void run(const std::function<void()>& handler);

  // The widget that shows a control.
  QWidget* widget(const Control& control) const;
  Form& form() { return form_; }

  // The program's font: a sans serif with the narrow metrics the layout was designed for.
  static void setProgramFont();

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  struct Mirror {
    const Control* control;
    QWidget* widget;
    std::uint64_t revision;
  };

  QWidget* create(Control& control);
  void connect(Control& control, QWidget* widget);
  void apply(const Control& control, QWidget* widget);
  // The handlers of the buttons.
  void wireClicks();

  Form& form_;
  QWidget* central_;
  Canvas* canvas_ = nullptr;
  std::unordered_map<const Control*, std::function<void()>> clicks_;
  std::vector<Mirror> mirrors_;
  std::unordered_map<const Control*, QWidget*> widgets_;
  std::uint64_t synced_ = 0;
  bool syncing_ = false;
  bool laidOut_ = false;
};

}  // namespace varno
