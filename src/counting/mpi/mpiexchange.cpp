#include "counting/mpi/mpiexchange.h"

#include <mpi.h>

#include <climits>
#include <cstdlib>
#include <stdexcept>
#include <string>

namespace varno {

namespace {

// Launchers announce the processes they start in the environment.
bool launchedByMpi() {
  for (const char* name : {"OMPI_COMM_WORLD_SIZE", "PMIX_RANK", "PMI_RANK", "PMI_SIZE"}) {
    if (std::getenv(name) != nullptr) return true;
  }
  return false;
}

void check(int status, const char* what) {
  if (status != MPI_SUCCESS) throw std::runtime_error(std::string("MPI: ") + what + " failed");
}

}  // namespace

std::unique_ptr<MpiExchange> MpiExchange::startIfLaunched(int* argc, char*** argv) {
  if (!launchedByMpi()) return nullptr;
  // The count calls MPI from its worker thread while the main thread waits.
  int provided = 0;
  check(MPI_Init_thread(argc, argv, MPI_THREAD_SERIALIZED, &provided), "start");
  if (provided < MPI_THREAD_SERIALIZED) {
    MPI_Finalize();
    throw std::runtime_error("MPI: this MPI cannot be called from a worker thread");
  }
  int rank = 0;
  int processes = 1;
  MPI_Comm_rank(MPI_COMM_WORLD, &rank);
  MPI_Comm_size(MPI_COMM_WORLD, &processes);
  return std::unique_ptr<MpiExchange>(new MpiExchange(rank, processes));
}

MpiExchange::~MpiExchange() {
  MPI_Finalize();
}

void MpiExchange::allToAll(const std::vector<std::span<const std::byte>>& send,
                           const std::vector<std::span<std::byte>>& receive) {
  // One message per pair of processes; the sweep keeps each below INT_MAX bytes.
  std::vector<MPI_Request> requests;
  requests.reserve(2 * static_cast<std::size_t>(processes_));
  for (int other = 0; other < processes_; ++other) {
    if (receive[other].size() > INT_MAX || send[other].size() > INT_MAX)
      throw std::logic_error("MPI: message too long");
    if (!receive[other].empty()) {
      requests.emplace_back();
      check(MPI_Irecv(receive[other].data(), static_cast<int>(receive[other].size()), MPI_BYTE, other, 0,
                      MPI_COMM_WORLD, &requests.back()),
            "receive");
    }
    if (!send[other].empty()) {
      requests.emplace_back();
      check(MPI_Isend(send[other].data(), static_cast<int>(send[other].size()), MPI_BYTE, other, 0,
                      MPI_COMM_WORLD, &requests.back()),
            "send");
    }
  }
  check(MPI_Waitall(static_cast<int>(requests.size()), requests.data(), MPI_STATUSES_IGNORE), "exchange");
}

void MpiExchange::sum(std::vector<std::uint64_t>& values) {
  check(MPI_Allreduce(MPI_IN_PLACE, values.data(), static_cast<int>(values.size()), MPI_UINT64_T, MPI_SUM,
                      MPI_COMM_WORLD),
        "sum");
}

std::uint64_t MpiExchange::maximum(std::uint64_t value) {
  check(MPI_Allreduce(MPI_IN_PLACE, &value, 1, MPI_UINT64_T, MPI_MAX, MPI_COMM_WORLD), "maximum");
  return value;
}

void MpiExchange::abort(int status) {
  MPI_Abort(MPI_COMM_WORLD, status);
  std::exit(status);
}

}  // namespace varno
