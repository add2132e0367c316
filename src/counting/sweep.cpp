#include "counting/sweep.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <exception>
#include <mutex>
#include <span>
#include <stdexcept>
#include <thread>

#include "counting/layerstore.h"
#include "counting/storage.h"
#include "counting/sweepkernels.h"
#include "counting/sweepstep.h"
#include "counting/threads.h"

namespace varno {

using sweep::addDone;
using sweep::buildStep;
using sweep::checkCancel;
using sweep::clearCells;
using sweep::copyCells;
using sweep::forEachSource;
using sweep::Job;
using sweep::joinHalves;
using sweep::kMeetingWork;
using sweep::kNone;
using sweep::moveStates;
using sweep::Partner;
using sweep::prefixSums;
using sweep::sourcesOf;
using sweep::Step;
using sweep::Transfer;

namespace {

constexpr std::uint64_t kCellBytes = sizeof(std::uint32_t);
// Bytes sent to one process in one round of an exchange.
constexpr std::uint64_t kExchangeSlice = std::uint64_t{64} << 20;

// Pages of scratch room beyond this are given back after each job, so that a thread holds no more than
// the job it runs.
constexpr std::uint64_t kScratchKeptBytes = std::uint64_t{64} << 20;

}  // namespace

// ---- The sweep.

struct LayerSweep::Impl {
  const CountPlan& plan;
  const Partition& partition;
  SweepSettings settings;
  SweepControl control;
  int rank = 0;
  int processes = 1;

  // This process's blocks of the layer below the one being built, and copies of other processes'
  // blocks that it reads.
  int layer = 0;  // the layer held in `current`
  Arena current;
  Arena incoming;
  LayerStore currentStore;
  LayerFile incomingFile;
  bool currentKept = false;  // the store of `current` is a layer kept for resuming: no holes in it
  std::vector<std::uint64_t> incomingOffset;  // per block of the layer below: cells into `incoming`
  std::uint64_t incomingHeld = 0;             // bytes of `incomingFile` not given back
  std::uint64_t diskPeak = 0;                 // the most bytes the layer files held at once, unpacked

  Impl(const CountPlan& p, const Partition& part, SweepSettings s, SweepControl c)
      : plan(p), partition(part), settings(std::move(s)), control(c) {
    if (settings.exchange != nullptr) {
      rank = settings.exchange->rank();
      processes = settings.exchange->processes();
    }
    if (settings.residues < 1 || settings.residues > Modular::kMaxPrimes) {
      throw std::invalid_argument("LayerSweep: 1 to 6 primes at once");
    }
  }

  std::uint64_t cellBytes() const { return kCellBytes * static_cast<std::uint64_t>(settings.residues); }
  bool onDisk() const { return settings.storage == Storage::Disk; }
  std::uint64_t pieceBytes() const {
    return settings.pieceBytes != 0 ? settings.pieceBytes : LayerStore::kPieceBytes;
  }

  std::vector<std::uint32_t> run(const std::optional<SavedLayer>& from, const LayerFinished& finished) {
    const int last = lastStoredLayer(plan, settings.meet);
    if (from) {
      resumeFrom(*from);
    } else {
      start();
    }
    for (int next = layer + 1; next <= last; ++next) {
      build(buildStep(plan, partition, settings.meet, next, rank));
      if (finished && next < plan.layerCount() - 1) {
        finished(next, [&](const std::string& path) { keep(path); });
      }
    }
    std::vector<std::uint64_t> total(settings.residues, 0);
    if (settings.meet) {
      total = meet(buildStep(plan, partition, true, last + 1, rank));
    } else if (partition.owner(last, 0) == rank) {
      readCell(last, total);
    }
    return finish(total);
  }

  std::vector<std::uint32_t> finish(std::vector<std::uint64_t>& total) {
    if (settings.exchange != nullptr) settings.exchange->sum(total);
    std::vector<std::uint32_t> residues(settings.residues);
    for (int r = 0; r < settings.residues; ++r)
      residues[r] = static_cast<std::uint32_t>(total[r] % settings.primes[r]);
    return residues;
  }

