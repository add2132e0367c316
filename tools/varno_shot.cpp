// Renders the window to a PNG without a display.
//
//   varno-shot FILE.png [--size WIDTHxHEIGHT] [--ring "3 5 7 | 2 4 9 | 1 6 8"] [--choose ITEM] [--select
//   FACE] [--graphic | --canvas | --window NAME]
//
// --ring writes the given dice (faces separated by blanks, dice by "|") into the ring and draws the
// graphic in full, as the button "Gr" does; --choose chooses the menu item of that name (such as cmdBelzähl,
// "alle Belegungen zählen") and waits for its end; --select clicks the face field FACE (0..63), which shows
// the labelling pad over its die; --graphic writes the ring graphic instead of the window, as "Graphik
// exportieren …" writes it (PNG, SVG or PDF by the file's ending); --canvas the drawing surface as the
// screen shows it, pixel for pixel; --window renders the window of that name instead of the main one,
// such as frmSpectrum, which "--choose cmdSpectrum" opens.
#include <QAction>
#include <QApplication>
#include <QFile>
#include <QPixmap>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "application.h"
#include "canvas.h"
#include "form/form.h"
#include "graphic/drawing.h"
#include "graphicexport.h"
#include "mainwindow.h"
#include "ring/ring.h"
#include "window/frmvarno.h"
#include "window/pad.h"

namespace {

int usage(const char* problem) {
  std::fprintf(stderr,
               "varno-shot: %s\nusage: varno-shot FILE.png [--size WIDTHxHEIGHT] [--ring \"3 5 7 | 2 4 9 | 1 "
               "6 8\"] [--choose ITEM] [--select FACE] [--graphic | --canvas | --window NAME]\n",
               problem);
  return 2;
}

std::vector<std::vector<std::string>> parseRing(const std::string& text) {
  std::vector<std::vector<std::string>> dice(1);
  std::istringstream words(text);
  std::string word;
  while (words >> word) {
    if (word == "|") {
      dice.emplace_back();
    } else {
      dice.back().push_back(word);
    }
  }
  return dice;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return usage("no file given");
  const char* file = argv[1];
  int width = 0, height = 0, selected = -1;
  bool graphic = false, canvas = false;
  QString chosen, named;
  std::vector<std::vector<std::string>> ring;
  for (int i = 2; i < argc; ++i) {
    const std::string option = argv[i];
    if (option == "--graphic" || option == "--canvas") {
      (option == "--graphic" ? graphic : canvas) = true;
      continue;
    }
    if (i + 1 >= argc) return usage("an option lacks its value");
    if (option == "--size") {
      if (std::sscanf(argv[++i], "%dx%d", &width, &height) != 2 || width < 200 || height < 150)
        return usage("the size must be WIDTHxHEIGHT, at least 200x150");
    } else if (option == "--ring") {
      ring = parseRing(argv[++i]);
      const std::size_t k = ring[0].size();
      if (ring.size() < 3 || ring.size() > 8 || k < 1 || k > 8)
        return usage("the ring must have 3..8 dice of 1..8 faces");
      for (const auto& die : ring)
        if (die.size() != k) return usage("every die of the ring must have the same number of faces");
    } else if (option == "--window") {
      named = QString::fromLocal8Bit(argv[++i]);
    } else if (option == "--choose") {
      chosen = QString::fromLocal8Bit(argv[++i]);
    } else if (option == "--select") {
      selected = std::atoi(argv[++i]);
      if (selected < 0 || selected > 63) return usage("the face to select must be 0..63");
    } else {
      return usage("unknown option");
    }
  }
  if (!std::getenv("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  varno::setUpApplication(application);
  varno::frmVarno form;
  varno::MainWindow window(form);
  window.Form_Load();
  if (width > 0) {
    window.setWindowState(Qt::WindowNoState);
    window.resize(width, height);
  }
  if (!ring.empty()) {
    window.run([&] {
      form.Text1[0].setText(std::to_string(ring.size()));
      form.VScroll1[0].setValue(static_cast<int>(ring.size()));
      form.Text1[1].setText(std::to_string(ring[0].size()));
      form.VScroll1[1].setValue(static_cast<int>(ring[0].size()));
      for (std::size_t d = 0; d < ring.size(); ++d)
        for (std::size_t f = 0; f < ring[d].size(); ++f)
          varno::face(form, static_cast<int>(d), static_cast<int>(f)).setText(ring[d][f]);
      varno::ZeichneGraphik(form);
    });
  }
  if (!chosen.isEmpty()) {
    auto* item = window.findChild<QAction*>(chosen);
    if (!item) return usage("no menu item of that name");
    item->trigger();  // runs to its end, yielding to the event loop on the way
  }
  if (selected >= 0) {
    window.run([&] {
      varno::txtAuge_Click(form, selected);
      varno::settlePad(form);
    });
  }
  window.show();
  application.processEvents();
  const QString name = QString::fromLocal8Bit(file);
  if (graphic) {
    QFile picture(name);
    const auto* canvas = window.findChild<varno::Canvas*>("picAusgabe");
    if (!picture.open(QIODevice::WriteOnly) ||
        picture.write(varno::graphicPicture(form, varno::pictureKind(name), *canvas)) <= 0) {
      std::fprintf(stderr, "varno-shot: cannot write %s\n", file);
      return 1;
    }
    return 0;
  }
  QWidget* shown = canvas ? window.findChild<varno::Canvas*>("picAusgabe") : static_cast<QWidget*>(&window);
  if (!named.isEmpty()) {
    shown = window.findChild<QWidget*>(named, Qt::FindDirectChildrenOnly);
    if (!shown || !shown->isWindow()) return usage("no window of that name");
  }
  if (!shown->grab().save(name)) {
    std::fprintf(stderr, "varno-shot: cannot write %s\n", file);
    return 1;
  }
  return 0;
}
