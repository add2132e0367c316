#include "mainwindow.h"

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <cmath>

#include "canvas.h"
#include "graphic/drawing.h"
#include "graphic/mouseedit.h"
#include "layout.h"
#include "printbox.h"
#include "ring/dice.h"

namespace varno {

namespace {

QString qt(const std::string& text) {
  return QString::fromStdString(text);
}

int pixels(double twips) {
  return static_cast<int>(std::lround(twips / kTwipsPerPixel));
}

QColor colour(Color value) {
  return QColor(value & 0xff, (value >> 8) & 0xff, (value >> 16) & 0xff);
}

}  // namespace

MainWindow::MainWindow(Form& form, QWidget* parent) : QMainWindow(parent), form_(form) {
  setWindowTitle(QString::fromUtf8(kWindowCaption));
  setObjectName("frmVarno");
  central_ = new QWidget(this);
  central_->setObjectName("frmVarno.client");
  setCentralWidget(central_);
  wireClicks();
  for (Control* control : form_.controls()) {
    QWidget* widget = create(*control);
    if (!widget) continue;
    widget->setObjectName(qt(control->name()));
    widgets_[control] = widget;
    mirrors_.push_back({control, widget, 0});
    connect(*control, widget);
  }
  // The box behind the verdict lies under the labels beside it; the value label over the markers.
  widget(form_.Picture1[0])->lower();
  widget(form_.txtBeschriftung)->raise();
  sync();
}

QWidget* MainWindow::widget(const Control& control) const {
  auto found = widgets_.find(&control);
  return found == widgets_.end() ? nullptr : found->second;
}

QWidget* MainWindow::create(Control& control) {
  QWidget* parent = control.container() ? widget(*control.container()) : central_;
  switch (control.kind()) {
    case ControlKind::Menu:
    case ControlKind::MenuItem:
      return nullptr;
    case ControlKind::Image:
      return new Marker(parent);
    case ControlKind::Frame:
      return new QGroupBox(parent);
    case ControlKind::Label: {
      auto* label = new QLabel(parent);
      label->setWordWrap(true);
      label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
      return label;
    }
    case ControlKind::TextBox: {
      auto* field = new QLineEdit(parent);
      if (&control == &form_.Text4) {
        field->setStyleSheet("QLineEdit { color: white; background: red; font-weight: bold; }");
        field->setAlignment(Qt::AlignCenter);
      }
      return field;
    }
    case ControlKind::Button:
      return new QPushButton(parent);
    case ControlKind::ScrollBar: {
      auto* bar = new QScrollBar(control.horizontal() ? Qt::Horizontal : Qt::Vertical, parent);
      // The upper arrow raises n and k.
      if (!control.horizontal()) bar->setInvertedAppearance(true);
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

void MainWindow::connect(Control& control, QWidget* widget) {
  if (auto* bar = qobject_cast<QScrollBar*>(widget)) {
    QObject::connect(bar, &QScrollBar::valueChanged, this, [this, &control, bar](int value) {
      if (syncing_) return;
      run([this, &control, bar, value] {
        control.setValue(value);
        for (int i = 0; i < 2; ++i)
          if (&control == &form_.VScroll1[i] && bar->isSliderDown()) VScroll1_Scroll(form_, i);
      });
    });
  } else if (auto* button = qobject_cast<QPushButton*>(widget)) {
    QObject::connect(button, &QPushButton::clicked, this, [this, &control] {
      auto handler = clicks_.find(&control);
      if (handler != clicks_.end()) run(handler->second);
    });
  } else if (auto* marker = dynamic_cast<Marker*>(widget)) {
    const int index = static_cast<int>(&control - form_.shpkreis.data());
    marker->onMouseDown = [this, index](int button) {
      run([this, index, button] { shpkreis_MouseDown(form_, index, button); });
    };
    marker->onMouseMove = [this, index] { run([this, index] { shpkreis_MouseMove(form_, index); }); };
  } else if (widget == canvas_) {
    canvas_->onMouseMove = [this] { run([this] { picAusgabe_MouseMove(form_); }); };
  }
}

void MainWindow::wireClicks() {
  for (int i = 0; i < 2; ++i) clicks_[&form_.cmdZeigen[i]] = [this, i] { cmdZeigen_Click(form_, i); };
}

void MainWindow::run(const std::function<void()>& handler) {
  handler();
  sync();
}

void MainWindow::sync() {
  if (synced_ == form_.changes()) return canvas_->refresh();
  syncing_ = true;
  for (Mirror& mirror : mirrors_) {
    if (mirror.revision == mirror.control->revision()) continue;
    apply(*mirror.control, mirror.widget);
    mirror.revision = mirror.control->revision();
  }
  synced_ = form_.changes();
  syncing_ = false;
  canvas_->refresh();
}

void MainWindow::apply(const Control& control, QWidget* widget) {
  const QString text = qt(control.text());
  if (auto* field = qobject_cast<QLineEdit*>(widget)) {
    if (field->text() != text) {
      field->setText(text);
      field->setCursorPosition(0);
    }
    field->setReadOnly(control.locked());
    field->setFocusPolicy(control.tabStop() ? Qt::StrongFocus : Qt::ClickFocus);
    if (&control != &form_.Text4) {
      QPalette colours = field->palette();
      colours.setColor(QPalette::Base, colour(control.backColor()));
      field->setPalette(colours);
    }
  } else if (auto* label = qobject_cast<QLabel*>(widget)) {
    label->setText(text);
  } else if (auto* button = qobject_cast<QPushButton*>(widget)) {
    button->setText(text);
  } else if (auto* frame = qobject_cast<QGroupBox*>(widget)) {
    frame->setTitle(text);
  } else if (auto* bar = qobject_cast<QScrollBar*>(widget)) {
    bar->setRange(control.minimum(), control.maximum());
    bar->setValue(control.value());
  } else if (auto* box = dynamic_cast<PrintBox*>(widget)) {
    box->setPrinted(text);
  } else if (auto* box = qobject_cast<QFrame*>(widget)) {
    QPalette colours = box->palette();
    colours.setColor(QPalette::Window, colour(control.backColor()));
    box->setPalette(colours);
  }
  widget->setToolTip(qt(control.toolTip()));
  widget->setEnabled(control.enabled());
  // Every control has its own font size, as designed or as scaled; none inherits its container's.
  QFont font = QApplication::font();
  font.setPointSizeF(control.fontSize() > 0 ? control.fontSize() : QApplication::font().pointSizeF());
  if (widget->font() != font || !widget->testAttribute(Qt::WA_SetFont)) widget->setFont(font);
  const Geometry& g = control.geometry();
  const QSize hint = widget->sizeHint();
  const QSize size(g.width >= 0 ? pixels(g.width) : hint.width(),
                   g.height >= 0 ? pixels(g.height) : hint.height());
  if (g.user) {
    widget->resize(size);
    canvas_->placeAt(widget, QPointF(g.left, g.top));
  } else {
    widget->setGeometry(QRect(QPoint(pixels(g.left), pixels(g.top)), size));
  }
  widget->setVisible(control.visible());
}

void MainWindow::Form_Load() {
  for (Control& field : form_.txtAuge) {
    field.setLocked(true);
    field.setTabStop(false);
    field.setToolTip("Zum Beschriften anklicken");
  }
  const QRect screen = this->screen()->geometry();
  LayoutAnpassen(form_, screen.width() * kTwipsPerPixel, screen.height() * kTwipsPerPixel);
  WürfelZeigen(form_);
  form_.Freigabe = true;
  GraphikEinrichten(form_);
  laidOut_ = true;
  setGeometry(screen);
  sync();
}

void MainWindow::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  if (!laidOut_ || width() < 100 || height() < 100) return;
  // Scaled like the screen at start-up: the window's outer size stands for the screen.
  const QRect outer = frameGeometry();
  LayoutAnpassen(form_, outer.width() * kTwipsPerPixel, outer.height() * kTwipsPerPixel);
  sync();
}

void MainWindow::setProgramFont() {
  QFont font = QApplication::font();
  font.setFamilies({"Liberation Sans", "Arial", "Nimbus Sans", "Helvetica"});
  font.setPointSizeF(8.25);
  QApplication::setFont(font);
}

}  // namespace varno
