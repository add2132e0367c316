#include "request.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "counting/modular.h"
#include "rules/ringrules.h"

namespace varno::count {

const char* const kHelp =
    "Usage:\n"
    "  varno-count [OPTIONS] N K\n"
    "      Counts all labellings and rings of N dice (3..8) with K faces (1..8) exactly and prints\n"
    "      n=N k=K labellings=X rings=R best=B/KK seconds=S\n"
    "      where B is the best weakest link (wins out of KK = K*K) and S the wall time. A count that\n"
    "      runs long shows its progress on stderr, keeps a finished layer in the work directory every\n"
    "      half minute, and goes on from there when started again with --resume after Ctrl+C.\n"
    "  varno-count --spectrum [--csv] N K\n"
    "      Counts the rings of every weakest link: prints for each link B from just over half of KK to\n"
    "      the best one line n=N k=K link=B/KK rings=R, R the rings whose weakest pair wins exactly B\n"
    "      of the KK face pairs, and then the count's line; with --csv the rows n,k,link,rings under a\n"
    "      header line instead.\n"
    "  varno-count --strongest N K\n"
    "      Finds a ring whose weakest link is the best of all rings of that size, without counting,\n"
    "      and prints n=N k=K best=B/KK seconds=S ring=F F F | F F F | ... (faces of each die, die 1\n"
    "      first), or ring=none.\n"
    "  varno-count --estimate N K [--processes P] [OPTIONS]\n"
    "      Prints what a count needs on each process, without counting, for this machine or the one\n"
    "      described by --threads, --memory and --disk:\n"
    "      n=N k=K processes=P fits=yes|no method=memory|disk primes=A primes_at_once=B passes=C\n"
    "      memory_gib=M disk_gib=D received_gib=R seconds=S\n"
    "      where R is what each process receives from the others and S the time without the network;\n"
    "      P is 1 to 4096 (default: the processes started by mpirun, else 1).\n"
    "  varno-count --table [--csv] [--up-to N K] [--max-seconds S] [OPTIONS]\n"
    "      Counts every size up to N x K (default 8 x 8) that fits this machine and prints one row per\n"
    "      size as Markdown (or CSV): n, k, labellings, rings, best weakest link, seconds, peak memory.\n"
    "      Sizes that need more memory or disk than there is, or (with --max-seconds) longer than S\n"
    "      seconds (0.001 to 1000000000), are listed with a note instead.\n"
    "  varno-count --table --spectrum [--csv] [--up-to N K] [--max-seconds S] [OPTIONS]\n"
    "      The same for the rings of every weakest link: a Markdown table per number of faces, with a\n"
    "      row per link and a column per number of dice (or the CSV rows n,k,link,rings,note).\n"
    "  varno-count --monte-carlo N K RUNS [--seed S]\n"
    "      Runs RUNS (1 to 10^12) Monte Carlo searches for N dice (3..8) with K faces (3..8), each\n"
    "      dealing random labellings until one is a Varno ring, as the menu \"MonteCarlo\" does, and\n"
    "      prints\n"
    "      n=N k=K runs=RUNS passes=P mean=M seconds=S\n"
    "      where P is the number of labellings dealt and M = P / RUNS. S seeds the random numbers\n"
    "      (default: the clock), so that runs can be repeated. Ctrl+C ends it with the runs so far.\n"
    "  varno-count N K --pass I [OPTIONS]\n"
    "      Counts pass I of a count in passes of one prime each, P passes in all (the passes\n"
    "      --estimate N K --primes-at-once 1 gives; the same on every machine), and prints\n"
    "      n=N k=K pass=I of=P prime=Q rings_residue=R best=B/KK seconds=S\n"
    "      where R is the number of rings modulo the prime Q. Each pass may run on its own day or\n"
    "      machine; a pass keeps no layers for --resume.\n"
    "  varno-count N K --join PASS...\n"
    "      Joins the lines printed by all P passes, given as arguments or in files (one or more lines\n"
    "      each), into the count and prints its usual line, with S the passes' seconds added up.\n"
    "      Refuses with exit status 1 a missing or repeated pass, one of another size or of another\n"
    "      number of passes, a malformed line, and residues that do not make a count of this size.\n"
    "  varno-count --help | --version\n"
    "Options:\n"
    "  --threads T          worker threads, 1 to 256 (default: all hardware threads)\n"
    "  --memory GIB         memory a count may use, 0.000001 to 1000000000 (default: 90% of the memory\n"
    "                       available)\n"
    "  --disk GIB           disk a count may use in the work directory, 0.000001 to 1000000000 (default:\n"
    "                       90% of the free space)\n"
    "  --work-dir DIR       where counts keep layers: those too large for memory, and those kept for\n"
    "                       --resume (default: $XDG_CACHE_HOME/varno-count or ~/.cache/varno-count)\n"
    "  --method M           memory or disk (default: memory if it fits, else disk)\n"
    "  --primes-at-once A   primes counted in one pass, 1..6 (default: as many as the memory allows)\n"
    "  --keep-every S       keep a finished layer for --resume every S seconds (default 30; 0: every\n"
    "                       layer; -1: never)\n"
    "  --resume             go on from the layer an interrupted count of this size kept, once it and\n"
    "                       its note have passed every check\n"
    "  --progress           show progress on stderr even when it is no terminal\n"
    "  --pass I             count pass I only, 1 to P (see above); with --estimate: what that pass\n"
    "                       needs, and its time only\n"
    "  --join PASS...       join the passes (see above)\n"
    "Ctrl+C or SIGTERM ends any kind of run within a second, with exit status 1.\n"
    "Run by mpirun, a count is spread over the processes started, and only the first prints.\n"
    "Exit status: 0 success, 1 failure (e.g. not enough memory, or interrupted), 2 bad arguments.\n";

namespace {

std::uint64_t wholeNumber(std::string_view text, std::string_view what) {
  std::uint64_t value = 0;
  const char* end = text.data() + text.size();
  auto [ptr, ec] = std::from_chars(text.data(), end, value);
  if (text.empty() || ec != std::errc() || ptr != end) {
    throw UsageError{std::string(what) + " must be a whole number, got '" + std::string(text) + "'"};
  }
  return value;
}

// A number within [least, most] (or, with `never`, exactly -1), written as a decimal fraction.
double realNumber(std::string_view text, std::string_view what, double least, double most,
                  std::string_view range) {
  const std::string copy(text);
  char* end = nullptr;
  errno = 0;
  const double value = std::strtod(copy.c_str(), &end);
  const bool read = !copy.empty() && end == copy.c_str() + copy.size() && errno != ERANGE &&
                    copy.find_first_of("xXnNiI") == std::string::npos;
  if (!read || !(value >= least && value <= most)) {
    throw UsageError{std::string(what) + " must be " + std::string(range) + ", got '" + copy + "'"};
  }
  return value;
}

void sizeArguments(std::string_view diceText, std::string_view facesText, int* dice, int* faces) {
  const std::uint64_t n = wholeNumber(diceText, "N (dice)");
  const std::uint64_t k = wholeNumber(facesText, "K (faces)");
  if (n < static_cast<std::uint64_t>(kMinDice) || n > static_cast<std::uint64_t>(kMaxDice)) {
    throw UsageError{"N (dice) must be between 3 and 8, got " + std::to_string(n)};
  }
  if (k < static_cast<std::uint64_t>(kMinFaces) || k > static_cast<std::uint64_t>(kMaxFaces)) {
    throw UsageError{"K (faces) must be between 1 and 8, got " + std::to_string(k)};
  }
  *dice = static_cast<int>(n);
  *faces = static_cast<int>(k);
}

bool isOption(std::string_view arg) {
  return arg.size() > 1 && arg[0] == '-' && (arg[1] < '0' || arg[1] > '9');
}

}  // namespace

Request parseArguments(const std::vector<std::string_view>& args) {
  Request request;
  std::vector<std::string_view> positional;
  std::vector<std::string_view> given;  // options seen, to check that they fit the mode
  bool modeGiven = false;
  auto setMode = [&](Mode mode, std::string_view name) {
    if (modeGiven) {
      throw UsageError{"only one of --estimate, --table, --strongest, --monte-carlo, --join at a time"};
    }
    modeGiven = true;
    request.mode = mode;
    given.push_back(name);
  };
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string_view arg = args[i];
    auto value = [&]() -> std::string_view {
      if (i + 1 == args.size()) throw UsageError{std::string(arg) + " expects a value"};
      return args[++i];
    };
    if (arg == "--help" || arg == "-h") {
      request.mode = Mode::Help;
      return request;
    }
    if (arg == "--version") {
      request.mode = Mode::Version;
      return request;
    }
    if (!isOption(arg)) {
      positional.push_back(arg);
      continue;
    }
    if (arg == "--estimate") {
      setMode(Mode::Estimate, arg);
    } else if (arg == "--table") {
      setMode(Mode::Table, arg);
    } else if (arg == "--strongest") {
      setMode(Mode::Strongest, arg);
    } else if (arg == "--monte-carlo") {
      setMode(Mode::MonteCarlo, arg);
    } else if (arg == "--join") {
      setMode(Mode::Join, arg);
    } else {
      given.push_back(arg);
      if (arg == "--threads") {
        const std::uint64_t threads = wholeNumber(value(), "--threads");
        if (threads < 1 || threads > 256) throw UsageError{"--threads must be between 1 and 256"};
        request.threads = static_cast<unsigned>(threads);
      } else if (arg == "--memory" || arg == "--disk") {
        // From a kibibyte to an exbibyte.
        (arg == "--memory" ? request.memoryGiB : request.diskGiB) =
            realNumber(value(), arg, 0.000001, 1e9, "between 0.000001 and 1000000000 (GiB)");
      } else if (arg == "--work-dir") {
        request.workDirectory = std::string(value());
        if (request.workDirectory.empty()) throw UsageError{"--work-dir must name a directory"};
      } else if (arg == "--method") {
        const std::string_view method = value();
        if (method == "memory") {
          request.method = CountMethod::Memory;
        } else if (method == "disk") {
          request.method = CountMethod::Disk;
        } else {
          throw UsageError{"--method must be memory or disk, got '" + std::string(method) + "'"};
        }
      } else if (arg == "--primes-at-once") {
        const std::uint64_t primes = wholeNumber(value(), "--primes-at-once");
        if (primes < 1 || primes > 6) throw UsageError{"--primes-at-once must be between 1 and 6"};
        request.primesAtOnce = static_cast<int>(primes);
      } else if (arg == "--keep-every") {
        const std::string_view seconds = value();
        if (seconds == "-1") {
          request.keepEverySeconds = -1;
        } else {
          request.keepEverySeconds =
              realNumber(seconds, arg, 0, 1e6, "-1 (never) or between 0 and 1000000 (seconds)");
        }
      } else if (arg == "--resume") {
        request.resume = true;
      } else if (arg == "--progress") {
        request.progress = true;
      } else if (arg == "--processes") {
        const std::uint64_t processes = wholeNumber(value(), "--processes");
        if (processes < 1 || processes > kMostProcesses)
          throw UsageError{"--processes must be between 1 and " + std::to_string(kMostProcesses)};
        request.processes = static_cast<int>(processes);
      } else if (arg == "--csv") {
        request.csv = true;
      } else if (arg == "--spectrum") {
        request.spectrum = true;
      } else if (arg == "--up-to") {
        const std::string_view dice = value();
        sizeArguments(dice, value(), &request.mostDice, &request.mostFaces);
      } else if (arg == "--max-seconds") {
        request.maxSeconds = realNumber(value(), arg, 0.001, 1e9, "between 0.001 and 1000000000 (seconds)");
      } else if (arg == "--pass") {
        // Its range depends on the size; checked below.
        request.pass = static_cast<int>(std::min<std::uint64_t>(wholeNumber(value(), "--pass"), 1000));
      } else if (arg == "--seed") {
        request.seed = wholeNumber(value(), "seed");
      } else {
        throw UsageError{"unknown option '" + std::string(arg) + "'"};
      }
    }
  }

