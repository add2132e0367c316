// varno-count: exact ring counts of one size from the command line.

#include <charconv>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "form/form.h"
#include "form/numbertext.h"
#include "graphic/drawing.h"
#include "search/montecarlo.h"
#include "counting/ringcounter.h"

namespace {

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

constexpr const char* kHelp =
    "Usage:\n"
    "  varno-count [--threads T] [--progress] N K\n"
    "      Counts all labellings and rings of N dice (3..8) with K faces (1..8) exactly and prints\n"
    "      n=N k=K labellings=X rings=R best=B/KK seconds=S\n"
    "      where B is the best weakest link (wins out of KK = K*K) and S the wall time.\n"
    "  varno-count --estimate N K\n"
    "      Prints the number of states and the memory a count of that size needs, without counting.\n"
    "  varno-count --monte-carlo N K RUNS [--seed S]\n"
    "      Runs RUNS Monte Carlo searches for N dice (3..8) with K faces (3..8), each dealing random\n"
    "      labellings until one is a Varno ring, as the menu \"MonteCarlo\" does, and prints\n"
    "      n=N k=K runs=RUNS passes=P mean=M seconds=S\n"
    "      where P is the number of labellings dealt and M = P / RUNS. S seeds the random numbers\n"
    "      (default: the clock), so that runs can be repeated.\n"
    "  varno-count --help\n"
    "Options:\n"
    "  --threads T   worker threads (default: all hardware threads)\n"
    "  --progress    show the share of work done on stderr while counting\n"
    "Exit status: 0 success, 1 failure (e.g. not enough memory), 2 bad arguments.\n";

struct UsageError {
  std::string message;
};

std::optional<std::uint64_t> parseNumber(std::string_view text) {
  std::uint64_t value = 0;
  const char* end = text.data() + text.size();
  auto [ptr, ec] = std::from_chars(text.data(), end, value);
  if (text.empty() || ec != std::errc() || ptr != end) return std::nullopt;
  return value;
}

std::uint64_t numberArgument(std::string_view text, std::string_view what) {
  const auto value = parseNumber(text);
  if (!value)
    throw UsageError{std::string(what) + " must be a whole number, got '" + std::string(text) + "'"};
  return *value;
}

struct Size {
  int dice = 0;
  int faces = 0;
};

Size sizeArguments(std::string_view diceText, std::string_view facesText) {
  const std::uint64_t dice = numberArgument(diceText, "N (dice)");
  const std::uint64_t faces = numberArgument(facesText, "K (faces)");
  if (dice < 3 || dice > 8) throw UsageError{"N (dice) must be between 3 and 8, got " + std::to_string(dice)};
  if (faces < 1 || faces > 8)
    throw UsageError{"K (faces) must be between 1 and 8, got " + std::to_string(faces)};
  return {static_cast<int>(dice), static_cast<int>(faces)};
}

int countMode(Size size, unsigned threads, bool showProgress) {
  const auto started = std::chrono::steady_clock::now();
  varno::RingCounterOptions options;
  options.threads = threads;
  varno::RingCounter counter(size.dice, size.faces, options);
  counter.start();
  if (showProgress) {
    while (counter.state() == varno::RingCounter::State::Running) {
      std::this_thread::sleep_for(std::chrono::milliseconds(200));
      std::fprintf(stderr, "\r%5.1f %%", 100.0 * counter.progress());
    }
    std::fprintf(stderr, "\r        \r");
  }
  counter.wait();
  const auto result = counter.result();
  if (!result) {
    std::cerr << "varno-count: " << counter.errorMessage() << '\n';
    return kExitFailure;
  }
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  std::printf("n=%d k=%d labellings=%s rings=%s best=%d/%d seconds=%.3f\n", size.dice, size.faces,
              result->labellings.get_str().c_str(), result->rings.get_str().c_str(),
              result->bestWeakestLink, size.faces * size.faces, seconds);
  return 0;
}

int estimateMode(Size size) {
  const auto estimate = varno::RingCounter::estimate(size.dice, size.faces);
  std::printf("n=%d k=%d peak_states=%llu total_states=%llu cell_bits=%d peak_bytes=%llu\n", size.dice,
              size.faces, static_cast<unsigned long long>(estimate.peakCells),
              static_cast<unsigned long long>(estimate.totalCells), estimate.cellBits,
              static_cast<unsigned long long>(estimate.peakBytes));
  return 0;
}

struct MonteCarloRequest {
  Size size;
  std::uint64_t runs = 0;
  std::optional<std::uint64_t> seed;
};

// Runs the window's own Monte Carlo search, without a window: the same dealing, evaluation and
// drawing, with nothing to yield to.
int monteCarloMode(const MonteCarloRequest& request) {
  const auto started = std::chrono::steady_clock::now();
  varno::Form form;
  varno::GraphikEinrichten(form);
  form.Freigabe = true;
  form.random.seed(
      request.seed ? *request.seed
                   : static_cast<std::uint64_t>(std::chrono::system_clock::now().time_since_epoch().count()));
  form.MCWürfelanzahl = static_cast<short>(request.size.dice);
  form.MCSeitenzahl = request.size.faces;
  std::uint64_t passes = 0;
  for (std::uint64_t run = 0; run < request.runs; ++run) {
    form.Text3[0].setText("0");
    varno::MonteCarloSuche(form);
    passes += static_cast<std::uint64_t>(varno::leadingNumber(form.Text3[0].text()));
  }
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  std::printf("n=%d k=%d runs=%llu passes=%llu mean=%.3f seconds=%.3f\n", request.size.dice,
              request.size.faces, static_cast<unsigned long long>(request.runs),
              static_cast<unsigned long long>(passes),
              static_cast<double>(passes) / static_cast<double>(request.runs), seconds);
  return 0;
}

int run(const std::vector<std::string_view>& args) {
  if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
    std::cout << kHelp;
    return 0;
  }
  if (!args.empty() && args[0] == "--monte-carlo") {
    if (args.size() != 4 && !(args.size() == 6 && args[4] == "--seed")) {
      throw UsageError{"--monte-carlo expects N K RUNS [--seed S]"};
    }
    MonteCarloRequest request;
    request.size = sizeArguments(args[1], args[2]);
    request.runs = numberArgument(args[3], "RUNS");
    if (request.runs == 0) throw UsageError{"RUNS must be at least 1"};
    // With one or two faces no labelling is a ring, and a search would never end.
    if (request.size.faces < 3)
      throw UsageError{"--monte-carlo needs K of at least 3: with fewer faces there is no ring"};
    if (args.size() == 6) request.seed = numberArgument(args[5], "seed");
    return monteCarloMode(request);
  }
  if (!args.empty() && args[0] == "--estimate") {
    if (args.size() != 3) throw UsageError{"--estimate expects N K"};
    return estimateMode(sizeArguments(args[1], args[2]));
  }

