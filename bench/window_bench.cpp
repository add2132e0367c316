// Measures the searches as the user runs them: in the window (offscreen, with its real yield to the
// event loop, repainting as it goes) and, for the Monte Carlo search, in the core alone.
//
//   varno-bench montecarlo [RUNS]   passes per second for 3x3 and 4x4 in the core, in the window, and in
//                                   the window with the win matrix open; the time a search takes, and the
//                                   longest stretch between two yields (how long the stop button waits)
//   varno-bench count N K [N K]...  the time "alle Belegungen zählen" takes in the window, the time left it
//                                   shows at a tenth and at half of the work, and how long the window takes
//                                   to be idle again after the stop button, pressed at several moments
//   varno-bench answers             the longest the window is kept from answering by a huge resize, by
//                                   choosing to count 8x8 and by pasting 20 MB
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "application.h"
#include "form/dialogs.h"
#include "form/form.h"
#include "graphic/drawing.h"
#include "mainwindow.h"
#include "ring/dice.h"
#include "ring/ring.h"
#include "window/frmvarno.h"
#include "window/montecarlo.h"

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

// A started, shown window whose yields are timed.
struct TimedWindow {
  explicit TimedWindow(Figures& figures) : window(form) {
    window.Form_Load(1);
    window.show();
    QApplication::processEvents();
    form.DoEvents.setHook(
        [this, &figures] {
          window.sync();
          QApplication::processEvents();
          const auto now = Clock::now();
          figures.longestGap = std::max(figures.longestGap, seconds(now - last));
          last = now;
          if (atYield) atYield();
        },
        std::chrono::milliseconds(15));
  }
  void setSize(int n, int k) {
    window.run([&] { varno::setRingSize(form, n, k); });
  }

  varno::frmVarno form;
  varno::MainWindow window;
  Clock::time_point last = Clock::now();
  std::function<void()> atYield;
};

void monteCarlo(int runs) {
  for (const char* size : {"3x3", "4x4"}) {
    {
      varno::frmVarno form;
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
    for (const bool matrix : {false, true}) {
      Figures f;
      TimedWindow timed(f);
      if (matrix) timed.window.findChild<QAction*>("cmdMatrix")->trigger();
      auto* item = timed.window.findChild<QAction*>(QString("cmd") + size);
      const auto start = Clock::now();
      for (int run = 0; run < runs; ++run) {
        timed.window.run([&] { timed.form.Text3[0].setText("0"); });
        timed.last = Clock::now();
        item->trigger();
        f.passes += static_cast<long>(varno::leadingNumber(timed.form.Text3[0].text()));
      }
      f.seconds = seconds(Clock::now() - start);
      print(matrix ? "matrix" : "window", size, runs, f);
    }
  }
}

void count(int n, int k) {
  Figures f;
  TimedWindow timed(f);
  timed.setSize(n, k);
  auto* item = timed.window.findChild<QAction*>(QString::fromUtf8("cmdBelzähl"));
  // The time left the window shows once a tenth and once half of the work is done.
  std::string atTenth, atHalf;
  timed.atYield = [&] {
    const int share = timed.form.prgFortschritt.value();
    if (atTenth.empty() && share >= 100) atTenth = timed.form.lblRestzeit.text();
    if (atHalf.empty() && share >= 500) atHalf = timed.form.lblRestzeit.text();
  };
  auto start = Clock::now();
  timed.last = start;
  item->trigger();
  const double whole = seconds(Clock::now() - start);
  std::printf("count %dx%d  seconds=%.3f rings=%s best=%s longest-gap-ms=%.1f\n", n, k, whole,
              timed.form.Text3[1].text().c_str(), timed.form.Picture1[3].text().c_str(), f.longestGap * 1000);
  std::printf("left  %dx%d  at-10%%=\"%s\" at-50%%=\"%s\" true-total=%.1f s\n", n, k, atTenth.c_str(),
              atHalf.c_str(), whole);

  // Stopped at several moments: from the click to the window being idle.
  for (const double moment : {0.05, 0.3, whole / 3, 2 * whole / 3}) {
    if (moment >= whole) continue;
    Clock::time_point pressed;
    start = Clock::now();
    timed.atYield = [&] {
      if (pressed == Clock::time_point() && seconds(Clock::now() - start) >= moment) {
        pressed = Clock::now();
        varno::cmdStop_Click(timed.form);
      }
    };
    item->trigger();
    const double answer = pressed == Clock::time_point() ? 0 : seconds(Clock::now() - pressed);
    std::printf("stop  %dx%d  after-s=%.2f stop-to-idle-ms=%.1f\n", n, k, moment, answer * 1000);
  }
}

// Answers every message at once, so that nothing modal holds the measurement.
struct Answering : varno::Dialogs {
  int messageBox(const std::string&, int style, const std::string&) override {
    told = true;
    return style == varno::kQuestionYesNo ? varno::kNo : varno::kOk;
  }
  std::optional<std::string> fileDialog(bool, const std::string&, const std::string&,
                                        varno::FileKind) override {
    return std::nullopt;
  }
  bool told = false;
};

void answers() {
  Figures f;
  TimedWindow timed(f);
  Answering dialogs;
  timed.form.dialogs = &dialogs;
  timed.window.setWindowState(Qt::WindowNoState);
  auto start = Clock::now();
  timed.window.resize(16000, 12000);
  QApplication::processEvents();
  std::printf("resize to 16000x12000  blocked-ms=%.1f size=%dx%d\n", seconds(Clock::now() - start) * 1000,
              timed.window.width(), timed.window.height());
  timed.setSize(8, 8);
  f.longestGap = 0;
  timed.last = start = Clock::now();
  timed.window.findChild<QAction*>(QString::fromUtf8("cmdBelzähl"))->trigger();
  std::printf("count 8x8 until its answer  seconds=%.3f longest-gap-ms=%.1f\n", seconds(Clock::now() - start),
              f.longestGap * 1000);
  std::string huge;
  while (huge.size() < (std::size_t{20} << 20)) huge += "1 2 | 3 4 | 5 6\n";
  QGuiApplication::clipboard()->setText(QString::fromStdString(huge));
  dialogs.told = false;
  start = Clock::now();
  timed.window.findChild<QAction*>(QString::fromUtf8("cmdPaste"))->trigger();
  std::printf("paste 20 MB  blocked-ms=%.1f refused=%s\n", seconds(Clock::now() - start) * 1000,
              dialogs.told ? "yes" : "no");
}

int usage() {
  std::fprintf(
      stderr,
      "usage: varno-bench montecarlo [RUNS] | varno-bench count N K [N K]... | varno-bench answers\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return usage();
  std::vector<char*> qtArguments = {argv[0]};
  int qtCount = 1;
  if (!std::getenv("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(qtCount, qtArguments.data());
  varno::setUpApplication(application);
  if (std::strcmp(argv[1], "montecarlo") == 0) {
    const int runs = argc > 2 ? std::atoi(argv[2]) : 50;
    if (runs < 1) return usage();
    monteCarlo(runs);
    return 0;
  }
  if (std::strcmp(argv[1], "answers") == 0) {
    answers();
    return 0;
  }
  if (std::strcmp(argv[1], "count") == 0 && argc >= 4 && argc % 2 == 0) {
    for (int i = 2; i + 1 < argc; i += 2) {
      const int n = std::atoi(argv[i]), k = std::atoi(argv[i + 1]);
      if (n < 3 || n > 8 || k < 1 || k > 8) return usage();
      count(n, k);
    }
    return 0;
  }
  return usage();
}
