#include "window/weakestlinks.h"

#include <string_view>

#include "counting/weakestlinkcounter.h"
#include "form/form.h"
#include "form/numbertext.h"
#include "ring/evaluation.h"
#include "ring/ring.h"
#include "window/busy.h"
#include "window/enumeration.h"

namespace varno {

namespace {

constexpr const char* kTitle = "Verteilung der schwächsten Stelle";

std::string sizeText(int n, int k) {
  return plainDigits(n) + " Würfeln mit je " + facesText(k);
}

}  // namespace

void cmdSpectrum_Click(Form& form) {
  const int n = Würfelanzahl(form), k = Seitenzahl(form);
  const CountEstimate estimate = [n, k](const RingCounterOptions& options) {
    return SpectrumCounter::estimate(n, k, options);
  };
  if (!countMayStart(form, n, k, estimate)) return;
  RechnungBeginn(form);
  form.searchRunning = true;
  form.Abbruch = false;
  const CountFolder folder(workBase(form));
  SpectrumCounter counter(n, k, counterOptions(form, folder.path()));
  counter.start();
  followCount(form, counter);
  form.prgFortschritt.setVisible(false);
  form.lblRestzeit.setVisible(false);
  form.searchRunning = false;
  RechnungEnde(form);

  if (counter.state() == RingCounter::State::Failed) countFailed(form);
  const std::optional<Spectrum> result = counter.result();
  if (!result) return;
  if (result->rings.empty()) {
    if (form.dialogs)
      form.dialogs->messageBox("Aus " + sizeText(n, k) + " gibt es keinen Varno-Ring.", kInformation, kTitle);
    return;
  }
  Form::LinkSpectrum shown;
  shown.n = n;
  shown.k = k;
  shown.leastLink = result->leastLink;
  for (const mpz_class& rings : result->rings) shown.rings.push_back(rings.get_str());
  form.spectrum = std::move(shown);
  if (form.showSpectrum) form.showSpectrum();
}

SpectrumMark spectrumMark(const Form& form) {
  SpectrumMark mark;
  if (!form.spectrum) return mark;
  const Form::LinkSpectrum& spectrum = *form.spectrum;
  const Ring ring = readRing(form);
  if (ring.n != spectrum.n || ring.k != spectrum.k) {
    mark.note = "Der Ring im Fenster hat eine andere Größe; nichts ist markiert.";
    return mark;
  }
  const Evaluation evaluation = evaluate(ring);
  // By their texts: each part of the program may hold its own copy of the verdicts.
  const std::string_view verdict = evaluation.verdict;
  if (verdict == kNein) {
    mark.note = "Der Ring im Fenster ist kein Varno-Ring; nichts ist markiert.";
    return mark;
  }
  for (int d = 0; d < ring.n; ++d) {
    if (evaluation.pairs[d].ties != 0) {
      mark.note =
          "Der Ring im Fenster hat gleiche Augen auf Nachbarwürfeln; solche Ringe zählt die "
          "Verteilung nicht, nichts ist markiert.";
      return mark;
    }
  }
  // Without ties a pair's losses are the pairs it does not win; read backwards, a ring "linksrum" wins
  // what it loses forwards.
  const int square = ring.k * ring.k;
  const bool forwards = verdict == kRechtsrum;
  mark.link = forwards ? evaluation.min : square - evaluation.max;
  mark.note = "Markiert: der Ring im Fenster" +
              std::string(forwards ? "" : " (linksrum, rückwärts gelesen)") +
              ", seine schwächste Stelle gewinnt " + plainDigits(*mark.link) + " von " + plainDigits(square) +
              " Paaren.";
  return mark;
}

}  // namespace varno
