#include "mainwindow.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMimeData>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QShortcut>
#include <QTime>
#include <QTimer>
#include <chrono>
#include <cmath>

#include "canvas.h"
#include "convert.h"
#include "fitting.h"
#include "form/layout.h"
#include "graphic/drawing.h"
#include "graphicexport.h"
#include "manualwindow.h"
#include "matrixwindow.h"
#include "pictures.h"
#include "printbox.h"
#include "qtdialogs.h"
#include "ring/dice.h"
#include "weakestlinkwindow.h"
#include "window/busy.h"
#include "window/commands.h"
#include "window/enumeration.h"
#include "window/examples.h"
#include "window/information.h"
#include "window/montecarlo.h"
#include "window/mouseedit.h"
#include "window/pad.h"
#include "window/ringfile.h"
#include "window/ringtext.h"
#include "window/startup.h"
#include "window/strongest.h"
#include "window/weakestlinks.h"
#include "window/wiring.h"

namespace varno {

namespace {

// A vertical scroll bar's thumb position for a value and back: its upper arrow (and the wheel turned up)
// lowers the position, and raises n and k.
int valueAt(const Control& bar, int position) {
  return bar.horizontal() ? position : bar.minimum() + bar.maximum() - position;
}

int pixels(double twips) {
  return static_cast<int>(std::lround(twips / kTwipsPerPixel));
}

// Yield to the event loop every 15 ms while a long operation runs.
constexpr auto kYieldInterval = std::chrono::milliseconds(15);
// The labelling pad moves one position of its glide every 5 ms: a few tenths of a second per axis.
constexpr auto kGlideInterval = std::chrono::milliseconds(5);

}  // namespace

MainWindow::MainWindow(Form& form, QWidget* parent) : QMainWindow(parent), form_(form) {
  setWindowTitle(QString::fromUtf8(kWindowCaption));
  setObjectName("frmVarno");
  central_ = new QWidget(this);
  central_->setObjectName("frmVarno.client");
  central_->setMouseTracking(true);
  central_->installEventFilter(this);
  setCentralWidget(central_);
  setAcceptDrops(true);
  // No larger than the screens can show: a larger window only costs memory and time to paint.
  setMaximumSize(screen()->virtualSize());
  dialogs_ = std::make_unique<QtDialogs>(this);
  form_.dialogs = dialogs_.get();
  form_.endProgram = [] { QCoreApplication::exit(0); };
  history_ = std::make_unique<RingHistory>(form_);
  form_.showSpectrum = [this] { showSpectrum(); };
  wireClicks();
  for (Control* control : form_.controls()) {
    QObject* object = create(*control);
    if (!object) continue;
    object->setObjectName(toQString(control->name()));
    objects_[control] = object;
    mirrors_.push_back({control, object, 0});
    connect(*control, object);
  }
  wireKeys();
  // The box behind the verdict lies under the labels beside it; the value label over the markers; the
  // busy notice and the stop button over the result frame.
  widget(form_.Picture1[0])->lower();
  widget(form_.txtBeschriftung)->raise();
  widget(form_.Text4)->raise();
  widget(form_.cmdStop)->raise();
  widget(form_.picEingabe)->raise();
  widget(form_.Command4)->raise();
  glide_ = new QTimer(this);
  glide_->setInterval(kGlideInterval);
  QObject::connect(glide_, &QTimer::timeout, this, [this] {
    if (!advanceGlide(form_)) glide_->stop();
    sync();
  });
  form_.DoEvents.setHook(
      [this] {
        sync();
        QApplication::processEvents();
      },
      kYieldInterval);
  sync();
}

void MainWindow::wireClicks() {
  auto on = [this](Control& control, Gate gate, std::function<void()> handler) {
    clicks_[&control] = {std::move(handler), gate};
  };
  // Only the search itself writes faces while it runs: the pad's keys wait for it like the commands.
  const Gate idle = Gate::Idle, edit = Gate::Idle, always = Gate::Always;
  on(form_.cmdSpeichern, idle, [this] { cmdSpeichern_Click(form_); });
  on(form_.cmdLaden, idle, [this] { cmdLaden_Click(form_); });
  on(form_.cmdBeenden, idle, [this] { cmdBeenden_Click(form_); });
  on(form_.cmdVarno, idle, [this] { cmdVarno_Click(form_); });
  on(form_.cmdMini, idle, [this] { cmdMini_Click(form_); });
  on(form_.cmdZyklisch, idle, [this] { cmdZyklisch_Click(form_); });
  on(form_.cmdMaxMin, idle, [this] { cmdMaxMin_Click(form_); });
  on(form_.cmdZufall, idle, [this] { cmdZufall_Click(form_); });
  on(form_.cmd3x3, idle, [this] { cmd3x3_Click(form_); });
  on(form_.cmd3x4, idle, [this] { cmd3x4_Click(form_); });
  on(form_.cmd3x5, idle, [this] { cmd3x5_Click(form_); });
  on(form_.cmd3x6, idle, [this] { cmd3x6_Click(form_); });
  on(form_.cmd4x3, idle, [this] { cmd4x3_Click(form_); });
  on(form_.cmd4x4, idle, [this] { cmd4x4_Click(form_); });
  on(form_.cmdInfoAlg, always, [this] { cmdInfoAlg_Click(form_); });
  on(form_.cmdBelzähl, idle, [this] { cmdBelzähl_Click(form_); });
  on(form_.cmdZZ, idle, [this] { cmdZZ_Click(form_); });
  on(form_.cmdInfoZähl, always, [this] { cmdInfoZähl_Click(form_); });
  on(form_.cmdInfo, always, [this] { cmdInfo_Click(form_); });
  on(form_.Command9, idle, [this] { Command9_Click(form_); });
  on(form_.cmdSpiegeln, idle, [this] { cmdSpiegeln_Click(form_); });
  on(form_.Command1, idle, [this] { Command1_Click(form_); });
  for (int d = 0; d < kDice; ++d) on(form_.cmdLösch[d], idle, [this, d] { cmdLösch_Click(form_, d); });
  for (int i = 0; i < 2; ++i) on(form_.cmdZeigen[i], idle, [this, i] { cmdZeigen_Click(form_, i); });
  for (int digit = 0; digit <= 9; ++digit)
    on(form_.cmdZahl[digit], edit, [this, digit] { cmdZahl_Click(form_, digit); });
  on(form_.Command3, edit, [this] { Command3_Click(form_); });
  on(form_.Command4, always, [this] { Command4_Click(form_); });
  on(form_.Command5, edit, [this] { Command5_Click(form_); });
  on(form_.Command6, edit, [this] { Command6_Click(form_); });
  on(form_.Command7, edit, [this] { Command7_Click(form_); });
  on(form_.Command8, edit, [this] { Command8_Click(form_); });
  on(form_.cmdStop, always, [this] { cmdStop_Click(form_); });
  on(form_.cmdMatrix, always, [this] { showMatrix(); });
  on(form_.cmdStrongest, idle, [this] { cmdStrongest_Click(form_); });
  on(form_.cmdSpectrum, idle, [this] { cmdSpectrum_Click(form_); });
  on(form_.cmdExport, always, [this] { exportGraphic(form_, *canvas_); });
  on(form_.cmdPrint, always, [this] { printGraphic(form_, *canvas_); });
  on(form_.cmdCopy, always,
     [this] { QGuiApplication::clipboard()->setText(QString::fromStdString(ringText(form_))); });
  on(form_.cmdUndo, idle, [this] { history_->undo(); });
  on(form_.cmdRedo, idle, [this] { history_->redo(); });
  on(form_.cmdHelp, always, [this] { showManual(); });
  // A clipboard larger than any ring is refused without converting all of it.
  on(form_.cmdPaste, idle, [this] {
    const QString text = QGuiApplication::clipboard()->text();
    pasteRing(form_, text.left(static_cast<qsizetype>(kLongestRingText) + 1).toStdString());
  });
}

void MainWindow::wireKeys() {
  // The menu items' keys are their shortcuts, shown in the menus as the desktop writes them ("Strg+S");
  // choosing an item by its key runs it as choosing it in its menu does.
  const std::pair<const Control*, QList<QKeySequence>> items[] = {
      {&form_.cmdSpeichern, {QKeySequence("Ctrl+S")}},
      {&form_.cmdLaden, {QKeySequence("Ctrl+O")}},
      {&form_.cmdBeenden, {QKeySequence("Ctrl+Q")}},
      {&form_.cmdPrint, {QKeySequence("Ctrl+P")}},
      {&form_.cmdCopy, {QKeySequence("Ctrl+C")}},
      {&form_.cmdPaste, {QKeySequence("Ctrl+V")}},
      {&form_.cmdUndo, {QKeySequence("Ctrl+Z")}},
      {&form_.cmdRedo, {QKeySequence("Ctrl+Shift+Z"), QKeySequence("Ctrl+Y")}},
      {&form_.cmdHelp, {QKeySequence(Qt::Key_F1)}},
  };
  for (const auto& [control, keys] : items) qobject_cast<QAction*>(object(*control))->setShortcuts(keys);
  // The pad's keys do what its buttons do, with the same gate, and only while the pad is shown.
  auto key = [this](const QKeySequence& sequence, Control& control) {
    auto* shortcut = new QShortcut(sequence, this);
    shortcut->setContext(Qt::WindowShortcut);
    QObject::connect(shortcut, &QShortcut::activated, this, [this, &control] {
      if (!form_.picEingabe.visible()) return;
      const Click& click = clicks_.at(&control);
      if (control.enabled() && (!control.container() || control.container()->enabled()))
        run(click.handler, click.gate);
    });
  };
  for (int digit = 0; digit <= 9; ++digit) key(QKeySequence(Qt::Key_0 + digit), form_.cmdZahl[digit]);
  key(QKeySequence(Qt::Key_Backspace), form_.Command3);
  key(QKeySequence(Qt::Key_Escape), form_.Command4);
  key(QKeySequence(Qt::Key_Down), form_.Command5);
  key(QKeySequence(Qt::Key_Up), form_.Command6);
  key(QKeySequence(Qt::Key_Right), form_.Command7);
  key(QKeySequence(Qt::Key_Left), form_.Command8);
}

void MainWindow::showManual() {
  if (!manual_) manual_ = new ManualWindow(this);
  manual_->show();
  manual_->raise();
}

void MainWindow::showMatrix() {
  const bool first = !matrix_;
  if (first) {
    matrix_ = new MatrixWindow(form_, this);
    matrix_->refresh();
  }
  matrix_->show();
  // Beside the main window, at its right edge.
  if (first) matrix_->placeNear(geometry().topRight() + QPoint(-24, 96));
  matrix_->raise();
}

void MainWindow::showSpectrum() {
  const bool first = !spectrum_;
  if (first) spectrum_ = new SpectrumWindow(form_, this);
  spectrum_->refresh();
  spectrum_->show();
  if (first) spectrum_->placeNear(geometry().topRight() + QPoint(-24, 96));
  spectrum_->raise();
}

bool MainWindow::hasItems(const Control& menu) const {
  for (const Control* item : form_.controls())
    if (item->container() == &menu) return true;
  return false;
}

QObject* MainWindow::object(const Control& control) const {
  auto found = objects_.find(&control);
  return found == objects_.end() ? nullptr : found->second;
}

QWidget* MainWindow::widget(const Control& control) const {
  return qobject_cast<QWidget*>(object(control));
}

QObject* MainWindow::create(Control& control) {
  QWidget* parent = control.container() ? widget(*control.container()) : central_;
  switch (control.kind()) {
    case ControlKind::Menu:
      if (hasItems(control)) return menuBar()->addMenu(toQString(control.text()));
      return menuBar()->addAction(toQString(control.text()));
    case ControlKind::MenuItem:
      return qobject_cast<QMenu*>(object(*control.container()))->addAction(toQString(control.text()));
    case ControlKind::Image:
      return new Marker(parent);
    case ControlKind::ProgressBar: {
      auto* bar = new QProgressBar(parent);
      bar->setTextVisible(true);
      return bar;
    }
    case ControlKind::Frame: {
      auto* frame = new QGroupBox(parent);
      frame->installEventFilter(this);
      if (&control == &form_.frame1) frame->setMouseTracking(true);
      return frame;
    }
    case ControlKind::Label: {
      auto* label = new QLabel(parent);
      label->setWordWrap(true);
      label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
      return label;
    }
    case ControlKind::TextBox: {
      auto* field = new QLineEdit(parent);
      // None of the fields can be edited by hand: no toolkit menu to copy or select in them.
      field->setContextMenuPolicy(Qt::NoContextMenu);
      if (&control == &form_.Text4) {
        field->setStyleSheet("QLineEdit { color: white; background: red; font-weight: bold; }");
        field->setAlignment(Qt::AlignCenter);
      }
      field->installEventFilter(this);
      return field;
    }
    case ControlKind::Button: {
      auto* button = new QPushButton(parent);
      button->setFocusPolicy(Qt::NoFocus);
      if (&control == &form_.cmdStop) {
        button->setIcon(QIcon(stopSign(64)));
        button->setCursor(Qt::ArrowCursor);
      }
      const std::pair<const Control*, QPixmap> pictures[] = {{&form_.Command3, backArrow(20)},
                                                             {&form_.Command5, arrow(16, 90)},    // down
                                                             {&form_.Command6, arrow(16, 270)},   // up
                                                             {&form_.Command7, arrow(16, 0)},     // right
                                                             {&form_.Command8, arrow(16, 180)}};  // left
      for (const auto& [owner, picture] : pictures) {
        if (owner != &control) continue;
        button->setIcon(QIcon(picture));
        button->setIconSize(picture.deviceIndependentSize().toSize());
      }
      if (control.container() == &form_.picEingabeinnen)
        button->setStyleSheet(&control == &form_.cmdZeigen[1]
                                  ? "QPushButton { color: rgb(255, 0, 0); font-weight: bold; }"
                                  : "QPushButton { background: white; border: 1px solid gray; }");
      return button;
    }
    case ControlKind::ScrollBar: {
      auto* bar = new QScrollBar(control.horizontal() ? Qt::Horizontal : Qt::Vertical, parent);
      // n and k change by one for every click, on an arrow or on the bar, and every notch of the wheel.
      if (!control.horizontal()) bar->setPageStep(1);
      return bar;
    }
    case ControlKind::PictureBox: {
      if (control.container() == &form_.Frame3) {
        auto* box = new PrintBox(parent);
        if (&control == &form_.Picture1[0]) {
          box->setFrameStyle(QFrame::NoFrame);
          box->setAutoFillBackground(false);
        }
        return box;
      }
      if (&control == &form_.picAusgabe) return canvas_ = new Canvas(form_.ausgabe, parent);
      auto* box = new QFrame(parent);
      box->setAutoFillBackground(true);
      return box;
    }
  }
  return nullptr;
}

void MainWindow::connect(Control& control, QObject* object) {
  if (auto* bar = qobject_cast<QScrollBar*>(object)) {
    QObject::connect(bar, &QScrollBar::valueChanged, this, [this, &control, bar](int position) {
      if (syncing_) return;
      const int value = valueAt(control, position);
      const bool ran = run([this, &control, bar, value] {
        control.setValue(value);
        for (int i = 0; i < 2; ++i)
          if (&control == &form_.VScroll1[i] && bar->isSliderDown()) VScroll1_Scroll(form_, i);
      });
      if (!ran) {
        const QSignalBlocker quiet(bar);
        bar->setValue(valueAt(control, control.value()));
      }
    });
  } else if (auto* button = qobject_cast<QPushButton*>(object)) {
    QObject::connect(button, &QPushButton::clicked, this, [this, &control] {
      auto click = clicks_.find(&control);
      if (click != clicks_.end()) run(click->second.handler, click->second.gate);
    });
  } else if (auto* action = qobject_cast<QAction*>(object)) {
    QObject::connect(action, &QAction::triggered, this, [this, &control] {
      // Also when chosen by its key: only where the item could be chosen in its menu.
      auto click = clicks_.find(&control);
      if (click != clicks_.end() && control.enabled() &&
          (!control.container() || control.container()->enabled()))
        run(click->second.handler, click->second.gate);
    });
  } else if (auto* marker = dynamic_cast<Marker*>(object)) {
    const int index = static_cast<int>(&control - form_.shpkreis.data());
    marker->onMouseDown = [this, index](int button) {
      run([this, index, button] { shpkreis_MouseDown(form_, index, button); }, Gate::Idle);
    };
    marker->onMouseMove = [this, index] {
      run([this, index] { shpkreis_MouseMove(form_, index); }, Gate::Always);
    };
  } else if (object == canvas_) {
    canvas_->onMouseMove = [this] { run([this] { picAusgabe_MouseMove(form_); }, Gate::Always); };
  }
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseMove) {
    // Only a movement over the bare background of the window or of the ring table's box counts.
    auto* area = qobject_cast<QWidget*>(watched);
    const QPoint at = static_cast<QMouseEvent*>(event)->position().toPoint();
    if (area == central_ && !central_->childAt(at)) run([this] { Form_MouseMove(form_); }, Gate::Always);
    if (area == object(form_.frame1) && !area->childAt(at))
      run([this] { frame1_MouseMove(form_); }, Gate::Always);
    return QMainWindow::eventFilter(watched, event);
  }
  if (event->type() == QEvent::MouseButtonDblClick && watched != object(form_.Text4)) return true;
  if (event->type() != QEvent::MouseButtonPress) return QMainWindow::eventFilter(watched, event);
  // A disabled field or frame takes no clicks (the toolkit shows them to the filter all the same), and
  // only the left button selects a face.
  auto* pressed = qobject_cast<QWidget*>(watched);
  if (pressed && !pressed->isEnabled()) return true;
  if (static_cast<QMouseEvent*>(event)->button() != Qt::LeftButton) return true;
  if (watched == object(form_.Text4)) {
    run([this] { Text4_Click(form_); }, Gate::Always);
    return true;
  }
  for (int i = 0; i < kDice * kFaces; ++i) {
    if (watched == object(form_.txtAuge[i])) {
      run([this, i] { txtAuge_Click(form_, i); }, Gate::Idle);
      return true;
    }
  }
  for (int d = 0; d < kDice; ++d) {
    if (watched == object(form_.frmWürfel[d])) {
      run([this, d] { frmWürfel_Click(form_, d); }, Gate::Idle);
      return true;
    }
  }
  return QMainWindow::eventFilter(watched, event);
}

