// Measures the Monte Carlo search as the user runs it: in the window (offscreen, with its real yield to
// the event loop, repainting as it goes) and in the core alone. Prints passes per second, the time a
// search takes, and the longest stretch between two yields, which bounds how long the stop button waits.
//
//   varno-bench [RUNS]
#include <QAction>
#include <QApplication>
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "application.h"
#include "form/form.h"
#include "graphic/drawing.h"
#include "mainwindow.h"
#include "ring/ring.h"
#include "search/montecarlo.h"

namespace {

using Clock = std::chrono::steady_clock;

double seconds(Clock::duration d) {
  return std::chrono::duration<double>(d).count();
}

struct Figures {
  long passes = 0;
  double seconds = 0;
  double longestGap = 0;
};

void print(const char* where, const char* size, int runs, const Figures& f) {
  std::printf("%-6s %s  runs=%d passes=%ld passes/s=%.0f s/search=%.4f longest-gap-ms=%.1f\n", where, size,
              runs, f.passes, f.passes / f.seconds, f.seconds / runs, f.longestGap * 1000);
}

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::atoi(argv[1]) : 50;
  if (runs < 1) {
    std::fprintf(stderr, "usage: varno-bench [RUNS]\n");
    return 2;
  }
  if (!std::getenv("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  varno::setUpApplication(application);

  for (const char* size : {"3x3", "4x4"}) {
    // The core alone, without yields.
    {
      varno::Form form;
      varno::GraphikEinrichten(form);
      form.Freigabe = true;
      form.random.seed(1);
      Figures f;
      const auto start = Clock::now();
      for (int run = 0; run < runs; ++run) {
        form.Text3[0].setText("0");
        size[2] == '3' ? varno::cmd3x3_Click(form) : varno::cmd4x4_Click(form);
        f.passes += static_cast<long>(varno::leadingNumber(form.Text3[0].text()));
      }
      f.seconds = seconds(Clock::now() - start);
      print("core", size, runs, f);
    }
    // The window, started and shown, searching from its menu.
    {
      varno::Form form;
      varno::MainWindow window(form);
      window.Form_Load(1);
      window.show();
      QApplication::processEvents();
      Figures f;
      auto last = Clock::now();
      // The window's own yield, timed.
      form.DoEvents.setHook(
          [&] {
            window.sync();
            QApplication::processEvents();
            const auto now = Clock::now();
            f.longestGap = std::max(f.longestGap, seconds(now - last));
            last = now;
          },
          std::chrono::milliseconds(15));
      auto* item = window.findChild<QAction*>(QString("cmd") + size);
      const auto start = Clock::now();
      for (int run = 0; run < runs; ++run) {
        window.run([&] { form.Text3[0].setText("0"); });
        last = Clock::now();
        item->trigger();
        f.passes += static_cast<long>(varno::leadingNumber(form.Text3[0].text()));
      }
      f.seconds = seconds(Clock::now() - start);
      print("window", size, runs, f);
    }
  }
  return 0;
}
