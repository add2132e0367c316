// Counting, estimating and finding the strongest ring from the command line.

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <fstream>
#include <initializer_list>
#include <iostream>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "counting/countplan.h"
#include "counting/mpi/mpiexchange.h"
#include "counting/ringcounter.h"
#include "counting/storage.h"
#include "counting/strongestring.h"
#include "counting/weakestlinkcounter.h"
#include "modes.h"

namespace varno::count {

std::atomic<bool> interrupted{false};

namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

// An amount of memory in the unit that suits it: "512 bytes", "12 KiB", "6 MiB", "1.2 GiB".
std::string readable(std::uint64_t bytes) {
  char text[32];
  const auto value = static_cast<double>(bytes);
  if (bytes < 1024) {
    std::snprintf(text, sizeof text, "%llu bytes", static_cast<unsigned long long>(bytes));
  } else if (bytes < (std::uint64_t{1} << 20)) {
    std::snprintf(text, sizeof text, "%.0f KiB", value / 1024.0);
  } else if (bytes < (std::uint64_t{1} << 30)) {
    std::snprintf(text, sizeof text, "%.0f MiB", value / (1024.0 * 1024.0));
  } else {
    std::snprintf(text, sizeof text, "%.1f GiB", value / (1024.0 * 1024.0 * 1024.0));
  }
  return text;
}

std::string duration(double seconds) {
  char text[32];
  if (seconds < 120) {
    std::snprintf(text, sizeof text, "%.0f s", seconds);
  } else if (seconds < 2 * 3600) {
    std::snprintf(text, sizeof text, "%.0f min", seconds / 60);
  } else if (seconds < 2 * 86400) {
    std::snprintf(text, sizeof text, "%.1f h", seconds / 3600);
  } else {
    std::snprintf(text, sizeof text, "%.0f days", seconds / 86400);
  }
  return text;
}

// Why a table leaves a size out: it needs more than the machine has, or (with --max-seconds) longer
// than allowed; empty where the size is counted.
std::string leftOutNote(const RingCounter::Estimate& estimate, const std::optional<double>& maxSeconds) {
  if (!estimate.fits) {
    std::string note = "needs more than this machine has: " + readable(estimate.memoryBytes) + " of memory";
    if (estimate.diskBytes > 0) note += ", or " + readable(estimate.diskBytes) + " of disk";
    return note;
  }
  if (maxSeconds && estimate.seconds > *maxSeconds) return "left out: about " + duration(estimate.seconds);
  return "";
}

// The most memory the process held while it lived, read from /proc every few milliseconds.
class MemorySampler {
 public:
  MemorySampler() : thread_([this] { loop(); }) {}
  ~MemorySampler() {
    stop_ = true;
    thread_.join();
  }
  std::uint64_t peakBytes() {
    sample();
    return peak_;
  }