  // Layer 0: the empty word, once.
  void start() {
    layer = 0;
    const std::uint64_t cells = partition.localCells(0, rank);
    std::vector<std::uint32_t> one(settings.residues, 1);
    if (settings.negate)
      for (int r = 0; r < settings.residues; ++r) one[r] = settings.primes[r] - 1;
    if (onDisk()) {
      currentStore = LayerStore(LayerFile::create(settings.directory), plan.blocks(0).size(), pieceBytes());
      if (cells > 0) {
        const LayerStore::Place place{0, reinterpret_cast<std::byte*>(one.data()), cellBytes()};
        currentStore.put({&place, 1}, 1, control.cancel);
      }
      noteDisk(LayerStore());
      currentKept = false;
    } else {
      current = Arena(std::max<std::uint64_t>(1, cells) * cellBytes());
      if (cells > 0) std::memcpy(current.data(), one.data(), cellBytes());
    }
  }

  void resumeFrom(const SavedLayer& saved) {
    layer = saved.layer;
    LayerFile file = saved.file.duplicate();
    if (onDisk()) {
      // A kept layer lies as the memory holds it, block after block.
      std::vector<std::pair<std::uint64_t, std::uint64_t>> extents(plan.blocks(layer).size(), {0, 0});
      for (std::uint32_t block = 0; block < extents.size(); ++block) {
        if (partition.owner(layer, block) != rank) continue;
        extents[block] = {partition.localOffset(layer, block) * cellBytes(),
                          plan.blocks(layer)[block].cells * cellBytes()};
      }
      currentStore = LayerStore::unpacked(std::move(file), extents);
      currentKept = true;
    } else {
      const std::uint64_t bytes = partition.localCells(layer, rank) * cellBytes();
      current = Arena(std::max<std::uint64_t>(1, bytes));
      file.read(0, current.data(), bytes, control.cancel);
    }
  }

  void keep(const std::string& path) {
    // Kept unpacked, as the memory holds the layer, so that every kept layer reads alike.
    LayerFile file = LayerFile::create(settings.directory);
    if (onDisk()) {
      std::vector<std::byte> piece(LayerStore::kPieceBytes);
      for (std::uint32_t block = 0; block < plan.blocks(layer).size(); ++block) {
        if (partition.owner(layer, block) != rank) continue;
        const std::uint64_t offset = partition.localOffset(layer, block) * cellBytes();
        const std::uint64_t bytes = plan.blocks(layer)[block].cells * cellBytes();
        for (std::uint64_t from = 0; from < bytes; from += piece.size()) {
          const std::uint64_t length = std::min<std::uint64_t>(piece.size(), bytes - from);
          currentStore.read(block, from, piece.data(), length, control.cancel);
          file.write(offset + from, piece.data(), length, control.cancel);
        }
      }
    } else {
      file.write(0, current.data(), partition.localCells(layer, rank) * cellBytes(), control.cancel);
    }
    file.keepAs(path);
  }

  void readCell(int at, std::vector<std::uint64_t>& total) {
    std::vector<std::uint32_t> cell(settings.residues);
    if (onDisk()) {
      currentStore.read(0, 0, reinterpret_cast<std::byte*>(cell.data()), cellBytes(), control.cancel);
    } else {
      std::memcpy(cell.data(), current.data() + partition.localOffset(at, 0) * cellBytes(), cellBytes());
    }
    for (int r = 0; r < settings.residues; ++r) total[r] = cell[r];
  }

  // ---- Sources of a step.