bool MainWindow::run(const std::function<void()>& handler, Gate gate) {
  // A random labelling that is being dealt counts on the faces it has not filled yet, and a running
  // search owns the ring: input that would interleave with them is ignored until they are done.
  const bool closed = gate == Gate::Idle && (form_.dealing || form_.searchRunning);
  if (!closed) {
    const RingHistory::Event event(*history_);
    handler();
  }
  sync();
  return !closed;
}

void MainWindow::sync() {
  history_->refresh();
  if (busyPointer_ != form_.busyPointer) {
    busyPointer_ = form_.busyPointer;
    if (busyPointer_) {
      central_->setCursor(Qt::BusyCursor);
    } else {
      central_->unsetCursor();
    }
  }
  if (synced_ != form_.changes()) {
    syncing_ = true;
    for (Mirror& mirror : mirrors_) {
      if (mirror.revision == mirror.control->revision()) continue;
      apply(*mirror.control, mirror.object);
      mirror.revision = mirror.control->revision();
    }
    synced_ = form_.changes();
    syncing_ = false;
  }
  canvas_->refresh();
  if (matrix_ && matrix_->isVisible()) matrix_->refresh();
  if (spectrum_ && spectrum_->isVisible()) spectrum_->refresh();
  if (gliding(form_) && !glide_->isActive()) glide_->start();
}

