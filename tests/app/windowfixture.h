// A started window and ways to find its parts by their names, as tests and assistive technology do.
#pragma once

#include <gtest/gtest.h>
#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>

#include <string>
#include "mainwindow.h"
#include "printbox.h"
#include "ring/dice.h"
#include "ring/ringfixture.h"

// Readable failure messages for Qt strings.
inline void PrintTo(const QString& text, std::ostream* out) {
  *out << '"' << text.toStdString() << '"';
}

namespace varno {

class WindowTest : public ::testing::Test {
 protected:
  WindowTest() : window(form) {
    form.dialogs = &dialogs;
    useFixedMachine(form);
    window.Form_Load(7);
    window.show();
    QApplication::processEvents();
  }

  // Writes the dice (3, 5, 7), (2, 4, 9), (1, 6, 8), a ring of three dice with three faces.
  void writeMinimalRing() {
    const char* faces[] = {"3", "5", "7", "2", "4", "9", "1", "6", "8"};
    window.run([&] {
      for (int i = 0; i < 9; ++i) face(form, i / 3, i % 3).setText(faces[i]);
    });
  }

  template <typename T = QWidget>
  T* find(const char* name) {
    T* found = window.findChild<T*>(QString::fromUtf8(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
  }
  void click(const char* name, Qt::MouseButton button = Qt::LeftButton) {
    QTest::mouseClick(find(name), button, {}, QPoint(4, 4));
  }
  // Chooses a menu item.
  void choose(const char* name) { find<QAction>(name)->trigger(); }

  // A mouse movement without buttons over a widget, delivered as the application delivers it: to the
  // widget, and on to its parents when it does not take it.
  static void moveMouse(QWidget* widget, QPoint at) {
    QMouseEvent move(QEvent::MouseMove, QPointF(at), QPointF(widget->mapToGlobal(at)), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &move);
  }

  // Everything every control shows, and the selected face, to compare two moments or two ways.
  std::vector<std::string> state() const {
    std::vector<std::string> all;
    for (const Control* control : form.controls())
      all.push_back(control->name() + "=" + control->text() + "/" + std::to_string(control->value()) + "/" +
                    std::to_string(control->visible()) + "/" + std::to_string(control->backColor()));
    all.push_back("Feldnummer=" + std::to_string(form.Feldnummer.value_or(-1)));
    return all;
  }

  // Every widget shows its control's text, state and place.
  void expectMirrored() {
    for (const Control* control : form.controls()) {
      QObject* object = window.object(*control);
      if (auto* item = qobject_cast<QAction*>(object)) {
        EXPECT_EQ(item->isEnabled(), control->enabled()) << control->name();
        continue;
      }
      auto* widget = qobject_cast<QWidget*>(object);
      if (!widget || qobject_cast<QMenu*>(widget)) continue;
      EXPECT_EQ(widget->isEnabled(), control->enabled()) << control->name();
      EXPECT_EQ(widget->isVisibleTo(widget->parentWidget()), control->visible()) << control->name();
      EXPECT_EQ(widget->toolTip().toStdString(), control->toolTip()) << control->name();
      if (auto* field = qobject_cast<QLineEdit*>(widget)) {
        EXPECT_EQ(field->text().toStdString(), control->text()) << control->name();
        EXPECT_TRUE(field->isReadOnly() && field->contextMenuPolicy() == Qt::NoContextMenu);
      } else if (auto* box = dynamic_cast<PrintBox*>(widget)) {
        EXPECT_EQ(box->printed().toStdString(), control->text()) << control->name();
        EXPECT_EQ(box->accessibleName().toStdString(), control->text()) << control->name();
      } else if (auto* bar = qobject_cast<QProgressBar*>(widget)) {
        EXPECT_EQ(bar->value(), control->value()) << control->name();
      }
      if (!control->geometry().user) {
        EXPECT_EQ(widget->x(), std::lround(control->geometry().left / 15)) << control->name();
      }
    }
  }

  QString text(const char* name) { return find<QLineEdit>(name)->text(); }
  // A control is seen when it and all its containers are shown.
  bool seen(const char* name) { return find(name)->isVisibleTo(&window); }

  ScriptedDialogs dialogs;
  frmVarno form;
  MainWindow window;
};

}  // namespace varno