  // Fetches the blocks of other processes that the step reads into `incoming` (or its file), and sends
  // this process's blocks to those that read them.
  void exchangeSources(const Step& step) {
    incomingOffset.assign(plan.blocks(step.layer - 1).size(), kNone);
    if (settings.exchange == nullptr) return;
    const int below = step.layer - 1;
    const auto& blocks = plan.blocks(below);
    // Which blocks each process reads, from its jobs.
    std::vector<std::vector<std::uint32_t>> reads(processes);
    for (int other = 0; other < processes; ++other) {
      if (other == rank) {
        reads[other] = sourcesOf(step);
      } else {
        reads[other] = sourcesOf(buildStep(plan, partition, settings.meet, step.layer, other));
      }
    }
    std::vector<std::vector<std::uint32_t>> sendBlocks(processes);
    std::vector<std::vector<std::uint32_t>> receiveBlocks(processes);
    std::vector<std::uint64_t> sendBytes(processes, 0);
    std::vector<std::uint64_t> receiveBytes(processes, 0);
    std::vector<std::uint64_t> receiveStart(processes, 0);
    for (int other = 0; other < processes; ++other) {
      if (other == rank) continue;
      for (std::uint32_t block : reads[other]) {
        if (partition.owner(below, block) == rank) {
          sendBlocks[other].push_back(block);
          sendBytes[other] += blocks[block].cells * cellBytes();
        }
      }
      for (std::uint32_t block : reads[rank]) {
        if (partition.owner(below, block) == other) receiveBlocks[other].push_back(block);
      }
    }
    std::uint64_t incomingCells = 0;
    for (int other = 0; other < processes; ++other) {
      receiveStart[other] = incomingCells * cellBytes();
      for (std::uint32_t block : receiveBlocks[other]) {
        incomingOffset[block] = incomingCells;
        incomingCells += blocks[block].cells;
      }
      receiveBytes[other] = incomingCells * cellBytes() - receiveStart[other];
    }
    if (onDisk()) {
      incomingFile = LayerFile::create(settings.directory);
    } else {
      incoming = Arena(std::max<std::uint64_t>(1, incomingCells) * cellBytes());
    }
    std::uint64_t most = 0;
    for (int other = 0; other < processes; ++other)
      most = std::max({most, sendBytes[other], receiveBytes[other]});
    const std::uint64_t rounds = settings.exchange->maximum((most + kExchangeSlice - 1) / kExchangeSlice);

    std::vector<std::vector<std::byte>> sendBuffers(processes);
    std::vector<std::vector<std::byte>> receiveBuffers(processes);
    for (std::uint64_t round = 0; round < rounds; ++round) {
      checkCancel(control);
      const std::uint64_t from = round * kExchangeSlice;
      std::vector<std::span<const std::byte>> send(processes);
      std::vector<std::span<std::byte>> receive(processes);
      for (int other = 0; other < processes; ++other) {
        const std::uint64_t sendLength =
            sendBytes[other] > from ? std::min(kExchangeSlice, sendBytes[other] - from) : 0;
        sendBuffers[other].resize(sendLength);
        packSlice(sendBlocks[other], from, sendBuffers[other]);
        send[other] = sendBuffers[other];
        const std::uint64_t receiveLength =
            receiveBytes[other] > from ? std::min(kExchangeSlice, receiveBytes[other] - from) : 0;
        if (onDisk()) {
          receiveBuffers[other].resize(receiveLength);
          receive[other] = receiveBuffers[other];
        } else {
          receive[other] = std::span<std::byte>(incoming.data() + receiveStart[other] + from, receiveLength);
        }
      }
      settings.exchange->allToAll(send, receive);
      if (onDisk()) {
        for (int other = 0; other < processes; ++other) {
          if (!receive[other].empty()) {
            incomingFile.write(receiveStart[other] + from, receive[other].data(), receive[other].size(),
                               control.cancel);
          }
        }
      }
    }
    if (onDisk()) {
      incomingHeld = incomingCells * cellBytes();
      noteDisk(LayerStore());
    }
  }

  // Copies bytes [from, from + out.size()) of the blocks listed, one after the other, into out.
  void packSlice(const std::vector<std::uint32_t>& list, std::uint64_t from, std::vector<std::byte>& out) {
    const int below = layer;
    std::uint64_t position = 0;
    std::uint64_t written = 0;
    for (std::uint32_t block : list) {
      if (written == out.size()) break;
      const std::uint64_t bytes = plan.blocks(below)[block].cells * cellBytes();
      if (position + bytes > from) {
        const std::uint64_t skip = from > position ? from - position : 0;
        const std::uint64_t length = std::min(bytes - skip, out.size() - written);
        if (onDisk()) {
          currentStore.read(block, skip, out.data() + written, length, control.cancel);
        } else {
          std::memcpy(out.data() + written,
                      current.data() + partition.localOffset(below, block) * cellBytes() + skip, length);
        }
        written += length;
      }
      position += bytes;
    }
  }

  // ---- Building a layer.

  void build(const Step& step) {
    exchangeSources(step);
    if (onDisk()) {
      buildOnDisk(step);
    } else {
      buildInMemory(step);
    }
    layer = step.layer;
  }

