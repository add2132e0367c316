// The kernels of a LayerSweep, for R residues per cell: moving the states of a source block into a
// target, and in the meeting step summing a block over smaller loss vectors and joining it with its
// mirror. They look at the cancel flag now and then and throw CountCancelled when it is set.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <type_traits>

#include "counting/countplan.h"
#include "counting/modular.h"
#include "counting/storage.h"
#include "counting/sweep.h"

namespace varno::sweep {

using Primes = std::array<std::uint32_t, Modular::kMaxPrimes>;

inline void checkCancel(const SweepControl& control) {
  if (control.cancel != nullptr && control.cancel->load(std::memory_order_relaxed)) throw CountCancelled{};
}

inline void addDone(const SweepControl& control, std::uint64_t work) {
  if (control.done != nullptr && work != 0)
    control.done->fetch_add(work * control.unit, std::memory_order_relaxed);
}

// Calls run(std::integral_constant<int, R>{}) with R = residues, so that the kernels it calls are made
// for that many residues per cell (1..Modular::kMaxPrimes).
template <typename Run>
void withResidues(int residues, Run&& run) {
  switch (residues) {
    case 1:
      return run(std::integral_constant<int, 1>{});
    case 2:
      return run(std::integral_constant<int, 2>{});
    case 3:
      return run(std::integral_constant<int, 3>{});
    case 4:
      return run(std::integral_constant<int, 4>{});
    case 5:
      return run(std::integral_constant<int, 5>{});
    default:
      return run(std::integral_constant<int, 6>{});
  }
}

// One source coordinate with at least two values, as seen by a single transfer or lookup.
struct Axis {
  int values = 0;  // leading source values that take part
  std::uint64_t sourceStride = 0;
  std::array<std::int64_t, 40> offset{};  // target cell offset per value
};

struct Axes {
  std::array<Axis, CountPlan::kMaxDice> axis;
  int count = 0;
  std::int64_t base = 0;
};

// Calls visit(first source cell, run length, axis 0, target offset of the run) for every run of the
// source block along its first axis.
template <typename Visit>
void forEachRun(const Axes& axes, const SweepControl& control, Visit&& visit) {
  std::array<int, CountPlan::kMaxDice> index{};
  std::uint64_t runs = 0;
  for (;;) {
    std::int64_t outer = axes.base;
    std::uint64_t first = 0;
    for (int d = 1; d < axes.count; ++d) {
      outer += axes.axis[d].offset[index[d]];
      first += static_cast<std::uint64_t>(index[d]) * axes.axis[d].sourceStride;
    }
    visit(first, outer);
    if ((++runs & 63) == 0) checkCancel(control);
    int d = 1;
    while (d < axes.count && ++index[d] == axes.axis[d].values) index[d++] = 0;
    if (d >= axes.count) break;
  }
}

// Axes of a block seen on its own: every coordinate with more than one value.
inline void addAxis(Axes& axes, const Axis& axis, int sourceValues) {
  if (sourceValues == 1) {
    axes.base += axis.offset[0];
  } else {
    axes.axis[axes.count++] = axis;
  }
}

inline void closeAxes(Axes& axes) {
  if (axes.count == 0) {
    axes.axis[0] = Axis{};
    axes.axis[0].values = 1;
    axes.axis[0].sourceStride = 1;
    axes.count = 1;
  }
}

inline std::array<std::int64_t, CountPlan::kMaxDice> stridesOf(const CountPlan& plan,
                                                               const CountPlan::Block& block) {
  std::array<std::int64_t, CountPlan::kMaxDice> stride{};
  std::int64_t s = 1;
  for (int p = 0; p < plan.dice(); ++p) {
    stride[p] = s;
    s *= block.dims[p];
  }
  return stride;
}

// How the states of source block "target minus one face on die j" move into the target block; false if
// none of them survives.
inline bool transferAxes(const CountPlan& plan, const CountPlan::Block& target, int j,
                         const CountPlan::Block& source, Axes& axes) {
  const int n = plan.dice();
  const int k = plan.faces();
  const int limit = plan.lossLimit();
  const std::uint32_t counts = CountPlan::removeFace(target.counts, j);
  int rotation = 0;
  plan.canonical(counts, &rotation);
  const auto targetStride = stridesOf(plan, target);
  // The source block is stored in canonical order: its pair q is pair (q + rotation) of `counts`.
  std::uint64_t sourceStride = 1;
  const int before = (j + n - 1) % n;
  for (int q = 0; q < n; ++q) {
    const int p = (q + rotation) % n;
    const int a = CountPlan::countOf(counts, p);
    const int b = CountPlan::countOf(counts, (p + 1) % n);
    const int sourceValues = source.dims[q];
    Axis axis;
    axis.sourceStride = sourceStride;
    sourceStride *= static_cast<std::uint64_t>(sourceValues);
    for (int v = 0; v < sourceValues; ++v) {
      std::int64_t offset = 0;
      if (p == before) {
        // Die j's new face beats every face of die j-1: their pair's losses grow by a. Once die j is
        // full the pair is decided (and won: the source's range kept v + a within the limit).
        if (a > 0 && a < k && b + 1 < k) offset = (v + a) * targetStride[p];
      } else if (p == j) {
        // Every face die j+1 still gets beats the new face: the losses certain grow by k - b.
        if (b > 0 && b < k) {
          if (v + (k - b) * (a + 1) > limit) break;
          if (a + 1 < k) offset = v * targetStride[p];
        }
      } else {
        offset = v * targetStride[p];
      }
      axis.offset[v] = offset;
      axis.values = v + 1;
    }
    if (axis.values == 0) return false;
    addAxis(axes, axis, sourceValues);
  }
  closeAxes(axes);
  return true;
}

template <int R>
void moveStates(const CountPlan& plan, const CountPlan::Block& target, int j, const CountPlan::Block& source,
                const std::uint32_t* from, std::uint32_t* to, const Primes& primes,
                const SweepControl& control) {
  Axes axes;
  if (!transferAxes(plan, target, j, source, axes)) return;
  const Axis& inner = axes.axis[0];
  forEachRun(axes, control, [&](std::uint64_t first, std::int64_t outer) {
    const std::uint32_t* in = from + first * R;
    for (int v = 0; v < inner.values; ++v, in += R) {
      std::uint32_t* out = to + (outer + inner.offset[v]) * R;
      for (int r = 0; r < R; ++r) out[r] = Modular::add(out[r], in[r], primes[r]);
    }
  });
}

// Clears or copies large blocks in slices, looking at the cancel flag between them.
constexpr std::uint64_t kSliceCells = std::uint64_t{1} << 18;

inline void clearCells(std::uint32_t* cells, std::uint64_t count, const SweepControl& control) {
  for (std::uint64_t start = 0; start < count; start += kSliceCells) {
    checkCancel(control);
    std::fill_n(cells + start, std::min(kSliceCells, count - start), 0u);
  }
}

inline void copyCells(const std::uint32_t* from, std::uint64_t count, std::uint32_t* to,
                      const SweepControl& control) {
  for (std::uint64_t start = 0; start < count; start += kSliceCells) {
    checkCancel(control);
    std::copy_n(from + start, std::min(kSliceCells, count - start), to + start);
  }
}

// Sums a block over all smaller loss vectors, in place: afterwards cell x holds the sum of the cells
// y <= x, pair by pair.
template <int R>
void prefixSums(const CountPlan& plan, const CountPlan::Block& block, std::uint32_t* cells,
                const Primes& primes, const SweepControl& control) {
  std::uint64_t stride = 1;
  std::uint64_t sinceLook = 0;
  for (int p = 0; p < plan.dice(); ++p) {
    const std::uint64_t dim = block.dims[p];
    if (dim > 1) {
      const std::uint64_t span = stride * dim;
      for (std::uint64_t high = 0; high < block.cells; high += span) {
        for (std::uint64_t c = 1; c < dim; ++c) {
          if ((sinceLook += stride) >= kSliceCells) {
            checkCancel(control);
            sinceLook = 0;
          }
          std::uint32_t* row = cells + (high + c * stride) * R;
          const std::uint32_t* previous = row - stride * R;
          for (std::uint64_t i = 0; i < stride * R; i += R) {
            for (int r = 0; r < R; ++r) row[i + r] = Modular::add(row[i + r], previous[i + r], primes[r]);
          }
        }
      }
    }
    stride *= dim;
  }
}

// The sum over the states x of block C (counts `own`) of C[x] * S[y], where S is the prefix-summed
// mirror block D and y is, pair by pair, the most losses the numbers above may add to x's and keep the
// pair won.
template <int R>
void joinHalves(const CountPlan& plan, const CountPlan::Block& own, const std::uint32_t* ownCells,
                const CountPlan::Block& mirror, const std::uint32_t* sums, const Primes& primes,
                std::array<std::uint64_t, R>& total, const SweepControl& control) {
  const int n = plan.dice();
  int rotation = 0;
  plan.canonical(plan.mirror(own.counts), &rotation);
  const auto mirrorStride = stridesOf(plan, mirror);
  Axes axes;
  std::uint64_t stride = 1;
  for (int q = 0; q < n; ++q) {
    const int a = CountPlan::countOf(own.counts, q);
    const int b = CountPlan::countOf(own.counts, (q + 1) % n);
    // Pair q of C is pair mirrorPair(q) of the mirror, stored at (mirrorPair(q) - rotation) in D.
    const int partner = (plan.mirrorPair(q) - rotation + n) % n;
    const int values = own.dims[q];
    Axis axis;
    axis.sourceStride = stride;
    stride *= static_cast<std::uint64_t>(values);
    for (int v = 0; v < values; ++v) {
      // The pair is won while its losses, v here and those above, stay within room(a, b). Pairs
      // without a coordinate here have none in D either, and add nothing.
      axis.offset[v] = std::min(plan.room(a, b) - v, mirror.dims[partner] - 1) * mirrorStride[partner];
    }
    axis.values = values;
    addAxis(axes, axis, values);
  }
  closeAxes(axes);
  const Axis& inner = axes.axis[0];
  std::array<std::uint64_t, R> sum{};
  forEachRun(axes, control, [&](std::uint64_t first, std::int64_t outer) {
    const std::uint32_t* in = ownCells + first * R;
    for (int v = 0; v < inner.values; ++v, in += R) {
      const std::uint32_t* partner = sums + (outer + inner.offset[v]) * R;
      for (int r = 0; r < R; ++r) {
        // Each product is below 2^62, so one may be added to a sum below 2^63.
        sum[r] += static_cast<std::uint64_t>(in[r]) * partner[r];
        if (sum[r] >> 63) sum[r] %= primes[r];
      }
    }
  });
  const std::uint64_t weight = static_cast<std::uint64_t>(plan.rotations(own.counts));
  for (int r = 0; r < R; ++r) total[r] = (total[r] + sum[r] % primes[r] * weight) % primes[r];
}

}  // namespace varno::sweep
