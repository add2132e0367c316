// Running through every labelling of the current ring with the numbers 1..n*k (faces ascending on every
// die, the 1 on die 1) and counting the Varno rings "rechtsrum" among them, or showing them one by one.
//
// The counts, the best weakest link and the rings shown are those of the step-by-step loop over all
// labellings in lexicographic order, but they are found without visiting every labelling: the count
// comes from a dynamic programme over the labellings read as words over the dice, the rings shown from
// a search that drops partial labellings which can no longer become rings.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <thread>

#include "counting/ringcounter.h"
#include "form/form.h"
#include "window/yielding.h"

namespace varno {

// "alle Belegungen zählen" and "zählen und zeigen".
void cmdBelzähl_Click(Form& form);
void cmdZZ_Click(Form& form);

// The enumeration for n dice of k faces in the mode Zählmodus.
void BelegungenDurchlaufen(Form& form, int n, int k);

// The number of labellings X = (n*k)! / ((k!)^n * n) as "Gesamt" shows it: up to 15 significant digits,
// exponent form from 10^15 on. Rounded from the exact number, so that even the 15th digit is right (a
// double computed step by step gets 7x5 wrong there).
std::string totalText(int n, int k);

// A duration for the user: "40 s", "3 min", "2 h 05 min", "12 Tage", "12.345 Tage".
std::string durationText(double seconds);
// Figures in the window's own German sentences: a decimal comma, and the whole part in groups of three
// from five digits on ("3853,8", "12.345,6").
std::string germanFigure(double value, int decimals);
// An amount of memory or disk for the user: "3853,8 GiB".
std::string gibibytesText(std::uint64_t bytes);
// The faces of a die in a sentence: "1 Seite", "6 Seiten".
std::string facesText(int k);
// The time still needed for a count that has done `share` of its work in `seconds`: "noch etwa 3 min".
std::string timeLeftText(double seconds, double share);

// The folder in which a count in the window may make one of its own: the machine's, else the system's
// temporary folder; empty when there is none.
std::string workBase(const Form& form);

// What a count in the window may use: the machine's memory, and where that is not enough, files in
// `directory`.
RingCounterOptions counterOptions(const Form& form, const std::string& directory);

// A folder of one count's own for the layers that do not fit in memory, so that no other program's files
// are in its way; removed with everything in it when the count is done. None when it cannot be made.
class CountFolder {
 public:
  explicit CountFolder(const std::string& base);
  ~CountFolder();
  CountFolder(const CountFolder&) = delete;
  CountFolder& operator=(const CountFolder&) = delete;
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

// What a count of a size needs, from the options the window counts with; nothing when stopped.
using CountEstimate = std::function<std::optional<RingCounter::Estimate>(const RingCounterOptions&)>;
// Counting every labelling of the larger sizes takes long, or more than the machine has: the user is told
// before anything changes, and decides whether to start a long count.
bool countMayStart(Form& form, int n, int k, const CountEstimate& estimate);

// Follows a count (RingCounter or SpectrumCounter) on its worker threads until it ends: shows the share
// done in the progress bar and the time left, and cancels the count once the stop button was pressed.
template <typename Counter>
void followCount(Form& form, Counter& counter) {
  using Clock = std::chrono::steady_clock;
  form.prgFortschritt.setValue(0);
  form.prgFortschritt.setVisible(true);
  form.lblRestzeit.setText("");
  form.lblRestzeit.setVisible(true);
  const auto start = Clock::now();
  while (counter.state() == RingCounter::State::Running) {
    std::this_thread::sleep_for(kPollInterval);
    const double share = counter.progress();
    form.prgFortschritt.setValue(static_cast<int>(1000 * share));
    form.lblRestzeit.setText(
        timeLeftText(std::chrono::duration<double>(Clock::now() - start).count(), share));
    form.DoEvents.now();
    if (form.Abbruch) counter.cancel();
  }
  counter.wait();
}

// Tells the user that a count failed: only a lack of memory stops a count that was not cancelled.
void countFailed(Form& form);

}  // namespace varno
