#include "ring/evaluation.h"

#include <cmath>

#include "form/form.h"
#include "ring/ring.h"

namespace varno {

Evaluation evaluate(const Ring& ring) {
  Evaluation result;
  const int n = ring.n, k = ring.k;
  result.max = 0;
  result.min = k * k;
  bool forwards = true, backwards = true;
  for (int i = 0; i < n; ++i) {
    const PairScore score = pairScore(ring.die(i), ring.die(ring.next(i)), k);
    const int losses = k * k - score.wins - score.ties;
    result.pairs[i] = score;
    result.max = std::max(result.max, score.wins);
    result.min = std::min(result.min, score.wins);
    forwards = forwards && dieBeats(score.wins, losses);
    backwards = backwards && dieBeats(losses, score.wins);
  }
  result.verdict = forwards ? kRechtsrum : backwards ? kLinksrum : kNein;
  return result;
}

double winProbability(int wins, int k) {
  double probability = static_cast<double>(wins) / k;
  probability = probability / k;
  return std::floor(probability * 100) / 100;
}

void RingAuswerten(Form& form) {
  const Ring ring = readRing(form);
  const Evaluation result = evaluate(ring);
  const int n = ring.n, k = ring.k;
  const std::string pairsText = numberFormat(k * k);

  // The sums: whole faces of at most 15 digits, as the searches write them, add up exactly as doubles;
  // any others digit for digit, so that a large or long face does not turn its sum into a rounded number.
  for (int d = 0; d < n; ++d) {
    bool whole = !ring.ranked;
    double small = 0;
    for (int f = 0; f < k; ++f) {
      whole = whole && ring.values[d][f] == std::floor(ring.values[d][f]);
      small += ring.values[d][f];
    }
    if (whole && std::abs(small) < 1e15) {
      form.txtSumme[d].setText(plainNumber(small));
      continue;
    }
    Decimal sum;
    for (int f = 0; f < k; ++f) sum = sum + Decimal::of(face(form, d, f).text());
    form.txtSumme[d].setText(sum.plain());
  }
  for (int i = 0; i < n; ++i) {
    const PairScore& score = result.pairs[i];
    form.Text2[i].setText(plainDigits(score.ties));
    form.txtPGewinn[i].setText(numberFormat(score.wins) + "/" + pairsText);
    form.txtPGewinn[kDice + i].setText(numberFormat(winProbability(score.wins, k)));
  }

  if (!form.Freigabe) return;

  form.Picture1[2].setText(" " + numberFormat(result.min) + " /" + pairsText);
  form.Picture1[1].setText(" " + numberFormat(result.max) + " /" + pairsText);
  form.Picture1[0].setText("");
  form.txtRückmeldung.setText(result.verdict);
  if (result.verdict != kNein) form.Text3[1].setText(advancedCounter(form.Text3[1].text()));
}

}  // namespace varno
