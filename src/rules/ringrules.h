// The rules of a ring of dice, in one place for every part of the program: the sizes a ring may have,
// when a die beats its successor, and how many lost face pairs a won pair can bear.
#pragma once

namespace varno {

// A ring has 3 to 8 dice of 1 to 8 faces each.
constexpr int kMinDice = 3;
constexpr int kMaxDice = 8;
constexpr int kMinFaces = 1;
constexpr int kMaxFaces = 8;

constexpr bool isRingSize(int dice, int faces) {
  return dice >= kMinDice && dice <= kMaxDice && faces >= kMinFaces && faces <= kMaxFaces;
}

// One face beats another when its value is larger.
template <typename Value>
constexpr bool faceBeats(const Value& face, const Value& other) {
  return face > other;
}

// A die beats the next one when, of the k*k pairs of one face of each, it wins more than it loses; tied
// pairs count for neither side.
constexpr bool dieBeats(int wins, int losses) {
  return wins > losses;
}

// The wins and ties of a die over another, face pair by face pair.
struct PairScore {
  int wins = 0;
  int ties = 0;
};

template <typename Value>
constexpr PairScore pairScore(const Value* die, const Value* next, int faces) {
  PairScore score;
  for (int a = 0; a < faces; ++a) {
    for (int b = 0; b < faces; ++b) {
      if (faceBeats(die[a], next[b])) ++score.wins;
      if (die[a] == next[b]) ++score.ties;
    }
  }
  return score;
}

// How many faces of a die one face beats.
template <typename Value>
constexpr int facesBeaten(const Value& face, const Value* die, int faces) {
  int beaten = 0;
  for (int g = 0; g < faces; ++g)
    if (faceBeats(face, die[g])) ++beaten;
  return beaten;
}

// The most pairs a die can lose to the next and still beat it when no pair is tied (the numbers of a
// labelling are all different): losses + wins = k*k, so it beats the next die while its losses stay below
// half, at most floor((k*k - 1) / 2).
constexpr int lossLimit(int faces) {
  return (faces * faces - 1) / 2;
}

// The two rules agree: for every number of faces, lossLimit is the most losses that still beat.
constexpr bool lossLimitAgreesWithTheWinRule() {
  for (int k = kMinFaces; k <= kMaxFaces; ++k) {
    const int limit = lossLimit(k);
    if (!dieBeats(k * k - limit, limit) || dieBeats(k * k - limit - 1, limit + 1)) return false;
  }
  return true;
}
static_assert(lossLimitAgreesWithTheWinRule());

}  // namespace varno
