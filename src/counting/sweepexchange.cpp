// The exchange of a step's sources between the processes of a sweep.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <span>

#include "counting/sweepimpl.h"

namespace varno {

using sweep::buildStep;
using sweep::checkCancel;
using sweep::kNone;
using sweep::sourcesOf;

namespace {

// Bytes sent to one process in one round of an exchange.
constexpr std::uint64_t kExchangeSlice = std::uint64_t{64} << 20;

}  // namespace

void LayerSweep::Impl::exchangeSources(const Step& step) {
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
    noteDisk();
  }
}

void LayerSweep::Impl::packSlice(const std::vector<std::uint32_t>& list, std::uint64_t from,
                                 std::vector<std::byte>& out) {
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

}  // namespace varno
