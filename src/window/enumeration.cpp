#include "window/enumeration.h"

#include <stdlib.h>

#include <charconv>
#include <cmath>
#include <cstdio>
#include <filesystem>

#include "counting/ringcounter.h"
#include "counting/ringsearch.h"
#include "form/form.h"
#include "graphic/drawing.h"
#include "ring/evaluation.h"
#include "ring/ring.h"
#include "window/busy.h"
#include "window/montecarlo.h"
#include "window/yielding.h"

namespace varno {

namespace {

// A count that would take longer than this is started only when the user agrees.
constexpr double kLongCountSeconds = 120;

std::string maxminText(int best, int k) {
  return numberFormat(best) + " /" + numberFormat(k * k);
}

// Shows a ring found: the counter "Treffer", the best weakest link, the faces and their evaluation.
// The evaluation counts the ring once more in "Treffer"; the count written afterwards takes that back.
void showRing(Form& form, const Labelling& ring, const std::string& rings, int k) {
  const int n = static_cast<int>(ring.size()) / k;
  form.Freigabe = false;
  form.Text3[1].setText(rings);
  form.Picture1[3].setText(maxminText(form.BestesMinimum, k));
  for (int d = 0; d < n; ++d)
    for (int f = 0; f < k; ++f) face(form, d, f).setText(plainDigits(ring[d * k + f]));
  form.Freigabe = true;
  RingAuswerten(form);
  form.Text3[1].setText(rings);
}

bool stopped(Form& form) {
  form.DoEvents();
  return form.Abbruch;
}

}  // namespace

std::string workBase(const Form& form) {
  if (!form.machine.workDirectory.empty()) return form.machine.workDirectory;
  std::error_code error;
  const std::filesystem::path temporary = std::filesystem::temp_directory_path(error);
  return error ? std::string() : temporary.string();
}

RingCounterOptions counterOptions(const Form& form, const std::string& directory) {
  RingCounterOptions options;
  options.threads = form.machine.threads;
  options.memoryLimitBytes = form.machine.memoryBytes;
  options.diskLimitBytes = form.machine.diskBytes;
  options.workPerSecond = form.machine.workPerSecond;
  options.workDirectory = directory;
  return options;
}

CountFolder::CountFolder(const std::string& base) {
  if (base.empty()) return;
  std::string name = base + "/varno-count-XXXXXX";
  if (::mkdtemp(name.data()) != nullptr) path_ = name;
}

CountFolder::~CountFolder() {
  std::error_code ignored;
  if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
}

namespace {

// "alle zählen": the count runs on worker threads while the window shows its progress; then the last
// ring of the loop's order is found and shown. A stop during the count leaves the window as the loop
// showed it at its start; a count that has finished is shown even when the stop comes while its last
// ring is being looked up, only without that ring.
void countAll(Form& form, int n, int k) {
  const CountFolder folder(workBase(form));
  RingCounter counter(n, k, counterOptions(form, folder.path()));
  counter.start();
  followCount(form, counter);

  const std::optional<RingCount> result = counter.result();
  std::optional<RingSearch::Result> last;
  if (result && result->rings != 0) {
    form.prgFortschritt.setValue(1000);
    form.lblRestzeit.setText("der letzte Ring wird gesucht ...");
    last = RingSearch(n, k).last([&] { return stopped(form); });
  }
  form.prgFortschritt.setVisible(false);
  form.lblRestzeit.setVisible(false);
  if (counter.state() == RingCounter::State::Failed) countFailed(form);
  if (!result || result->rings == 0) return;
  form.BestesMinimum = result->bestWeakestLink;
  if (last && last->outcome == RingSearch::Outcome::Found) {
    showRing(form, last->labelling, result->rings.get_str(), k);
  } else {
    form.Text3[1].setText(result->rings.get_str());
    form.Picture1[3].setText(maxminText(form.BestesMinimum, k));
  }
}

// "zz": every ring in the loop's order, drawn and followed by the question whether to go on.
void showEach(Form& form, int n, int k) {
  const RingSearch search(n, k);
  RingSearch::Result ring = search.first([&] { return stopped(form); });
  for (std::int64_t count = 1; ring.outcome == RingSearch::Outcome::Found; ++count) {
    form.BestesMinimum = std::max(form.BestesMinimum, search.weakestLink(ring.labelling));
    showRing(form, ring.labelling, plainDigits(count), k);
    ZeichneGerüst(form);
    ZeichneBögen(form);
    ZeichneGewinnfelder(form);
    form.DoEvents.now();
    const std::string title = " " + plainDigits(count) + ". Varnoring gefunden";
    if (form.dialogs && form.dialogs->messageBox("Weiterer Varnoring?", kQuestionYesNo, title) == kNo) return;
    if (form.Abbruch) return;  // the loop looks at the stop button before every step
    form.Freigabe = false;
    ring = search.next(ring.labelling, [&] { return stopped(form); });
  }
}

}  // namespace

void countFailed(Form& form) {
  if (!form.dialogs) return;
  form.dialogs->messageBox(
      "Zählen abgebrochen!\r\n\r\nDer Speicher dieses Rechners reicht für diese Größe nicht.", kStopSign,
      "Rechenproblem");
}

std::string totalText(int n, int k) {
  return Decimal::of(RingCounter::labellingCount(n, k).get_str()).significant();
}

std::string durationText(double seconds) {
  char text[64];
  if (seconds < 60) {
    std::snprintf(text, sizeof text, "%.0f s", std::max(1.0, std::ceil(seconds)));
  } else if (seconds < 3600) {
    std::snprintf(text, sizeof text, "%.0f min", std::ceil(seconds / 60));
  } else if (seconds < 100 * 24 * 3600) {
    const long minutes = static_cast<long>(std::ceil(seconds / 60));
    std::snprintf(text, sizeof text, "%ld h %02ld min", minutes / 60, minutes % 60);
  } else {
    return germanFigure(std::ceil(seconds / 86400), 0) + " Tage";
  }
  return text;
}

std::string germanFigure(double value, int decimals) {
  char text[400];
  const auto end = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, decimals).ptr;
  std::string digits(text, end);
  const std::size_t point = std::min(digits.find('.'), digits.size());
  std::string figure = digits.substr(point);
  if (!figure.empty()) figure[0] = ',';
  // The whole part in groups of three from five digits on.
  const std::size_t sign = digits[0] == '-' ? 1 : 0;
  const std::size_t whole = point - sign;
  for (std::size_t i = 0; i < whole; ++i) {
    if (whole > 4 && i > 0 && i % 3 == 0) figure.insert(0, 1, '.');
    figure.insert(0, 1, digits[point - 1 - i]);
  }
  return digits.substr(0, sign) + figure;
}