void MainWindow::apply(const Control& control, QObject* object) {
  const QString text = toQString(control.text());
  if (auto* action = qobject_cast<QAction*>(object)) {
    action->setText(text);
    action->setEnabled(control.enabled());
    action->setVisible(control.visible());
    return;
  }
  if (auto* menu = qobject_cast<QMenu*>(object)) {
    menu->setTitle(text);
    menu->menuAction()->setEnabled(control.enabled());
    menu->menuAction()->setVisible(control.visible());
    return;
  }
  auto* widget = static_cast<QWidget*>(object);
  if (auto* field = qobject_cast<QLineEdit*>(widget)) {
    if (field->text() != text) {
      field->setText(text);
      field->setCursorPosition(0);
    }
    field->setReadOnly(control.locked());
    // Fields that cannot be typed into take no keyboard focus.
    field->setFocusPolicy(control.locked()    ? Qt::NoFocus
                          : control.tabStop() ? Qt::StrongFocus
                                              : Qt::ClickFocus);
    if (&control != &form_.Text4) {
      QPalette colours = field->palette();
      colours.setColor(QPalette::Base, toQColor(control.backColor()));
      field->setPalette(colours);
    }
  } else if (auto* label = qobject_cast<QLabel*>(widget)) {
    label->setText(text);
  } else if (auto* button = qobject_cast<QPushButton*>(widget)) {
    button->setText(text);
    // The stop sign fills the height of its button.
    if (&control == &form_.cmdStop) {
      const int side = std::max(12, pixels(control.geometry().height) - 6);
      button->setIconSize(QSize(side, side));
    }
  } else if (auto* frame = qobject_cast<QGroupBox*>(widget)) {
    frame->setTitle(text);
  } else if (auto* bar = qobject_cast<QScrollBar*>(widget)) {
    bar->setRange(control.minimum(), control.maximum());
    bar->setValue(valueAt(control, control.value()));
  } else if (auto* progress = qobject_cast<QProgressBar*>(widget)) {
    progress->setRange(control.minimum(), control.maximum());
    progress->setValue(control.value());
  } else if (auto* box = dynamic_cast<PrintBox*>(widget)) {
    box->setPrinted(text);
  } else if (auto* box = qobject_cast<QFrame*>(widget); box && box != canvas_) {
    QPalette colours = box->palette();
    colours.setColor(QPalette::Window, toQColor(control.backColor()));
    box->setPalette(colours);
  }
  widget->setToolTip(toQString(control.toolTip()));
  widget->setEnabled(control.enabled());
  // Every control has its own font size, as designed or as scaled; none inherits its container's.
  QFont font = QApplication::font();
  font.setPointSizeF(control.fontSize() > 0 ? control.fontSize() : QApplication::font().pointSizeF());
  if (widget->font() != font || !widget->testAttribute(Qt::WA_SetFont)) widget->setFont(font);
  const Geometry& g = control.geometry();
  const QSize hint = widget->sizeHint();
  const QSize size = shownSize(
      form_, control,
      QSize(g.width >= 0 ? pixels(g.width) : hint.width(), g.height >= 0 ? pixels(g.height) : hint.height()));
  if (g.user) {
    widget->resize(size);
    canvas_->placeAt(widget, QPointF(g.left, g.top));
  } else {
    widget->setGeometry(QRect(QPoint(pixels(g.left), pixels(g.top)), size));
  }
  // A text too large for its control at its font is shown smaller.
  if (!textFits(widget, font)) widget->setFont(fittedFont(widget, font));
  widget->setVisible(control.visible());
}

