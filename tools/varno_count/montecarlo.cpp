// Monte Carlo runs from the command line: the window's own search, without a window.

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <iostream>

#include "form/form.h"
#include "form/numbertext.h"
#include "graphic/drawing.h"
#include "modes.h"
#include "window/frmvarno.h"
#include "window/montecarlo.h"

namespace varno::count {

int monteCarloMode(const Request& request) {
  using Clock = std::chrono::steady_clock;
  const auto started = Clock::now();
  varno::frmVarno form;
  varno::GraphikEinrichten(form);
  form.Freigabe = true;
  form.random.seed(
      request.seed ? *request.seed
                   : static_cast<std::uint64_t>(std::chrono::system_clock::now().time_since_epoch().count()));
  form.MCWürfelanzahl = static_cast<short>(request.dice);
  form.MCSeitenzahl = request.faces;
  std::uint64_t passes = 0;  // labellings dealt by the runs that ended
  std::uint64_t runs = 0;
  const bool showProgress = request.progress || isatty(STDERR_FILENO) != 0;
  bool shown = false;
  // The search yields between labellings: there Ctrl+C ends it, and the progress is shown.
  form.DoEvents.setHook(
      [&] {
        if (interrupted) form.Abbruch = true;
        if (!showProgress) return;
        const std::uint64_t dealt =
            passes + static_cast<std::uint64_t>(varno::leadingNumber(form.Text3[0].text()));
        const double seconds = std::chrono::duration<double>(Clock::now() - started).count();
        std::fprintf(stderr, "\r%llu runs, %llu passes, %.0f passes per second   ",
                     static_cast<unsigned long long>(runs), static_cast<unsigned long long>(dealt),
                     seconds > 0 ? static_cast<double>(dealt) / seconds : 0.0);
        shown = true;
      },
      std::chrono::milliseconds(250));
  for (; runs < request.runs && !interrupted; ++runs) {
    form.Text3[0].setText("0");
    varno::MonteCarloSuche(form);
    passes += static_cast<std::uint64_t>(varno::leadingNumber(form.Text3[0].text()));
    if (form.Abbruch) break;  // the run ended without a ring
  }
  if (shown) std::fprintf(stderr, "\r%60s\r", "");
  const double seconds = std::chrono::duration<double>(Clock::now() - started).count();
  std::printf("n=%d k=%d runs=%llu passes=%llu mean=%.3f seconds=%.3f\n", request.dice, request.faces,
              static_cast<unsigned long long>(runs), static_cast<unsigned long long>(passes),
              runs > 0 ? static_cast<double>(passes) / static_cast<double>(runs) : 0.0, seconds);
  if (interrupted) {
    std::cerr << "varno-count: interrupted after " << runs << " of " << request.runs << " runs\n";
    return kExitFailure;
  }
  return 0;
}

}  // namespace varno::count
