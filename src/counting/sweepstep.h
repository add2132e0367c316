// A step's plan: which blocks one process builds for a layer of a LayerSweep, from which source blocks,
// and what running it costs in work and cells.
#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

#include "counting/countplan.h"
#include "counting/partition.h"

namespace varno::sweep {

constexpr std::uint32_t kNone = ~0u;
// Work units of a state built in the meeting step besides its transfers: the copy, the prefix sums and
// the lookup of its partner.
constexpr std::uint64_t kMeetingWork = 1;

// A source block a target takes from: the target minus one face on `die`.
struct Transfer {
  std::uint32_t source = kNone;  // block index in the layer below
  std::uint32_t die = 0;
};

// Building one block from its transfers.
struct Job {
  std::uint32_t block = kNone;
  std::uint32_t first = 0;  // transfers [first, first + count)
  std::uint32_t count = 0;
};

// In the meeting step, what a job's block C is joined with: itself, its mirror D built alongside (both
// of the meeting layer), or D read from the layer below.
enum class Partner { Same, Built, Stored };

// The work of one process in building one layer (or in the meeting step).
struct Step {
  int layer = 0;
  bool meeting = false;
  std::vector<Job> jobs;  // in the plan's order
  std::vector<Job> partners;
  std::vector<Partner> kinds;
  std::vector<Transfer> transfers;
};

// The mirror of a meeting-layer block and the layer it lies in; kNone if it cannot lead to a ring.
std::pair<std::uint32_t, int> mirrorOf(const CountPlan& plan, int layer, std::uint32_t block);

// The jobs of process `rank` in building `layer`.
Step buildStep(const CountPlan& plan, const Partition& partition, bool meet, int layer, int rank);

// The blocks of the layer below that a step reads, sorted.
std::vector<std::uint32_t> sourcesOf(const Step& step);

// Calls visit(block) for every block of the layer below that job i reads (a block may come twice).
template <typename Visit>
void forEachSource(const Step& step, std::size_t i, Visit&& visit) {
  for (const Job* job : {&step.jobs[i], step.meeting ? &step.partners[i] : nullptr}) {
    if (job == nullptr || job->count == 0) continue;
    for (std::uint32_t t = job->first; t < job->first + job->count; ++t) visit(step.transfers[t].source);
  }
  if (step.meeting && step.kinds[i] == Partner::Stored) visit(step.partners[i].block);
}

std::uint64_t jobWork(const CountPlan& plan, const Step& step, std::size_t i);

constexpr std::size_t kScratchKept = 256;  // largest meeting jobs remembered for the estimate

// The room each meeting job needs, largest first: its block C, its mirror D (unless C is its own
// mirror), and a copy of the larger to sum up.
std::vector<std::uint64_t> scratchOf(const CountPlan& plan, const Step& step);

// The most cells held at once while a step runs its jobs in order: the sources it reads (own and
// received) until their last reader is done, and the targets built so far.
std::uint64_t peakOf(const CountPlan& plan, const Partition& partition, const Step& step, int rank);

}  // namespace varno::sweep
