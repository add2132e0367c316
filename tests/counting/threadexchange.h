// Several processes of one count as threads of the test: each thread has an Exchange of its own, and
// they meet at a barrier for every call, as MPI processes meet in their collective calls.
#pragma once

#include <barrier>
#include <cstring>
#include <memory>
#include <vector>

#include "counting/exchange.h"

namespace varno::testing {

class ThreadExchange : public Exchange {
 public:
  // One exchange per thread, all joined.
  static std::vector<std::unique_ptr<ThreadExchange>> group(int processes) {
    auto shared = std::make_shared<Shared>(processes);
    std::vector<std::unique_ptr<ThreadExchange>> group;
    for (int rank = 0; rank < processes; ++rank) group.emplace_back(new ThreadExchange(shared, rank));
    return group;
  }

  int rank() const override { return rank_; }
  int processes() const override { return static_cast<int>(shared_->send.size()); }

  void allToAll(const std::vector<std::span<const std::byte>>& send,
                const std::vector<std::span<std::byte>>& receive) override {
    shared_->send[rank_] = send;
    shared_->barrier.arrive_and_wait();
    for (int other = 0; other < processes(); ++other) {
      const auto from = shared_->send[other][rank_];
      if (from.size() != receive[other].size()) throw std::logic_error("ThreadExchange: sizes do not agree");
      if (!from.empty()) std::memcpy(receive[other].data(), from.data(), from.size());
    }
    shared_->barrier.arrive_and_wait();
  }

  void sum(std::vector<std::uint64_t>& values) override {
    shared_->values[rank_] = values;
    shared_->barrier.arrive_and_wait();
    std::vector<std::uint64_t> total(values.size(), 0);
    for (const auto& part : shared_->values)
      for (std::size_t i = 0; i < total.size(); ++i) total[i] += part[i];
    shared_->barrier.arrive_and_wait();
    values = total;
  }

  std::uint64_t maximum(std::uint64_t value) override {
    std::vector<std::uint64_t> values{value};
    shared_->values[rank_] = values;
    shared_->barrier.arrive_and_wait();
    std::uint64_t most = 0;
    for (const auto& part : shared_->values) most = std::max(most, part[0]);
    shared_->barrier.arrive_and_wait();
    return most;
  }

 private:
  struct Shared {
    explicit Shared(int processes) : barrier(processes), send(processes), values(processes) {}
    std::barrier<> barrier;
    std::vector<std::vector<std::span<const std::byte>>> send;
    std::vector<std::vector<std::uint64_t>> values;
  };
  ThreadExchange(std::shared_ptr<Shared> shared, int rank) : shared_(std::move(shared)), rank_(rank) {}

  std::shared_ptr<Shared> shared_;
  int rank_;
};

}  // namespace varno::testing