std::uint64_t MainWindow::timeOfDaySeed() {
  return QTime::currentTime().msecsSinceStartOfDay();
}

void MainWindow::Form_Load(std::uint64_t seed) {
  const QRect screen = this->screen()->geometry();
  varno::Form_Load(form_, seed, screen.width() * kTwipsPerPixel, screen.height() * kTwipsPerPixel, [this] {
    laidOut_ = true;
    // The whole screen as the desktop leaves it to windows: maximized, at its top-left corner.
    setGeometry(this->screen()->availableGeometry());
    setWindowState(windowState() | Qt::WindowMaximized);
  });
  sync();
}

void MainWindow::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  if (!laidOut_ || width() < 100 || height() < 100) return;
  // Scaled like the screen at start-up: the window's outer size stands for the screen, but never more
  // than all screens together can show.
  const QSize largest = screen()->virtualSize();
  const QRect outer = frameGeometry();
  const double markerWidthBefore = markerWidth(form_), markerHeightBefore = markerHeight(form_);
  LayoutAnpassen(form_, std::min(outer.width(), largest.width()) * kTwipsPerPixel,
                 std::min(outer.height(), largest.height()) * kTwipsPerPixel);
  keepMarkersCentred(form_, markerWidthBefore, markerHeightBefore);
  // Once a face was selected, the pad stays over its die.
  if (form_.Feldnummer) settlePad(form_);
  sync();
}

