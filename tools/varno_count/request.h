// What varno-count was asked to do, read from its arguments.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "counting/ringcounter.h"

namespace varno::count {

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;
// An estimate looks at each process of a count in turn: for 8x8, a few milliseconds each.
constexpr int kMostProcesses = 4096;
constexpr std::uint64_t kMostRuns = 1000000000000;

struct UsageError {
  std::string message;
};

enum class Mode { Count, Estimate, Table, Strongest, MonteCarlo, Join, Help, Version };

struct Request {
  Mode mode = Mode::Count;
  int dice = 0;
  int faces = 0;
  // --table: the sizes up to these.
  int mostDice = 8;
  int mostFaces = 8;
  bool csv = false;
  bool spectrum = false;             // count the rings of every weakest link (with N K or --table)
  std::optional<double> maxSeconds;  // --table: sizes estimated to take longer are left out
  // --monte-carlo
  std::uint64_t runs = 0;
  std::optional<std::uint64_t> seed;
  // How counts run.
  unsigned threads = 0;
  std::optional<double> memoryGiB;
  std::optional<double> diskGiB;
  std::string workDirectory;  // empty: the default one
  CountMethod method = CountMethod::Automatic;
  int primesAtOnce = 0;
  double keepEverySeconds = 30;
  bool resume = false;
  bool progress = false;            // show progress on stderr even when it is no terminal
  int processes = 0;                // --estimate: plan for this many processes (0: those started)
  int pass = 0;                     // --pass: count this pass of one prime only (from 1; 0: the whole count)
  std::vector<std::string> passes;  // --join: the pass lines, or files holding them
};

extern const char* const kHelp;

// Throws UsageError for arguments that make no sense.
Request parseArguments(const std::vector<std::string_view>& args);

// The options of a count as asked for; the work directory is created if needed.
RingCounterOptions countOptions(const Request& request);

}  // namespace varno::count
