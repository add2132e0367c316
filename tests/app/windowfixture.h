// A started window and ways to find its parts by their names, as tests and assistive technology do.
#pragma once

#include <gtest/gtest.h>
#include <QAbstractButton>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollBar>

#include <string>
#include "form/form.h"
#include "mainwindow.h"
#include "printbox.h"
#include "ring/dice.h"
#include "window/frmvarno.h"

#include "ring/ring.h"
#include "support/scripteddialogs.h"

// Readable failure messages for Qt strings.
inline void PrintTo(const QString& text, std::ostream* out) {
  *out << '"' << text.toStdString() << '"';
}

namespace varno {

class WindowTest : public ::testing::Test {
 protected:
  WindowTest() : window(form) {
    form.dialogs = &dialogs;
    window.Form_Load(7);
    window.show();
    QApplication::processEvents();
  }

  // Sets n and k as the searches, examples and files do: text and scroll bar.
  void setSize(int n, int k) {
    window.run([&] { varno::setRingSize(form, n, k); });
  }

  // Writes the dice (3, 5, 7), (2, 4, 9), (1, 6, 8), a ring of three dice with three faces.
  void writeMinimalRing() {
    window.run([&] {
      const char* dice[3][3] = {{"3", "5", "7"}, {"2", "4", "9"}, {"1", "6", "8"}};
      for (int d = 0; d < 3; ++d)
        for (int f = 0; f < 3; ++f) face(form, d, f).setText(dice[d][f]);
    });
  }

  // Empties all faces, as the model's writers do.
  void clearFaces() {
    window.run([&] {
      for (Control& field : form.txtAuge) field.setText("");
    });
  }

  template <typename T = QWidget>
  T* find(const char* name) {
    T* found = window.findChild<T*>(QString::fromUtf8(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
  }

  // A mouse movement without buttons over a widget, delivered as the application delivers it: to the
  // widget, and on to its parents when it does not take it.
  static void moveMouse(QWidget* widget, QPoint at) {
    QMouseEvent move(QEvent::MouseMove, QPointF(at), QPointF(widget->mapToGlobal(at)), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &move);
  }

  QString text(const char* name) { return find<QLineEdit>(name)->text(); }
  // A control is seen when it and all its containers are shown.
  bool seen(const char* name) { return find(name)->isVisibleTo(&window); }

  ScriptedDialogs dialogs;
  frmVarno form;
  MainWindow window;
};

}  // namespace varno
