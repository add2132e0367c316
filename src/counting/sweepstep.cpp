// A step's plan, and from the plans of every step what a sweep needs.
#include "counting/sweepstep.h"

#include <algorithm>
#include <cstdint>
#include <functional>

#include "counting/storage.h"
#include "counting/sweep.h"

namespace varno {

namespace sweep {

namespace {

void addTransfers(const CountPlan& plan, int layer, std::uint32_t block, Job& job,
                  std::vector<Transfer>& out) {
  job.block = block;
  job.first = static_cast<std::uint32_t>(out.size());
  const std::uint32_t counts = plan.blocks(layer)[block].counts;
  for (int j = 0; j < plan.dice(); ++j) {
    if (CountPlan::countOf(counts, j) == 0) continue;
    const CountPlan::Block* source =
        plan.find(layer - 1, plan.canonical(CountPlan::removeFace(counts, j), nullptr));
    if (source == nullptr) continue;
    out.push_back(
        Transfer{static_cast<std::uint32_t>(plan.indexOf(layer - 1, source)), static_cast<std::uint32_t>(j)});
  }
  job.count = static_cast<std::uint32_t>(out.size()) - job.first;
}

}  // namespace

std::pair<std::uint32_t, int> mirrorOf(const CountPlan& plan, int layer, std::uint32_t block) {
  const int mirrorLayer = plan.dice() * plan.faces() - layer;
  const CountPlan::Block* mirror =
      plan.find(mirrorLayer, plan.canonical(plan.mirror(plan.blocks(layer)[block].counts), nullptr));
  if (mirror == nullptr) return {kNone, mirrorLayer};
  return {static_cast<std::uint32_t>(plan.indexOf(mirrorLayer, mirror)), mirrorLayer};
}

Step buildStep(const CountPlan& plan, const Partition& partition, bool meet, int layer, int rank) {
  Step step;
  step.layer = layer;
  step.meeting = meet && layer == CountPlan::meetingLayer(plan.dice(), plan.faces());
  const auto count = static_cast<std::uint32_t>(plan.blocks(layer).size());
  for (std::uint32_t block = 0; block < count; ++block) {
    if (partition.owner(layer, block) != rank) continue;
    if (!step.meeting) {
      Job job;
      addTransfers(plan, layer, block, job, step.transfers);
      step.jobs.push_back(job);
      continue;
    }
    const auto [mirror, mirrorLayer] = mirrorOf(plan, layer, block);
    if (mirror == kNone) continue;
    Job own;
    Job partner;
    Partner kind = Partner::Stored;
    if (mirrorLayer == layer) {
      if (mirror < block) continue;  // the job of the mirror covers this block
      kind = mirror == block ? Partner::Same : Partner::Built;
    }
    addTransfers(plan, layer, block, own, step.transfers);
    if (kind == Partner::Built) {
      addTransfers(plan, layer, mirror, partner, step.transfers);
    } else {
      partner.block = mirror;
    }
    step.jobs.push_back(own);
    step.partners.push_back(partner);
    step.kinds.push_back(kind);
  }
  return step;
}

std::vector<std::uint32_t> sourcesOf(const Step& step) {
  std::vector<std::uint32_t> sources;
  for (const Transfer& transfer : step.transfers) sources.push_back(transfer.source);
  for (std::size_t i = 0; i < step.kinds.size(); ++i) {
    if (step.kinds[i] == Partner::Stored) sources.push_back(step.partners[i].block);
  }
  std::sort(sources.begin(), sources.end());
  sources.erase(std::unique(sources.begin(), sources.end()), sources.end());
  return sources;
}

std::uint64_t jobWork(const CountPlan& plan, const Step& step, std::size_t i) {
  const int below = step.layer - 1;
  auto transfersWork = [&](const Job& job) {
    std::uint64_t work = plan.blocks(step.layer)[job.block].cells;
    for (std::uint32_t t = job.first; t < job.first + job.count; ++t) {
      work += plan.blocks(below)[step.transfers[t].source].cells;
    }
    return work;
  };
  std::uint64_t work = transfersWork(step.jobs[i]);
  if (!step.meeting) return work;
  const std::uint64_t own = plan.blocks(step.layer)[step.jobs[i].block].cells;
  switch (step.kinds[i]) {
    case Partner::Same:
      return work + kMeetingWork * own;
    case Partner::Built:
      return work + transfersWork(step.partners[i]) +
             kMeetingWork * (own + plan.blocks(step.layer)[step.partners[i].block].cells);
    case Partner::Stored:
      return work + kMeetingWork * (own + plan.blocks(below)[step.partners[i].block].cells);
  }
  return work;
}

std::vector<std::uint64_t> scratchOf(const CountPlan& plan, const Step& step) {
  std::vector<std::uint64_t> scratch;
  for (std::size_t i = 0; i < step.jobs.size(); ++i) {
    const std::uint64_t own = plan.blocks(step.layer)[step.jobs[i].block].cells;
    const int partnerLayer = step.kinds[i] == Partner::Stored ? step.layer - 1 : step.layer;
    const std::uint64_t partner =
        step.kinds[i] == Partner::Same ? 0 : plan.blocks(partnerLayer)[step.partners[i].block].cells;
    scratch.push_back(own + partner + std::max(own, partner));
  }
  std::sort(scratch.begin(), scratch.end(), std::greater<>());
  if (scratch.size() > kScratchKept) scratch.resize(kScratchKept);
  return scratch;
}

std::uint64_t peakOf(const CountPlan& plan, const Partition& partition, const Step& step, int rank) {
  const int below = step.layer - 1;
  std::vector<std::size_t> lastReader(plan.blocks(below).size(), SIZE_MAX);
  for (std::size_t i = 0; i < step.jobs.size(); ++i) {
    const Job* jobs[] = {&step.jobs[i], step.meeting ? &step.partners[i] : nullptr};
    for (const Job* job : jobs) {
      if (job == nullptr) continue;
      for (std::uint32_t t = job->first; t < job->first + job->count; ++t)
        lastReader[step.transfers[t].source] = i;
    }
    if (step.meeting && step.kinds[i] == Partner::Stored) lastReader[step.partners[i].block] = i;
  }
  std::vector<std::vector<std::uint32_t>> freedAfter(step.jobs.size());
  std::uint64_t held = partition.localCells(below, rank);
  for (std::uint32_t block = 0; block < lastReader.size(); ++block) {
    const bool own = partition.owner(below, block) == rank;
    if (lastReader[block] != SIZE_MAX) {
      if (!own) held += plan.blocks(below)[block].cells;
      freedAfter[lastReader[block]].push_back(block);
    }
  }
  std::uint64_t peak = held;
  for (std::size_t i = 0; i < step.jobs.size(); ++i) {
    if (!step.meeting) held += plan.blocks(step.layer)[step.jobs[i].block].cells;
    peak = std::max(peak, held);
    for (std::uint32_t block : freedAfter[i]) held -= plan.blocks(below)[block].cells;
  }
  return peak;
}

}  // namespace sweep

using sweep::buildStep;
using sweep::Job;
using sweep::jobWork;
using sweep::kMeetingWork;
using sweep::kScratchKept;
using sweep::Partner;
using sweep::peakOf;
using sweep::scratchOf;
using sweep::sourcesOf;
using sweep::Step;

LayerSweep::Needs LayerSweep::needs(const CountPlan& plan, const Partition& partition, bool meet, int rank,
                                    const std::function<bool()>& stop) {
  Needs needs;
  const int last = lastStoredLayer(plan, meet) + (meet ? 1 : 0);
  needs.stepWork.assign(last + 1, 0);
  std::uint64_t keptMost = 0;  // the largest layer below the one being built: a count may keep any of them
  for (int layer = 1; layer <= last; ++layer) {
    if (stop && stop()) throw CountCancelled{};
    keptMost = std::max(keptMost, partition.localCells(layer - 1, rank));
    const Step step = buildStep(plan, partition, meet, layer, rank);
    std::uint64_t foreign = 0;
    for (std::uint32_t block : sourcesOf(step)) {
      if (partition.owner(layer - 1, block) != rank) foreign += plan.blocks(layer - 1)[block].cells;
    }
    const std::uint64_t built = step.meeting ? 0 : partition.localCells(layer, rank);
    const std::uint64_t peak = peakOf(plan, partition, step, rank);
    needs.memoryCells = std::max(needs.memoryCells, peak);
    needs.diskCells = std::max(needs.diskCells, peak);
    // A layer is kept unpacked, beside the layers being built; while a kept layer replaces the one kept
    // before, both lie beside the layer just built.
    needs.layerCells = std::max({needs.layerCells, peak + keptMost, 2 * built + keptMost});
    needs.receivedCells += foreign;
    // Own sources are read, copies received are written and read, targets are written.
    needs.diskTraffic += partition.localCells(layer - 1, rank) + 2 * foreign + built;
    for (std::size_t i = 0; i < step.jobs.size(); ++i) {
      needs.stepWork[layer] += jobWork(plan, step, i);
      std::uint64_t job = step.meeting ? 0 : plan.blocks(layer)[step.jobs[i].block].cells;
      std::vector<std::uint32_t> read;
      const Job* jobs[] = {&step.jobs[i], step.meeting ? &step.partners[i] : nullptr};
      for (const Job* part : jobs) {
        if (part == nullptr) continue;
        for (std::uint32_t t = part->first; t < part->first + part->count; ++t)
          read.push_back(step.transfers[t].source);
      }
      if (step.meeting && step.kinds[i] == Partner::Stored) read.push_back(step.partners[i].block);
      std::sort(read.begin(), read.end());
      read.erase(std::unique(read.begin(), read.end()), read.end());
      for (std::uint32_t block : read) job += plan.blocks(layer - 1)[block].cells;
      needs.jobCells = std::max(needs.jobCells, job);
    }
    if (step.meeting) needs.scratch = scratchOf(plan, step);
  }
  return needs;
}

LayerSweep::Needs LayerSweep::quickNeeds(const CountPlan& plan, bool meet) {
  Needs needs;
  const int n = plan.dice();
  const int k = plan.faces();
  const int last = lastStoredLayer(plan, meet) + (meet ? 1 : 0);
  const int meetingLayer = CountPlan::meetingLayer(n, k);
  const bool odd = (n * k) % 2 != 0;
  // With one process every block is built once: its transfers read plan.stepWork(m) source cells.
  needs.stepWork.assign(last + 1, 0);
  std::vector<std::pair<std::uint64_t, int>> bounds;  // (most held without giving back, step)
  for (int layer = 1; layer <= last; ++layer) {
    needs.stepWork[layer] = plan.stepWork(layer) + plan.cells(layer);
    const bool meeting = meet && layer == meetingLayer;
    if (meeting)
      needs.stepWork[layer] += kMeetingWork * (plan.cells(layer) + (odd ? plan.cells(layer - 1) : 0));
    bounds.emplace_back(plan.cells(layer - 1) + (meeting ? 0 : plan.cells(layer)), layer);
  }
  // The fullest steps, in the order in which they could hold the most; a step that cannot beat the peak
  // found so far even without giving anything back is not looked at. Jobs run in the plan's order, so a
  // source is read for the last time by the largest of its targets "source plus one face on die j".
  std::sort(bounds.begin(), bounds.end(), std::greater<>());
  for (const auto& [bound, layer] : bounds) {
    if (bound <= needs.memoryCells) break;
    const bool meeting = meet && layer == meetingLayer;
    const auto& sources = plan.blocks(layer - 1);
    const auto& targets = plan.blocks(layer);
    std::vector<std::uint64_t> freed(targets.size(), 0);  // source cells given back after each target
    for (const CountPlan::Block& source : sources) {
      std::uint32_t lastReader = 0;
      bool read = false;
      for (int j = 0; j < n; ++j) {
        const int c = CountPlan::countOf(source.counts, j);
        if (c == k) continue;
        // The new face changes the pairs (j-1, j) and (j, j+1) only.
        const int before = CountPlan::countOf(source.counts, (j + n - 1) % n);
        const int after = CountPlan::countOf(source.counts, (j + 1) % n);
        if ((k - c - 1) * before > plan.lossLimit() || (k - after) * (c + 1) > plan.lossLimit()) continue;
        lastReader = std::max(lastReader, plan.canonical(CountPlan::addFace(source.counts, j), nullptr));
        read = true;
      }
      if (!read) continue;
      freed[plan.indexOf(layer, plan.find(layer, lastReader))] += source.cells;
    }
    std::uint64_t held = plan.cells(layer - 1);
    std::uint64_t peak = held;
    for (std::size_t t = 0; t < targets.size(); ++t) {
      if (!meeting) held += targets[t].cells;
      peak = std::max(peak, held);
      held -= freed[t];
    }
    needs.memoryCells = std::max(needs.memoryCells, peak);
  }
  if (meet) {
    // The meeting step's room per job, at most three times the larger of its block and mirror.
    for (int layer : {meetingLayer, odd ? meetingLayer - 1 : meetingLayer}) {
      for (const CountPlan::Block& block : plan.blocks(layer)) needs.scratch.push_back(3 * block.cells);
    }
    std::sort(needs.scratch.begin(), needs.scratch.end(), std::greater<>());
    if (needs.scratch.size() > kScratchKept) needs.scratch.resize(kScratchKept);
  }
  return needs;
}

std::uint64_t LayerSweep::Needs::scratchCells(unsigned threads) const {
  std::uint64_t cells = 0;
  for (std::size_t i = 0; i < scratch.size() && i < threads; ++i) cells += scratch[i];
  return cells;
}

}  // namespace varno