void MainWindow::ringAtStart(const QString& text) {
  run([this, &text] {
    if (pasteRing(form_, text.toStdString(), RingSource::CommandLine)) form_.Begrüßung = false;
  });
  history_->clear();
}

void MainWindow::openAtStart(const std::string& path) {
  run([this, &path] {
    if (loadRingFile(form_, path)) form_.Begrüßung = false;
  });
  history_->clear();
}

namespace {

// The name of the one local file a drag carries, as bytes, or nothing. The URL holds a name that is not
// UTF-8 percent-encoded ("lat%E4.vrf"), which toLocalFile() would turn into U+FFFD.
std::string droppedFile(const QMimeData* data) {
  if (!data->hasUrls() || data->urls().size() != 1 || !data->urls().front().isLocalFile()) return {};
  return QByteArray::fromPercentEncoding(data->urls().front().path(QUrl::FullyEncoded).toLatin1())
      .toStdString();
}

}  // namespace

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
  const bool idle = !form_.dealing && !form_.searchRunning;
  if (idle && droppedFile(event->mimeData()).ends_with(".vrf")) event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event) {
  const std::string file = droppedFile(event->mimeData());
  if (file.empty()) return;
  event->acceptProposedAction();
  run([this, &file] { loadRingFile(form_, file); });
}

void MainWindow::closeEvent(QCloseEvent* event) {
  // A search still running ends after its current step.
  form_.Abbruch = true;
  QMainWindow::closeEvent(event);
}

void MainWindow::setProgramFont() {
  QFont font = QApplication::font();
  font.setFamilies({"Liberation Sans", "Arial", "Nimbus Sans", "Helvetica"});
  font.setPointSizeF(8.25);
  QApplication::setFont(font);
}

}  // namespace varno