  // Options that only one mode knows.
  const std::vector<std::pair<std::string_view, std::vector<Mode>>> only = {
      {"--processes", {Mode::Estimate}},
      {"--csv", {Mode::Table, Mode::Count}},
      {"--spectrum", {Mode::Table, Mode::Count}},
      {"--up-to", {Mode::Table}},
      {"--max-seconds", {Mode::Table}},
      {"--seed", {Mode::MonteCarlo}},
      {"--resume", {Mode::Count}},
      {"--keep-every", {Mode::Count, Mode::Estimate}},
      {"--pass", {Mode::Count, Mode::Estimate}},
  };
  auto seen = [&](std::string_view option) {
    return std::find(given.begin(), given.end(), option) != given.end();
  };
  for (const auto& [option, modes] : only) {
    if (seen(option) && std::find(modes.begin(), modes.end(), request.mode) == modes.end()) {
      throw UsageError{std::string(option) + " does not go with this kind of run"};
    }
  }
  // A count prints one line; only the spectrum prints rows. The counts of a spectrum keep no layers.
  if (request.mode == Mode::Count && seen("--csv") && !request.spectrum) {
    throw UsageError{"--csv goes with --table or --spectrum"};
  }
  for (std::string_view option : {"--resume", "--keep-every"}) {
    if (request.spectrum && seen(option)) {
      throw UsageError{std::string(option) + " does not go with --spectrum"};
    }
  }
  if (request.mode == Mode::MonteCarlo) {
    for (std::string_view option : given) {
      if (option != "--monte-carlo" && option != "--seed" && option != "--progress") {
        throw UsageError{std::string(option) + " does not go with --monte-carlo"};
      }
    }
    if (positional.size() != 3) throw UsageError{"--monte-carlo expects N K RUNS [--seed S]"};
    sizeArguments(positional[0], positional[1], &request.dice, &request.faces);
    request.runs = wholeNumber(positional[2], "RUNS");
    if (request.runs == 0 || request.runs > kMostRuns)
      throw UsageError{"RUNS must be between 1 and " + std::to_string(kMostRuns)};
    // With one or two faces no labelling is a ring, and a search would never end.
    if (request.faces < 3)
      throw UsageError{"--monte-carlo needs K of at least 3: with fewer faces there is no ring"};
    return request;
  }
  if (request.mode == Mode::Join) {
    for (std::string_view option : given) {
      if (option != "--join") throw UsageError{std::string(option) + " does not go with --join"};
    }
    if (positional.size() < 3)
      throw UsageError{"--join expects N K and the lines of the passes or their files"};
    sizeArguments(positional[0], positional[1], &request.dice, &request.faces);
    request.passes.assign(positional.begin() + 2, positional.end());
    return request;
  }
  if (request.mode == Mode::Table) {
    if (!positional.empty()) throw UsageError{"--table takes no N K; use --up-to N K"};
    return request;
  }
  if (positional.size() != 2) {
    throw UsageError{"expected two arguments N K, got " + std::to_string(positional.size())};
  }
  sizeArguments(positional[0], positional[1], &request.dice, &request.faces);
  if (seen("--pass")) {
    // A pass counts every ring modulo one prime, and keeps nothing to resume from.
    for (std::string_view option : {"--primes-at-once", "--keep-every", "--resume", "--spectrum"}) {
      if (seen(option)) {
        throw UsageError{std::string(option) + " does not go with --pass"};
      }
    }
    const int passes = Modular::primesNeeded(request.dice, request.faces);
    if (request.pass < 1 || request.pass > passes) {
      throw UsageError{"--pass must be between 1 and " + std::to_string(passes) + ": a count of " +
                       std::to_string(request.dice) + "x" + std::to_string(request.faces) + " takes " +
                       std::to_string(passes) + (passes == 1 ? " pass" : " passes") + " of one prime"};
    }
    request.keepEverySeconds = -1;
  }
  return request;
}

