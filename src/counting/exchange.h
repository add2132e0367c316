// How the processes of a count spread over several machines talk to each other.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace varno {

// The counter divides the blocks of each layer among processes and, between two layers, sends each
// process the blocks it reads but does not hold. A count in one process has no Exchange at all.
class Exchange {
 public:
  virtual ~Exchange() = default;
  virtual int rank() const = 0;
  virtual int processes() const = 0;
  // Every process sends send[q] to process q and receives receive[q] from process q, all at once; the
  // sizes were agreed beforehand. Called by all processes together.
  virtual void allToAll(const std::vector<std::span<const std::byte>>& send,
                        const std::vector<std::span<std::byte>>& receive) = 0;
  // Sums over all processes, element by element.
  virtual void sum(std::vector<std::uint64_t>& values) = 0;
  virtual std::uint64_t maximum(std::uint64_t value) = 0;
};

}  // namespace varno
