// The window: shows the form's controls as Qt widgets and menus and forwards the user's events to the
// form's handlers. It holds no state of its own that the logic reads.
#pragma once

#include <QMainWindow>
#include <QTimer>
#include <cstdint>
#include <functional>
#include <memory>
#include <unordered_map>
#include <vector>

#include "form/form.h"
#include "ringhistory.h"

namespace varno {

class Canvas;

class MainWindow : public QMainWindow {
 public:
  explicit MainWindow(Form& form, QWidget* parent = nullptr);

  // The start-up: seeds the random generator, places the controls for the screen, shows the dice,
  // sets up the graphic, runs one 3x3 Monte Carlo search and fills the screen with the window.
  void Form_Load(std::uint64_t seed = timeOfDaySeed());
  // The milliseconds since midnight.
  static std::uint64_t timeOfDaySeed();

  // When a user event may run while a search is busy with the ring.
  enum class Gate {
    Always,  // the stop button, the busy notice, information boxes, hovering, hiding the pad
    Idle,    // commands and every edit of the ring: not while a search runs or a labelling is being dealt
  };
  // Runs a handler of the form for a user event, unless its gate is closed, then mirrors what changed.
  // Returns whether it ran.
  bool run(const std::function<void()>& handler, Gate gate = Gate::Idle);
  // Mirrors every control that changed since the last call onto its widget.
  void sync();

  // The widget or menu action that shows a control.
  QObject* object(const Control& control) const;
  QWidget* widget(const Control& control) const;
  Form& form() { return form_; }

  // The program's font: a sans serif with the narrow metrics the layout was designed for.
  static void setProgramFont();

  // Opens a ring file named on the command line, as "laden" does; a ring loaded so is not greeted as the
  // one the start-up search found. A file that cannot be loaded gets the message of "laden", and the
  // window stays as it opened. The name is bytes, as the system gives it: not necessarily UTF-8.
  void openAtStart(const std::string& path);
  // Puts the ring given as text ("3 5 7 | 2 4 9 | 1 6 8") into the window, as "Ring einfügen" does.
  void ringAtStart(const QString& text);

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  // A ring file dropped onto the window is loaded as "laden" loads it.
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  struct Mirror {
    const Control* control;
    QObject* object;
    std::uint64_t revision;
  };
  struct Click {
    std::function<void()> handler;
    Gate gate;
  };

  void wireClicks();
  void wireKeys();
  void showMatrix();
  void showManual();
  void showSpectrum();
  bool hasItems(const Control& menu) const;
  QObject* create(Control& control);
  void connect(Control& control, QObject* object);
  void apply(const Control& control, QObject* object);

  Form& form_;
  QWidget* central_;
  Canvas* canvas_ = nullptr;
  class MatrixWindow* matrix_ = nullptr;
  class ManualWindow* manual_ = nullptr;
  class SpectrumWindow* spectrum_ = nullptr;
  std::unique_ptr<RingHistory> history_;
  QTimer* glide_ = nullptr;
  std::unique_ptr<Dialogs> dialogs_;
  std::vector<Mirror> mirrors_;
  std::unordered_map<const Control*, QObject*> objects_;
  std::unordered_map<const Control*, Click> clicks_;
  std::uint64_t synced_ = 0;
  bool syncing_ = false;
  bool laidOut_ = false;
  bool busyPointer_ = false;
};

}  // namespace varno