std::string gibibytesText(std::uint64_t bytes) {
  return germanFigure(static_cast<double>(bytes) / (1ULL << 30), 1) + " GiB";
}

std::string facesText(int k) {
  return plainDigits(k) + (k == 1 ? " Seite" : " Seiten");
}

std::string timeLeftText(double seconds, double share) {
  if (share < 0.01 || seconds <= 0) return "Restzeit wird geschätzt ...";
  return "noch etwa " + durationText(seconds / share * (1 - share));
}

void BelegungenDurchlaufen(Form& form, int n, int k) {
  for (Control& field : form.txtAuge) field.setText("");
  form.Abbruch = false;
  form.Freigabe = false;
  Command9_Click(form);
  form.Text3[0].setText(totalText(n, k));
  form.BestesMinimum = 0;
  form.Picture1[1].setText("");
  form.Picture1[2].setText("");
  form.Picture1[3].setText(" maxmin");
  form.Text4.setVisible(true);
  RechnungBeginn(form);
  form.searchRunning = true;

  if (form.Zählmodus == "zz") {
    showEach(form, n, k);
  } else {
    countAll(form, n, k);
  }

  form.searchRunning = false;
  form.Freigabe = true;
  form.Text4.setVisible(false);
  RechnungEnde(form);
}

bool countMayStart(Form& form, int n, int k, const CountEstimate& estimateOf) {
  if (!form.dialogs) return true;
  // The plan of a large size takes a moment to make; the window answers meanwhile, but takes no input.
  form.searchRunning = true;
  form.busyPointer = true;
  const RingCounterOptions options = counterOptions(form, workBase(form));
  const std::optional<RingCounter::Estimate> planned =
      whileYielding(form, [&estimateOf, &options] { return estimateOf(options); });
  form.searchRunning = false;
  form.busyPointer = false;
  if (!planned) return false;
  const RingCounter::Estimate& estimate = *planned;
  const std::string size = plainDigits(n) + " Würfel mit je " + facesText(k);
  if (!estimate.fits) {
    form.dialogs->messageBox("Das Zählen aller Belegungen für " + size + "\r\nbraucht etwa " +
                                 gibibytesText(estimate.memoryBytes) + " Speicher und " +
                                 gibibytesText(estimate.diskBytes) +
                                 " auf der Festplatte; so viel hat dieser Rechner nicht frei.\r\n\r\n"
                                 "Diese Größe kann hier nicht gezählt werden.",
                             kStopSign, "Rechenproblem");
    return false;
  }
  if (estimate.seconds <= kLongCountSeconds) return true;
  const std::string disk = estimate.method == CountMethod::Disk
                               ? " und braucht " + gibibytesText(estimate.diskBytes) + " auf der Festplatte"
                               : "";
  return form.dialogs->messageBox("Das Zählen aller Belegungen für " + size +
                                      "\r\ndauert auf diesem Rechner etwa " + durationText(estimate.seconds) +
                                      disk + ".\r\n\r\nTrotzdem beginnen?",
                                  kQuestionYesNo, "Lange Rechnung") == kYes;
}

namespace {

void enumerate(Form& form, const char* mode) {
  const int n = Würfelanzahl(form);
  const int k = Seitenzahl(form);
  const CountEstimate estimate = [n, k](const RingCounterOptions& options) {
    return std::optional(RingCounter::estimate(n, k, options));
  };
  if (std::string(mode) == "alle zählen" && !countMayStart(form, n, k, estimate)) return;
  form.Zählmodus = mode;
  BelegungenDurchlaufen(form, n, k);
}

}  // namespace

void cmdBelzähl_Click(Form& form) {
  enumerate(form, "alle zählen");
}

void cmdZZ_Click(Form& form) {
  enumerate(form, "zz");
}

}  // namespace varno
