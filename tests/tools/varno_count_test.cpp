// varno-count as a user runs it: the built program, what it prints and its exit status.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "counting/temporarydirectory.h"

extern char** environ;

namespace {

using varno::testing::TemporaryDirectory;

struct Outcome {
  int status = -1;
  std::string out;
  std::string err;
};

std::string readFile(const std::string& path) {
  std::ifstream in(path);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// A run of a program with its output going to files, started at once and awaited later.
class Launched {
 public:
  Launched(const std::string& program, const std::vector<std::string>& args) {
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, (files_.path() + "/out").c_str(),
                                     O_WRONLY | O_CREAT, 0600);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, (files_.path() + "/err").c_str(),
                                     O_WRONLY | O_CREAT, 0600);
    if (posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv.data(), environ) != 0) pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
  }

  void signal(int number) const { ::kill(pid_, number); }

  Outcome wait() {
    Outcome outcome;
    int status = 0;
    if (pid_ > 0 && ::waitpid(pid_, &status, 0) == pid_ && WIFEXITED(status))
      outcome.status = WEXITSTATUS(status);
    outcome.out = readFile(files_.path() + "/out");
    outcome.err = readFile(files_.path() + "/err");
    return outcome;
  }

 private:
  TemporaryDirectory files_;
  pid_t pid_ = -1;
};

Outcome runCount(const std::vector<std::string>& args) {
  return Launched(VARNO_COUNT, args).wait();
}

// Whether the whole text matches the regular expression, in which SECONDS stands for the time printed.
bool matches(const std::string& text, const std::string& pattern) {
  return std::regex_match(
      text, std::regex(std::regex_replace(pattern, std::regex("SECONDS"), R"(seconds=\d+\.\d{3})")));
}

// The line of a usage error.
std::string usage(const std::string& message) {
  return "varno-count: " + message + R"( \(see varno-count --help\)\n)";
}