  // Uses per source block: when a block has been read for the last time, its memory goes back.
  std::vector<std::atomic<std::uint32_t>> usesOf(const Step& step) {
    std::vector<std::atomic<std::uint32_t>> uses(plan.blocks(step.layer - 1).size());
    for (const Transfer& transfer : step.transfers) ++uses[transfer.source];
    for (std::size_t i = 0; i < step.kinds.size(); ++i) {
      if (step.kinds[i] == Partner::Stored) ++uses[step.partners[i].block];
    }
    return uses;
  }

  const std::uint32_t* inMemory(int below, std::uint32_t block) const {
    if (incomingOffset[block] != kNone)
      return incoming.as<std::uint32_t>() + incomingOffset[block] * settings.residues;
    return current.as<std::uint32_t>() + partition.localOffset(below, block) * settings.residues;
  }

  void releaseInMemory(int below, std::uint32_t block) {
    const std::uint64_t bytes = plan.blocks(below)[block].cells * cellBytes();
    if (incomingOffset[block] != kNone) {
      incoming.release(incomingOffset[block] * cellBytes(), bytes);
    } else {
      current.release(partition.localOffset(below, block) * cellBytes(), bytes);
    }
  }

  void buildInMemory(const Step& step) {
    const int below = step.layer - 1;
    Arena next(std::max<std::uint64_t>(1, partition.localCells(step.layer, rank)) * cellBytes());
    auto uses = usesOf(step);
    std::vector<const std::uint32_t*> sources(plan.blocks(below).size(), nullptr);
    for (std::uint32_t block : sourcesOf(step)) sources[block] = inMemory(below, block);
    auto used = [&](std::uint32_t block) {
      if (--uses[block] == 0) releaseInMemory(below, block);
    };
    runJobs(step, 0, step.jobs.size(), sources, used, [&](std::uint32_t block) {
      return next.as<std::uint32_t>() + partition.localOffset(step.layer, block) * settings.residues;
    });
    current = std::move(next);
    incoming = Arena();
  }

  // job too large on its own makes a band of its own). Returns the first job of each band, and the end.
  std::vector<std::size_t> bandsOf(const Step& step, std::uint64_t bandCells) const {
    const int below = step.layer - 1;
    std::vector<std::size_t> band(plan.blocks(below).size(), SIZE_MAX);  // the last band reading a block
    std::vector<std::size_t> starts{0};
    std::uint64_t cells = 0;
    for (std::size_t i = 0; i < step.jobs.size(); ++i) {
      const std::size_t current = starts.size() - 1;
      auto added = [&](std::size_t inBand) {
        std::uint64_t sum = step.meeting ? 0 : plan.blocks(step.layer)[step.jobs[i].block].cells;
        std::vector<std::uint32_t> seen;
        forEachSource(step, i, [&](std::uint32_t block) {
          if (band[block] == inBand || std::find(seen.begin(), seen.end(), block) != seen.end()) return;
          seen.push_back(block);
          sum += plan.blocks(below)[block].cells;
        });
        return sum;
      };
      std::uint64_t more = added(current);
      if (cells > 0 && cells + more > bandCells) {
        starts.push_back(i);
        cells = 0;
        more = added(starts.size() - 1);  // no block is in the new band yet
      }
      forEachSource(step, i, [&](std::uint32_t block) { band[block] = starts.size() - 1; });
      cells += more;
    }
    starts.push_back(step.jobs.size());
    return starts;
  }

  std::vector<std::uint32_t> bandSources(const Step& step, std::size_t begin, std::size_t end) const {
    std::vector<std::uint32_t> blocks;
    for (std::size_t i = begin; i < end; ++i)
      forEachSource(step, i, [&](std::uint32_t block) { blocks.push_back(block); });
    std::sort(blocks.begin(), blocks.end());
    blocks.erase(std::unique(blocks.begin(), blocks.end()), blocks.end());
    return blocks;
  }