RingCounterOptions countOptions(const Request& request) {
  constexpr double kGiB = 1024.0 * 1024.0 * 1024.0;
  RingCounterOptions options;
  options.threads = request.threads;
  if (request.memoryGiB) options.memoryLimitBytes = static_cast<std::uint64_t>(*request.memoryGiB * kGiB);
  if (request.diskGiB) options.diskLimitBytes = static_cast<std::uint64_t>(*request.diskGiB * kGiB);
  options.method = request.method;
  options.primesAtOnce = request.primesAtOnce;
  options.keepEverySeconds = request.keepEverySeconds;
  options.resume = request.resume;
  options.pass = request.pass;
  std::string directory = request.workDirectory;
  if (directory.empty()) {
    if (const char* cache = std::getenv("XDG_CACHE_HOME"); cache != nullptr && *cache != '\0') {
      directory = std::string(cache) + "/varno-count";
    } else if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') {
      directory = std::string(home) + "/.cache/varno-count";
    }
  }
  std::error_code error;
  if (!directory.empty()) std::filesystem::create_directories(directory, error);
  if (!directory.empty() && !error) {
    options.workDirectory = directory;
  } else if (!request.workDirectory.empty()) {
    throw std::runtime_error("cannot use the work directory " + request.workDirectory);
  }
  return options;
}

}  // namespace varno::count
