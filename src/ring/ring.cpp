#include "ring/ring.h"

#include <algorithm>
#include <vector>

namespace varno {

Ring readRing(const Form& form) {
  Ring ring;
  ring.n = Würfelanzahl(form);
  ring.k = Seitenzahl(form);
  // Faces of at most 15 digits, as the searches write them, compare as doubles exactly.
  bool exact = true;
  for (int d = 0; d < ring.n && exact; ++d) {
    for (int f = 0; f < ring.k && exact; ++f) {
      const std::optional<double> value = shortNumber(face(form, d, f).text());
      exact = value.has_value();
      ring.values[d][f] = value.value_or(0);
    }
  }
  if (exact) return ring;
  ring.ranked = true;
  // Otherwise every face with its place, in ascending order, digit for digit; then numbered by rank.
  std::vector<std::pair<Decimal, int>> faces;
  for (int d = 0; d < ring.n; ++d)
    for (int f = 0; f < ring.k; ++f) faces.emplace_back(Decimal::of(face(form, d, f).text()), kFaces * d + f);
  std::stable_sort(faces.begin(), faces.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  int rank = 0;
  for (std::size_t i = 0; i < faces.size(); ++i) {
    if (i > 0 && faces[i - 1].first < faces[i].first) ++rank;
    ring.values[faces[i].second / kFaces][faces[i].second % kFaces] = rank;
  }
  return ring;
}

}  // namespace varno