  // Runs `body(band's source pointers, band's first job, end)` band by band, loading each band's sources
  // from the files and giving the disk space of sources back once no later band reads them.
  template <typename Body>
  void inBands(const Step& step, Body&& body) {
    const int below = step.layer - 1;
    const std::uint64_t bandCells = std::max<std::uint64_t>(1, settings.bandBytes / cellBytes());
    const auto starts = bandsOf(step, bandCells);
    std::vector<std::size_t> lastBand(plan.blocks(below).size(), 0);
    for (std::size_t band = 0; band + 1 < starts.size(); ++band) {
      for (std::uint32_t block : bandSources(step, starts[band], starts[band + 1])) lastBand[block] = band;
    }
    std::vector<const std::uint32_t*> sources(plan.blocks(below).size(), nullptr);
    for (std::size_t band = 0; band + 1 < starts.size(); ++band) {
      const auto blocks = bandSources(step, starts[band], starts[band + 1]);
      std::uint64_t cells = 0;
      for (std::uint32_t block : blocks) cells += plan.blocks(below)[block].cells;
      Arena loaded(std::max<std::uint64_t>(1, cells) * cellBytes());
      std::uint64_t at = 0;
      std::vector<LayerStore::Place> own;
      for (std::uint32_t block : blocks) {
        const std::uint64_t bytes = plan.blocks(below)[block].cells * cellBytes();
        std::byte* to = loaded.data() + at * cellBytes();
        if (incomingOffset[block] != kNone) {
          incomingFile.read(incomingOffset[block] * cellBytes(), to, bytes, control.cancel);
        } else {
          own.push_back(LayerStore::Place{block, to, bytes});
        }
        sources[block] = reinterpret_cast<const std::uint32_t*>(to);
        at += plan.blocks(below)[block].cells;
      }
      currentStore.get(own, settings.threads, control.cancel);
      // A source read for the last time is in memory now; the band's targets may take its place on disk.
      for (std::uint32_t block : blocks) {
        if (lastBand[block] != band) continue;
        const std::uint64_t bytes = plan.blocks(below)[block].cells * cellBytes();
        if (incomingOffset[block] != kNone) {
          incomingFile.punchHole(incomingOffset[block] * cellBytes(), bytes);
          incomingHeld -= bytes;
        } else if (!currentKept) {
          currentStore.release(block);
        }
      }
      body(sources, starts[band], starts[band + 1]);
      for (std::uint32_t block : blocks) sources[block] = nullptr;
    }
  }

  // Notes how much the layer files hold now, unpacked, with `building`, the layer being written.
  void noteDisk(const LayerStore& building) {
    diskPeak = std::max(diskPeak, currentStore.heldBytes() + incomingHeld + building.heldBytes());
  }

  void buildOnDisk(const Step& step) {
    LayerStore next(LayerFile::create(settings.directory), plan.blocks(step.layer).size(), pieceBytes());
    inBands(step, [&](const std::vector<const std::uint32_t*>& sources, std::size_t begin, std::size_t end) {
      if (begin == end) return;
      const std::uint64_t first = partition.localOffset(step.layer, step.jobs[begin].block);
      const CountPlan::Block& lastBlock = plan.blocks(step.layer)[step.jobs[end - 1].block];
      const std::uint64_t cells =
          partition.localOffset(step.layer, step.jobs[end - 1].block) + lastBlock.cells - first;
      Arena targets(cells * cellBytes());
      runJobs(
          step, begin, end, sources, [](std::uint32_t) {},
          [&](std::uint32_t block) {
            return targets.as<std::uint32_t>() +
                   (partition.localOffset(step.layer, block) - first) * settings.residues;
          });
      std::vector<LayerStore::Place> places;
      for (std::size_t i = begin; i < end; ++i) {
        const std::uint32_t block = step.jobs[i].block;
        places.push_back(LayerStore::Place{
            block, targets.data() + (partition.localOffset(step.layer, block) - first) * cellBytes(),
            plan.blocks(step.layer)[block].cells * cellBytes()});
      }
      next.put(places, settings.threads, control.cancel);
      noteDisk(next);
    });
    currentStore = std::move(next);
    currentKept = false;
    incomingFile = LayerFile();
    incomingHeld = 0;
  }

  // Builds jobs [begin, end) of a step on all threads; `targetOf(block)` is where a target's cells go.
  template <typename Used, typename TargetOf>
  void runJobs(const Step& step, std::size_t begin, std::size_t end,
               const std::vector<const std::uint32_t*>& sources, Used&& used, TargetOf&& targetOf) {
    switch (settings.residues) {
      case 1:
        return runJobsWith<1>(step, begin, end, sources, used, targetOf);
      case 2:
        return runJobsWith<2>(step, begin, end, sources, used, targetOf);
      case 3:
        return runJobsWith<3>(step, begin, end, sources, used, targetOf);
      case 4:
        return runJobsWith<4>(step, begin, end, sources, used, targetOf);
      case 5:
        return runJobsWith<5>(step, begin, end, sources, used, targetOf);
      default:
        return runJobsWith<6>(step, begin, end, sources, used, targetOf);
    }
  }