TEST(VarnoCount, EveryKindOfRunPrintsItsLineAndStatus) {
  const TemporaryDirectory work;
  // Every size up to 8x8, each counted or with a note why not.
  std::string everySize = "n,k,labellings,rings,best,seconds,peak_bytes,note\n";
  for (const char n : std::string("345678"))
    for (const char k : std::string("12345678"))
      everySize += n + std::string(",") + k +
                   (k == '1' ? R"(,\d+,0,0/1,\d+\.\d{3},\d+,\n)"
                             : R"(,\d+,,,,,(left out: about|needs more than this machine has:) .+\n)");
  // The arguments (DIR for the work directory); the whole of stdout on success, else of stderr, while
  // the other stays empty.
  const std::vector<std::tuple<std::string, int, std::string>> cases = {
      {"4 4", 0, "n=4 k=4 labellings=15765750 rings=2269 best=10/16 SECONDS\n"},
      {"--threads 1 --method disk --primes-at-once 1 --work-dir DIR 4 5", 0,
       "n=4 k=5 labellings=2933186256 rings=3492361 best=16/25 SECONDS\n"},
      {"--progress 3 2", 0, "n=3 k=2 labellings=30 rings=0 best=0/4 SECONDS\n"},
      {"--strongest 4 4", 0, R"(n=4 k=4 best=10/16 SECONDS ring=1( \d+){3}( \|( \d+){4}){3}\n)"},
      {"--strongest 4 2", 0, "n=4 k=2 best=0/4 SECONDS ring=none\n"},
      {"--estimate 6 6 --memory 8 --threads 2 --work-dir DIR", 0,
       R"(n=6 k=6 processes=1 fits=yes method=memory primes=3 primes_at_once=3 passes=1 memory_gib=\d+\.\d )"
       R"(disk_gib=0\.0 received_gib=0\.0 seconds=\d+\n)"},
      {"--estimate 8 8 --processes 2 --memory 8 --disk 8 --work-dir DIR", 0,
       R"(n=8 k=8 processes=2 fits=no method=memory primes=6 primes_at_once=1 passes=6 .*\n)"},
      {"--estimate 8 8 --method disk --memory 1024 --disk 1048576 --threads 2 --work-dir DIR", 0,
       R"(n=8 k=8 processes=1 fits=yes method=disk primes=6 primes_at_once=\d passes=\d memory_gib=\d+\.\d )"
       R"(disk_gib=\d{5,}\.\d received_gib=0\.0 seconds=\d+\n)"},
      {"--table --csv --max-seconds 0 --memory 8 --disk 8 --threads 2 --work-dir DIR", 0, everySize},
      {"--table --up-to 3 1 --memory 0.000000001 --method memory", 0,
       R"(\| n \| k \| labellings \| rings \| best \| seconds \| peak memory \|\n(\|---){7}\|\n)"
       R"(\| 3 \| 1 \| 2 \| needs more than this machine has: \d+\.\d GiB of memory \| \| \| \|\n)"},
      {"--monte-carlo 4 4 2 --seed 7", 0, R"(n=4 k=4 runs=2 passes=\d+ mean=\d+\.\d{3} SECONDS\n)"},
      {"--help", 0, R"(Usage:\n[\s\S]*Exit status: 0 success, 1 failure[\s\S]*)"},
      {"--version", 0, "varno-count " VARNO_VERSION "\n"},
      {"", 2, usage("expected two arguments N K, got 0")},
      {"9 3", 2, usage(R"(N \(dice\) must be between 3 and 8, got 9)")},
      {"3 x", 2, usage(R"(K \(faces\) must be a whole number, got 'x')")},
      {"--bogus 3 3", 2, usage("unknown option '--bogus'")},
      {"--threads 0 3 3", 2, usage("--threads must be between 1 and 256")},
      {"--method tape 3 3", 2, usage("--method must be memory or disk, got 'tape'")},
      {"--monte-carlo 3 2 1", 2,
       usage("--monte-carlo needs K of at least 3: with fewer faces there is no ring")},
      {"--monte-carlo 3 3 0", 2, usage("RUNS must be at least 1")},
      {"--csv 3 3", 2, usage("--csv does not go with this kind of run")},
      {"--estimate --table", 2,
       usage("only one of --estimate, --table, --strongest, --monte-carlo at a time")},
      {"--table 3 3", 2, usage("--table takes no N K; use --up-to N K")},
      {"--memory 0.000001 --method memory 6 6", 1,
       R"(varno-count: size 6x6 needs about \d+\.\d GiB of memory, only 0\.0 GiB allowed\n)"},
      {"--method disk --memory 1 --disk 0.000001 --work-dir DIR 6 6", 1,
       R"(varno-count: size 6x6 needs about \d+\.\d GiB of memory and \d+\.\d GiB of disk, only 1\.0 GiB and )"
       R"(0\.0 GiB allowed\n)"},
      {"--resume --work-dir DIR 4 4", 1, "varno-count: no count of this size and setup to resume in .+\n"},
  };
  for (const auto& [command, status, expected] : cases) {
    SCOPED_TRACE("varno-count " + command);
    std::vector<std::string> args;
    std::istringstream words(command);
    for (std::string word; words >> word;) args.push_back(word == "DIR" ? work.path() : word);
    const Outcome outcome = runCount(args);
    EXPECT_EQ(outcome.status, status);
    EXPECT_TRUE(matches(status == 0 ? outcome.out : outcome.err, expected)) << outcome.out << outcome.err;
    EXPECT_EQ(status == 0 ? outcome.err : outcome.out, "");
  }
}

// Ctrl+C ends a count with the last layer kept, and so does killing it, if less politely; either way
// --resume goes on from there, in the pass it stood in, to the same count, and nothing half written is
// left. The killed count keeps its layers on disk.
TEST(VarnoCount, AnInterruptedCountResumes) {
  for (const int signal : {SIGINT, SIGKILL}) {
    SCOPED_TRACE(signal == SIGINT ? "Ctrl+C" : "killed");
    const TemporaryDirectory work;
    std::vector<std::string> args = {"--work-dir", work.path(), "--keep-every", "0", "--primes-at-once", "1"};
    args.insert(args.end(), {"--method", signal == SIGINT ? "memory" : "disk", "7", "5"});
    Launched interrupted(VARNO_COUNT, args);
    // Stopped once the note of where the count stands names the second pass.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (readFile(work.path() + "/varno-count-7x5-1p0-resume").find("\npass 1\n") == std::string::npos &&
           std::chrono::steady_clock::now() < deadline)
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    interrupted.signal(signal);
    const Outcome stopped = interrupted.wait();
    EXPECT_EQ(stopped.out, "");
    if (signal == SIGINT) {
      EXPECT_EQ(stopped.status, 1);
      EXPECT_TRUE(matches(stopped.err,
                          "varno-count: interrupted; 'varno-count --resume 7 5' goes on from the last "
                          "layer kept in [^\n]*\n"))
          << stopped.err;
    }
    // The note of where the count stood, and complete files only: the layers it names or was about to
    // name, and a new note not yet renamed.
    const auto kept = work.files();
    EXPECT_NE(std::find(kept.begin(), kept.end(), "varno-count-7x5-1p0-resume"), kept.end());
    for (const std::string& name : kept)
      EXPECT_TRUE(matches(name, R"(varno-count-7x5-1p0-(pass[01]-layer\d+\.states|resume(\.new)?))")) << name;

    args.insert(args.begin(), "--resume");
    const Outcome resumed = runCount(args);
    EXPECT_EQ(resumed.status, 0) << resumed.err;
    EXPECT_TRUE(matches(resumed.out,
                        "n=7 k=5 labellings=4119702793668744552990720 rings=27465077201656414437 "
                        "best=16/25 SECONDS\n"))
        << resumed.out;
    EXPECT_TRUE(work.files().empty());
  }
}

