#include "ring/evaluation.h"

#include <cmath>

#include "form/form.h"
#include "ring/ring.h"

namespace varno {

std::string advancedCounter(const std::string& text) {
  constexpr double kLargest = 9007199254740991.0;  // 2^53 - 1
  const double value = roundHalfEven(leadingNumber(text));
  if (value >= kLargest) return plainDigits(static_cast<std::int64_t>(kLargest));
  if (value < -kLargest) return plainDigits(static_cast<std::int64_t>(-kLargest));
  return plainDigits(static_cast<std::int64_t>(value) + 1);
}

void RingAuswerten(Form& form) {
  const int n = Würfelanzahl(form);
  const int k = Seitenzahl(form);

  double values[kDice][kFaces];
  for (int d = 0; d < n; ++d)
    for (int f = 0; f < k; ++f) values[d][f] = faceValue(form, d, f);

  for (int d = 0; d < n; ++d) {
    double sum = 0;
    for (int f = 0; f < k; ++f) sum += values[d][f];
    form.txtSumme[d].setText(plainNumber(sum));
  }

  const int pairs = k * k;
  int wins[kDice] = {}, ties[kDice] = {};
  int max = 0, min = 64;
  for (int i = 0; i < n; ++i) {
    const int j = i + 1 == n ? 0 : i + 1;
    for (int a = 0; a < k; ++a) {
      for (int b = 0; b < k; ++b) {
        if (values[i][a] > values[j][b]) ++wins[i];
        if (values[i][a] == values[j][b]) ++ties[i];
      }
    }
    if (wins[i] > max) max = wins[i];
    if (wins[i] < min) min = wins[i];
    form.Text2[i].setText(plainDigits(ties[i]));
    form.txtPGewinn[i].setText(numberFormat(wins[i]) + "/" + numberFormat(pairs));
    // In exactly this order, in double precision: 14 of 25 gives .55, 7 of 25 gives .27.
    double probability = static_cast<double>(wins[i]) / k;
    probability = probability / k;
    probability = std::floor(probability * 100) / 100;
    form.txtPGewinn[kDice + i].setText(numberFormat(probability));
  }

  if (!form.Freigabe) return;

  form.Picture1[2].setText(" " + numberFormat(min) + " /" + numberFormat(pairs));
  form.Picture1[1].setText(" " + numberFormat(max) + " /" + numberFormat(pairs));

  bool forwards = true, backwards = true;
  for (int i = 0; i < n; ++i) {
    const int losses = pairs - wins[i] - ties[i];
    forwards = forwards && wins[i] > losses;
    backwards = backwards && wins[i] < losses;
  }
  form.Picture1[0].setText("");
  if (forwards || backwards) {
    form.txtRückmeldung.setText(forwards ? kRechtsrum : kLinksrum);
    form.Text3[1].setText(advancedCounter(form.Text3[1].text()));
  } else {
    form.txtRückmeldung.setText(kNein);
  }
}

}  // namespace varno