  template <int R, typename Used>
  void buildJob(const Step& step, const Job& job, std::uint32_t* to,
                const std::vector<const std::uint32_t*>& sources, Used& used) {
    const CountPlan::Block& target = plan.blocks(step.layer)[job.block];
    for (std::uint32_t t = job.first; t < job.first + job.count; ++t) {
      const Transfer& transfer = step.transfers[t];
      const CountPlan::Block& source = plan.blocks(step.layer - 1)[transfer.source];
      moveStates<R>(plan, target, static_cast<int>(transfer.die), source, sources[transfer.source], to,
                    settings.primes, control);
      addDone(control, source.cells);
      used(transfer.source);
    }
    addDone(control, target.cells);
  }

  template <int R, typename Used, typename TargetOf>
  void runJobsWith(const Step& step, std::size_t begin, std::size_t end,
                   const std::vector<const std::uint32_t*>& sources, Used& used, TargetOf& targetOf) {
    std::atomic<std::size_t> nextJob{begin};
    auto worker = [&] {
      for (std::size_t i = nextJob++; i < end; i = nextJob++) {
        checkCancel(control);
        buildJob<R>(step, step.jobs[i], targetOf(step.jobs[i].block), sources, used);
      }
    };
    runOnThreads(settings.threads, worker);
  }

  // ---- The meeting step.

  // Cells of the larger of a meeting job's block and its mirror.
  std::uint64_t largestOfJob(const Step& step, std::size_t i) const {
    std::uint64_t largest = plan.blocks(step.layer)[step.jobs[i].block].cells;
    if (step.kinds[i] == Partner::Same) return largest;
    const int partnerLayer = step.kinds[i] == Partner::Stored ? step.layer - 1 : step.layer;
    return std::max(largest, plan.blocks(partnerLayer)[step.partners[i].block].cells);
  }

  std::vector<std::uint64_t> meet(const Step& step) {
    exchangeSources(step);
    std::vector<std::uint64_t> total(settings.residues, 0);
    std::mutex totalMutex;
    auto add = [&](const std::vector<std::uint64_t>& part) {
      std::lock_guard lock(totalMutex);
      for (int r = 0; r < settings.residues; ++r) total[r] = (total[r] + part[r]) % settings.primes[r];
    };
    if (onDisk()) {
      inBands(step,
              [&](const std::vector<const std::uint32_t*>& sources, std::size_t begin, std::size_t end) {
                meetJobs(
                    step, begin, end, sources, [](std::uint32_t) {}, add);
              });
    } else {
      const int below = step.layer - 1;
      auto uses = usesOf(step);
      std::vector<const std::uint32_t*> sources(plan.blocks(below).size(), nullptr);
      for (std::uint32_t block : sourcesOf(step)) sources[block] = inMemory(below, block);
      auto used = [&](std::uint32_t block) {
        if (--uses[block] == 0) releaseInMemory(below, block);
      };
      meetJobs(step, 0, step.jobs.size(), sources, used, add);
      current = Arena();
      incoming = Arena();
    }
    currentStore = LayerStore();
    incomingFile = LayerFile();
    incomingHeld = 0;
    return total;
  }

  template <typename Used, typename Add>
  void meetJobs(const Step& step, std::size_t begin, std::size_t end,
                const std::vector<const std::uint32_t*>& sources, Used&& used, Add&& add) {
    switch (settings.residues) {
      case 1:
        return meetJobsWith<1>(step, begin, end, sources, used, add);
      case 2:
        return meetJobsWith<2>(step, begin, end, sources, used, add);
      case 3:
        return meetJobsWith<3>(step, begin, end, sources, used, add);
      case 4:
        return meetJobsWith<4>(step, begin, end, sources, used, add);
      case 5:
        return meetJobsWith<5>(step, begin, end, sources, used, add);
      default:
        return meetJobsWith<6>(step, begin, end, sources, used, add);
    }
  }