// Ctrl+C ends Monte Carlo runs with the figures so far; a random labelling of 8x8 is hardly ever a ring.
TEST(VarnoCount, CtrlCEndsMonteCarloRunsWithTheFiguresSoFar) {
  Launched run(VARNO_COUNT, {"--monte-carlo", "8", "8", "5", "--seed", "1"});
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  run.signal(SIGINT);
  const Outcome outcome = run.wait();
  EXPECT_EQ(outcome.status, 1);
  EXPECT_TRUE(matches(outcome.out, R"(n=8 k=8 runs=0 passes=\d+ mean=0\.000 SECONDS\n)")) << outcome.out;
  EXPECT_EQ(outcome.err, "varno-count: interrupted after 0 of 5 runs\n");
}

// A table in CSV, and spread over one, two and three processes by mpirun, every size up to 5x5 counts as
// in one process.
TEST(VarnoCount, ProcessesStartedByMpirunCountAsOne) {
  const TemporaryDirectory work;
  const std::vector<std::string> table = {"--table", "--csv", "--up-to", "5", "5", "--work-dir", work.path()};
  const Outcome alone = runCount(table);
  ASSERT_EQ(alone.status, 0) << alone.err;
  ASSERT_TRUE(matches(alone.out,
                      "n,k,labellings,rings,best,seconds,peak_bytes,note\n"
                      R"(3,1,2,0,0/1,\d+\.\d{3},\d+,\n3,2,30,0,0/4,\d+\.\d{3},\d+,\n)"
                      R"(3,3,560,5,5/9,\d+\.\d{3},\d+,\n3,4,11550,13,9/16,\d+\.\d{3},\d+,\n)"
                      R"((\d,\d,\d+,\d+,\d+/\d+,\d+\.\d{3},\d+,\n){11})"))
      << alone.out;
  const std::string mpirun = VARNO_MPIRUN;
  if (mpirun.empty()) GTEST_SKIP() << "mpirun not found; the counts over several processes are not tested";
  // MPI's own libraries keep memory to the end, which the leak check of the sanitizer build would report.
  auto spread = [&](const char* processes, const std::vector<std::string>& args) {
    std::vector<std::string> all = {"--allow-run-as-root", "--oversubscribe", "-np", processes};
    all.insert(all.end(), {"-x", "ASAN_OPTIONS=detect_leaks=0", VARNO_COUNT});
    all.insert(all.end(), args.begin(), args.end());
    return Launched(mpirun, all).wait();
  };
  // The size columns, labellings, rings and best link of each row.
  auto counts = [](const std::string& rows) {
    return std::regex_replace(rows, std::regex(",[^,\n]*,[^,\n]*,[^,\n]*\n"), "\n");
  };
  // Three processes count on disk, in bands of a few hundred kilobytes.
  for (const char* processes : {"1", "2", "3"}) {
    std::vector<std::string> args = table;
    if (processes == std::string("3")) args.insert(args.end(), {"--method", "disk", "--memory", "0.0003"});
    const Outcome outcome = spread(processes, args);
    ASSERT_EQ(outcome.status, 0) << outcome.err;
    EXPECT_EQ(counts(outcome.out), counts(alone.out)) << processes << " processes";
  }
  const Outcome line = spread("2", {"--work-dir", work.path(), "5", "5"});
  EXPECT_EQ(line.status, 0) << line.err;
  EXPECT_TRUE(matches(line.out, "n=5 k=5 labellings=124672148625024 rings=25515130947 best=16/25 SECONDS\n"))
      << line.out;
}

}  // namespace