  unsigned threads = 0;
  bool showProgress = false;
  std::vector<std::string_view> positional;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--threads") {
      if (i + 1 == args.size()) throw UsageError{"--threads expects a number"};
      const std::uint64_t value = numberArgument(args[++i], "--threads");
      if (value < 1 || value > 256) throw UsageError{"--threads must be between 1 and 256"};
      threads = static_cast<unsigned>(value);
    } else if (args[i] == "--progress") {
      showProgress = true;
    } else if (args[i].size() > 1 && args[i][0] == '-' && (args[i][1] < '0' || args[i][1] > '9')) {
      throw UsageError{"unknown option '" + std::string(args[i]) + "'"};
    } else {
      positional.push_back(args[i]);
    }
  }
  if (positional.size() != 2)
    throw UsageError{"expected two arguments N K, got " + std::to_string(positional.size())};
  return countMode(sizeArguments(positional[0], positional[1]), threads, showProgress);
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string_view> args(argv + 1, argv + argc);
  try {
    return run(args);
  } catch (const UsageError& error) {
    std::cerr << "varno-count: " << error.message << " (see varno-count --help)\n";
    return kExitUsage;
  } catch (const std::exception& error) {
    std::cerr << "varno-count: " << error.what() << '\n';
    return kExitFailure;
  }
}