  template <int R, typename Used, typename Add>
  void meetJobsWith(const Step& step, std::size_t begin, std::size_t end,
                    const std::vector<const std::uint32_t*>& sources, Used& used, Add& add) {
    const int below = step.layer - 1;
    std::atomic<std::size_t> nextJob{begin};
    std::uint64_t largest = 0;
    for (std::size_t i = begin; i < end; ++i) largest = std::max(largest, largestOfJob(step, i));
    auto worker = [&] {
      // Room for C, for D and for a copy to sum up, reused from job to job; given back in the background.
      Arena ownArena(std::max<std::uint64_t>(1, largest) * R * kCellBytes);
      Arena partnerArena(std::max<std::uint64_t>(1, largest) * R * kCellBytes);
      Arena sumsArena(std::max<std::uint64_t>(1, largest) * R * kCellBytes);
      std::uint32_t* own = ownArena.as<std::uint32_t>();
      std::uint32_t* partner = partnerArena.as<std::uint32_t>();
      std::uint32_t* sums = sumsArena.as<std::uint32_t>();
      std::array<std::uint64_t, R> total{};
      for (std::size_t i = nextJob++; i < end; i = nextJob++) {
        checkCancel(control);
        const Job& job = step.jobs[i];
        const CountPlan::Block& block = plan.blocks(step.layer)[job.block];
        clearCells(own, block.cells * R, control);
        buildJob<R>(step, job, own, sources, used);
        switch (step.kinds[i]) {
          case Partner::Same:
            copyCells(own, block.cells * R, sums, control);
            prefixSums<R>(plan, block, sums, settings.primes, control);
            joinHalves<R>(plan, block, own, block, sums, settings.primes, total, control);
            addDone(control, kMeetingWork * block.cells);
            break;
          case Partner::Built: {
            const Job& other = step.partners[i];
            const CountPlan::Block& mirror = plan.blocks(step.layer)[other.block];
            clearCells(partner, mirror.cells * R, control);
            buildJob<R>(step, other, partner, sources, used);
            copyCells(partner, mirror.cells * R, sums, control);
            prefixSums<R>(plan, mirror, sums, settings.primes, control);
            joinHalves<R>(plan, block, own, mirror, sums, settings.primes, total, control);
            copyCells(own, block.cells * R, sums, control);
            prefixSums<R>(plan, block, sums, settings.primes, control);
            joinHalves<R>(plan, mirror, partner, block, sums, settings.primes, total, control);
            addDone(control, kMeetingWork * (block.cells + mirror.cells));
            break;
          }
          case Partner::Stored: {
            const std::uint32_t index = step.partners[i].block;
            const CountPlan::Block& mirror = plan.blocks(below)[index];
            copyCells(sources[index], mirror.cells * R, sums, control);
            used(index);
            prefixSums<R>(plan, mirror, sums, settings.primes, control);
            joinHalves<R>(plan, block, own, mirror, sums, settings.primes, total, control);
            addDone(control, kMeetingWork * (block.cells + mirror.cells));
            break;
          }
        }
        // A large job's pages go back; the next jobs are mostly small.
        const std::uint64_t used = largestOfJob(step, i) * R * kCellBytes;
        if (used > kScratchKeptBytes) {
          for (Arena* arena : {&ownArena, &partnerArena, &sumsArena}) arena->release(kScratchKeptBytes, used);
        }
      }
      add(std::vector<std::uint64_t>(total.begin(), total.end()));
    };
    runOnThreads(settings.threads, worker);
  }
};

LayerSweep::LayerSweep(const CountPlan& plan, const Partition& partition, SweepSettings settings,
                       SweepControl control)
    : impl_(std::make_unique<Impl>(plan, partition, std::move(settings), control)) {}

LayerSweep::~LayerSweep() = default;

std::vector<std::uint32_t> LayerSweep::run(const std::optional<SavedLayer>& from,
                                           const LayerFinished& finished) {
  return impl_->run(from, finished);
}

std::uint64_t LayerSweep::diskPeakBytes() const {
  return impl_->diskPeak;
}

int LayerSweep::lastStoredLayer(const CountPlan& plan, bool meet) {
  return meet ? CountPlan::meetingLayer(plan.dice(), plan.faces()) - 1 : plan.layerCount() - 1;
}

std::uint64_t LayerSweep::keptBytes(const Partition& partition, int layer, int rank, int residues) {
  return partition.localCells(layer, rank) * kCellBytes * static_cast<std::uint64_t>(residues);
}

}  // namespace varno
