// The processes of a count started by mpirun, talking through MPI.
#pragma once

#include <memory>

#include "counting/exchange.h"

namespace varno {

class MpiExchange : public Exchange {
 public:
  // Starts MPI when an MPI launcher (mpirun, mpiexec, srun) started this program, else returns null
  // and leaves MPI untouched, so that the program runs alone exactly as without MPI.
  static std::unique_ptr<MpiExchange> startIfLaunched(int* argc, char*** argv);
  ~MpiExchange() override;  // ends MPI
  MpiExchange(const MpiExchange&) = delete;
  MpiExchange& operator=(const MpiExchange&) = delete;

  int rank() const override { return rank_; }
  int processes() const override { return processes_; }
  void allToAll(const std::vector<std::span<const std::byte>>& send,
                const std::vector<std::span<std::byte>>& receive) override;
  void sum(std::vector<std::uint64_t>& values) override;
  std::uint64_t maximum(std::uint64_t value) override;
  // Ends every process of the count at once, e.g. after a failure in one of them.
  [[noreturn]] void abort(int status);

 private:
  MpiExchange(int rank, int processes) : rank_(rank), processes_(processes) {}
  int rank_;
  int processes_;
};

}  // namespace varno