 private:
  void sample() {
    std::ifstream statm("/proc/self/statm");
    std::uint64_t size = 0;
    std::uint64_t resident = 0;
    if (statm >> size >> resident) {
      const std::uint64_t bytes = resident * static_cast<std::uint64_t>(sysconf(_SC_PAGESIZE));
      std::uint64_t seen = peak_.load();
      while (bytes > seen && !peak_.compare_exchange_weak(seen, bytes)) {
      }
    }
  }
  void loop() {
    while (!stop_) {
      sample();
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
  }
  std::atomic<bool> stop_{false};
  std::atomic<std::uint64_t> peak_{0};
  std::thread thread_;
};

struct Counted {
  std::optional<RingCount> count;
  std::string error;
  bool stopped = false;  // by Ctrl+C
  double seconds = 0;
  std::uint64_t peakBytes = 0;  // the most any process held
};

// Runs one count, showing its progress on stderr if asked, and ending it on Ctrl+C.
Counted runCount(int dice, int faces, RingCounterOptions options, const Launch& launch, bool showProgress) {
  Arena::finishReleases();  // what an earlier count gave back is not this one's
  Counted counted;
  const auto started = Clock::now();
  std::atomic<int> pass{0};
  std::atomic<int> layer{0};
  options.exchange = launch.exchange;
  options.layerDone = [&](int p, int l) {
    pass = p;
    layer = l;
  };
  std::optional<MemorySampler> sampler(std::in_place);
  RingCounter counter(dice, faces, options);
  counter.start();
  auto lastShown = Clock::now();
  double firstProgress = -1;
  bool shown = false;
  while (counter.state() == RingCounter::State::Running) {
    // Short counts are looked at often, so that their time is not rounded up to the next look.
    const double elapsed = secondsSince(started);
    std::this_thread::sleep_for(std::chrono::microseconds(elapsed < 0.1 ? 200 : 20000));
    if (interrupted) counter.cancel();
    if (!showProgress || secondsSince(lastShown) < 0.5) continue;
    lastShown = Clock::now();
    const double share = counter.progress();
    const auto plan = counter.plan();
    if (!plan || share <= 0) continue;
    if (firstProgress < 0) firstProgress = share;
    std::ostringstream line;
    char percent[16];
    std::snprintf(percent, sizeof percent, "%5.1f %%", 100 * share);
    line << "\r" << percent;
    if (plan->passes > 1) line << "  pass " << pass + 1 << " of " << plan->passes;
    line << "  layer " << layer << " of " << CountPlan::meetingLayer(dice, faces);
    if (share > firstProgress + 0.01) {
      line << "  about " << duration(secondsSince(started) * (1 - share) / (share - firstProgress))
           << " left";
    }
    line << "      ";
    std::cerr << line.str() << std::flush;
    shown = true;
  }
  counter.wait();
  if (shown) std::cerr << "\r" << std::string(72, ' ') << "\r" << std::flush;
  counted.seconds = secondsSince(started);
  counted.peakBytes = sampler->peakBytes();
  sampler.reset();
  if (launch.exchange != nullptr && counter.state() == RingCounter::State::Finished) {
    counted.peakBytes = launch.exchange->maximum(counted.peakBytes);
  }
  counted.count = counter.result();
  counted.stopped = counter.state() == RingCounter::State::Cancelled;
  if (!counted.count && !counted.stopped) counted.error = counter.errorMessage();
  return counted;
}

// After a failure or Ctrl+C in one process, the others cannot go on alone.
int failed(const Launch& launch, const std::string& message) {
  std::cerr << "varno-count: " << message << '\n';
  if (launch.mpi != nullptr) launch.mpi->abort(kExitFailure);
  return kExitFailure;
}

bool stderrIsTerminal() {
  return isatty(STDERR_FILENO) != 0;
}

struct SpectrumCounted {
  std::optional<Spectrum> spectrum;
  std::string error;
  bool stopped = false;  // by Ctrl+C
  double seconds = 0;
};

// Counts the rings of every weakest link, showing the progress on stderr if asked, and ending on Ctrl+C.
SpectrumCounted runSpectrum(int dice, int faces, RingCounterOptions options, const Launch& launch,
                            bool showProgress) {
  SpectrumCounted counted;
  const auto started = Clock::now();
  options.exchange = launch.exchange;
  SpectrumCounter counter(dice, faces, options);
  counter.start();
  auto lastShown = Clock::now();
  bool shown = false;
  while (counter.state() == RingCounter::State::Running) {
    std::this_thread::sleep_for(std::chrono::microseconds(secondsSince(started) < 0.1 ? 200 : 20000));
    if (interrupted) counter.cancel();
    if (!showProgress || secondsSince(lastShown) < 0.5) continue;
    lastShown = Clock::now();
    const double share = counter.progress();
    if (share <= 0) continue;
    char line[96];
    std::snprintf(line, sizeof line, "\r%5.1f %%  about %s left      ", 100 * share,
                  duration(secondsSince(started) * (1 - share) / share).c_str());
    std::cerr << line << std::flush;
    shown = true;
  }
  counter.wait();
  if (shown) std::cerr << "\r" << std::string(72, ' ') << "\r" << std::flush;
  counted.seconds = secondsSince(started);
  counted.spectrum = counter.result();
  counted.stopped = counter.state() == RingCounter::State::Cancelled;
  if (!counted.spectrum && !counted.stopped) counted.error = counter.errorMessage();
  return counted;
}

}  // namespace

std::string countLine(const RingCount& count, double seconds) {
  char text[512];
  std::snprintf(text, sizeof text, "n=%d k=%d labellings=%s rings=%s best=%d/%d seconds=%.3f", count.dice,
                count.faces, count.labellings.get_str().c_str(), count.rings.get_str().c_str(),
                count.bestWeakestLink, count.faces * count.faces, seconds);
  return text;
}

void catchInterrupts() {
  struct sigaction action {};
  action.sa_handler = [](int) { interrupted = true; };
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
}

int countMode(const Request& request, const Launch& launch) {
  const RingCounterOptions options = countOptions(request);
  const Counted counted = runCount(request.dice, request.faces, options, launch,
                                   launch.prints && (request.progress || stderrIsTerminal()));
  if (counted.stopped) {
    std::string message = "interrupted";
    if (options.keepEverySeconds >= 0 && !options.workDirectory.empty()) {
      message += "; 'varno-count --resume " + std::to_string(request.dice) + " " +
                 std::to_string(request.faces) + "' goes on from the last layer kept in " +
                 options.workDirectory + ", if any";
    }
    return failed(launch, message);
  }
  if (!counted.count) return failed(launch, counted.error);
  if (launch.prints) {
    const RingCount& count = *counted.count;
    std::printf(
        "%s\n",
        (count.pass > 0 ? passLine(count, counted.seconds) : countLine(count, counted.seconds)).c_str());
  }
  return 0;
}

int strongestMode(const Request& request, const Launch& launch) {
  const auto started = Clock::now();
  const bool showProgress = launch.prints && (request.progress || stderrIsTerminal());
  const int most = request.faces * request.faces;
  const StrongestRing::Result result =
      StrongestRing(request.dice, request.faces)
          .find([] { return interrupted.load(); },
                [&](int link) {
                  if (showProgress) std::fprintf(stderr, "\rtrying a weakest link of %d/%d   ", link, most);
                });
  if (showProgress) std::fprintf(stderr, "\r%40s\r", "");
  if (result.outcome == StrongestRing::Outcome::Stopped) return failed(launch, "interrupted");
  if (!launch.prints) return 0;
  std::ostringstream ring;
  if (result.outcome == StrongestRing::Outcome::None) {
    ring << "none";
  } else {
    for (int die = 0; die < request.dice; ++die) {
      if (die > 0) ring << " |";
      for (int face = 0; face < request.faces; ++face) {
        ring << (die == 0 && face == 0 ? "" : " ") << result.ring[die * request.faces + face];
      }
    }
  }
  std::printf("n=%d k=%d best=%d/%d seconds=%.3f ring=%s\n", request.dice, request.faces, result.link,
              request.faces * request.faces, secondsSince(started), ring.str().c_str());
  return 0;
}

int estimateMode(const Request& request, const Launch& launch) {
  const RingCounterOptions options = countOptions(request);
  const int processes = request.processes > 0
                            ? request.processes
                            : (launch.exchange != nullptr ? launch.exchange->processes() : 1);
  const bool showProgress = launch.prints && (request.progress || stderrIsTerminal());
  auto lastShown = Clock::now();
  bool shown = false;
  // The fullest process: the partition balances them, but not exactly.
  const std::optional<RingCounter::Estimate> estimate = RingCounter::estimateFor(
      request.dice, request.faces, processes, -1, options, [] { return interrupted.load(); },
      [&](int rank) {
        if (!showProgress || (shown && secondsSince(lastShown) < 0.25)) return;
        std::fprintf(stderr, "\restimating process %d of %d   ", rank + 1, processes);
        lastShown = Clock::now();
        shown = true;
      });
  if (shown) std::fprintf(stderr, "\r%40s\r", "");
  if (!estimate) return failed(launch, "interrupted");
  const RingCounter::Estimate& most = *estimate;
  if (!launch.prints) return 0;
  constexpr double kGiB = 1024.0 * 1024.0 * 1024.0;
  std::printf(
      "n=%d k=%d processes=%d fits=%s method=%s primes=%d primes_at_once=%d passes=%d memory_gib=%.1f "
      "disk_gib=%.1f received_gib=%.1f seconds=%.0f\n",
      request.dice, request.faces, processes, most.fits ? "yes" : "no",
      most.method == CountMethod::Disk ? "disk" : "memory", most.primes, most.primesAtOnce, most.passes,
      static_cast<double>(most.memoryBytes) / kGiB, static_cast<double>(most.diskBytes) / kGiB,
      static_cast<double>(most.receivedBytes) / kGiB, most.seconds);
  return 0;
}

// The pieces of one line of text, one after the other.
std::string joined(std::initializer_list<std::string_view> pieces) {
  std::string line;
  for (std::string_view piece : pieces) line += piece;
  return line;
}

int tableMode(const Request& request, const Launch& launch) {
  RingCounterOptions options = countOptions(request);
  options.keepEverySeconds = -1;  // a table is not resumed
  const bool csv = request.csv;
  auto print = [&](const std::string& line) {
    if (launch.prints) std::printf("%s\n", line.c_str());
    std::fflush(stdout);
  };
  print(csv ? "n,k,labellings,rings,best,seconds,peak_bytes,note"
            : "| n | k | labellings | rings | best | seconds | peak memory |\n|---|---|---|---|---|---|---|");
  const int processes = launch.exchange != nullptr ? launch.exchange->processes() : 1;
  const int rank = launch.exchange != nullptr ? launch.exchange->rank() : 0;
  for (int dice = kMinDice; dice <= request.mostDice; ++dice) {
    for (int faces = kMinFaces; faces <= request.mostFaces; ++faces) {
      const std::string labellings = RingCounter::labellingCount(dice, faces).get_str();
      const std::string size = std::to_string(dice) + (csv ? "," : " | ") + std::to_string(faces);
      std::optional<RingCounter::Estimate> estimate =
          RingCounter::estimateFor(dice, faces, processes, rank, options, [] { return interrupted.load(); });
      if (!estimate) return failed(launch, "interrupted");
      if (launch.exchange != nullptr) estimate->fits = launch.exchange->maximum(estimate->fits ? 0 : 1) == 0;
      const std::string note = leftOutNote(*estimate, request.maxSeconds);
      if (!note.empty()) {
        print(csv ? joined({size, ",", labellings, ",,,,,", note})
                  : joined({"| ", size, " | ", labellings, " | ", note, " | | | |"}));
        continue;
      }
      const Counted counted =
          runCount(dice, faces, options, launch, launch.prints && (request.progress || stderrIsTerminal()));
      if (counted.stopped) return failed(launch, "interrupted");
      if (!counted.count) return failed(launch, counted.error);
      const RingCount& count = *counted.count;
      char seconds[32];
      std::snprintf(seconds, sizeof seconds, "%.3f", counted.seconds);
      const std::string best = std::to_string(count.bestWeakestLink) + "/" + std::to_string(faces * faces);
      const std::string rings = count.rings.get_str();
      print(csv ? joined({size, ",", labellings, ",", rings, ",", best, ",", seconds, ",",
                          std::to_string(counted.peakBytes), ","})
                : joined({"| ", size, " | ", labellings, " | ", rings, " | ", best, " | ", seconds, " | ",
                          readable(counted.peakBytes), " |"}));
    }
  }
  return 0;
}

int spectrumMode(const Request& request, const Launch& launch) {
  RingCounterOptions options = countOptions(request);
  const int dice = request.dice;
  const int faces = request.faces;
  const SpectrumCounted counted =
      runSpectrum(dice, faces, options, launch, launch.prints && (request.progress || stderrIsTerminal()));
  if (counted.stopped) return failed(launch, "interrupted");
  if (!counted.spectrum) return failed(launch, counted.error);
  if (!launch.prints) return 0;
  const Spectrum& spectrum = *counted.spectrum;
  const int square = faces * faces;
  if (request.csv) std::printf("n,k,link,rings\n");
  for (std::size_t i = 0; i < spectrum.rings.size(); ++i) {
    const std::string rings = spectrum.rings[i].get_str();
    if (request.csv) {
      std::printf("%d,%d,%d,%s\n", dice, faces, spectrum.linkOf(i), rings.c_str());
    } else {
      std::printf("n=%d k=%d link=%d/%d rings=%s\n", dice, faces, spectrum.linkOf(i), square, rings.c_str());
    }
  }
  if (!request.csv) {
    RingCount count;
    count.dice = dice;
    count.faces = faces;
    count.labellings = RingCounter::labellingCount(dice, faces);
    count.rings = spectrum.total();
    count.bestWeakestLink = spectrum.bestWeakestLink;
    std::printf("%s\n", countLine(count, counted.seconds).c_str());
  }
  return 0;
}

int spectrumTableMode(const Request& request, const Launch& launch) {
  RingCounterOptions options = countOptions(request);
  const bool csv = request.csv;
  auto print = [&](const std::string& line) {
    if (launch.prints) std::printf("%s\n", line.c_str());
    std::fflush(stdout);
  };
  if (csv) print("n,k,link,rings,note");
  // Faces outside, so that each number of faces makes one table: its links are the same for every n.
  for (int faces = kMinFaces; faces <= request.mostFaces; ++faces) {
    const int square = faces * faces;
    const int least = square - lossLimit(faces);
    std::vector<std::optional<Spectrum>> spectra;  // per number of dice from 3
    std::vector<std::string> notes;                // of the sizes left out, below the table
    for (int dice = kMinDice; dice <= request.mostDice; ++dice) {
      spectra.emplace_back();
      const std::string size = std::to_string(dice) + "x" + std::to_string(faces);
      const std::optional<RingCounter::Estimate> estimate =
          SpectrumCounter::estimate(dice, faces, options, [] { return interrupted.load(); });
      if (!estimate) return failed(launch, "interrupted");
      const std::string note = leftOutNote(*estimate, request.maxSeconds);
      if (!note.empty()) {
        if (csv) print(joined({std::to_string(dice), ",", std::to_string(faces), ",,,", note}));
        notes.push_back(joined({size, " ", note}));
        continue;
      }
      const SpectrumCounted counted = runSpectrum(dice, faces, options, launch,
                                                  launch.prints && (request.progress || stderrIsTerminal()));
      if (counted.stopped) return failed(launch, "interrupted");
      if (!counted.spectrum) return failed(launch, counted.error);
      const Spectrum& spectrum = *counted.spectrum;
      if (csv) {
        if (spectrum.rings.empty())
          print(joined({std::to_string(dice), ",", std::to_string(faces), ",,0,no rings"}));
        for (std::size_t i = 0; i < spectrum.rings.size(); ++i) {
          print(joined({std::to_string(dice), ",", std::to_string(faces), ",",
                        std::to_string(spectrum.linkOf(i)), ",", spectrum.rings[i].get_str(), ","}));
        }
      }
      spectra.back() = spectrum;
    }
    if (csv) continue;
    // The links from the least to the best of any size counted.
    int best = 0;
    for (const auto& spectrum : spectra)
      if (spectrum) best = std::max(best, spectrum->bestWeakestLink);
    std::string header = "| weakest link, k=" + std::to_string(faces) + " |";
    std::string rule = "|---|";
    for (int dice = kMinDice; dice <= request.mostDice; ++dice) {
      header += " n=" + std::to_string(dice) + " |";
      rule += "---|";
    }
    print("");
    print(header);
    print(rule);
    if (best == 0) {
      std::string row = "| no ring |";
      for (const auto& spectrum : spectra) row += spectrum ? " 0 |" : " |";
      print(row);
    }
    for (int link = least; best != 0 && link <= best; ++link) {
      std::string row = "| " + std::to_string(link) + "/" + std::to_string(square) + " |";
      for (const auto& spectrum : spectra) {
        const int index = link - least;
        if (!spectrum) {
          row += " |";
        } else {
          row += " " +
                 (index < static_cast<int>(spectrum->rings.size()) ? spectrum->rings[index].get_str()
                                                                   : std::string("0")) +
                 " |";
        }
      }
      print(row);
    }
    for (const std::string& note : notes) print("\n" + note);
  }
  return 0;
}

}  // namespace varno::count
