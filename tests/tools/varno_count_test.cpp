// varno-count as a user runs it: the built program, what it prints and its exit status.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;

struct Outcome {
  int status = -1;
  std::string out;
  std::string err;
};

// A directory of its own for a test, removed afterwards.
class TemporaryDirectory {
 public:
  TemporaryDirectory() {
    path_ = fs::temp_directory_path() /
            ("varno-count-test-" + std::to_string(::getpid()) + "-" + std::to_string(next_++));
    fs::create_directories(path_);
  }
  ~TemporaryDirectory() { fs::remove_all(path_); }
  std::string path() const { return path_.string(); }
  std::vector<std::string> files() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(path_)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }

 private:
  static inline int next_ = 0;
  fs::path path_;
};

std::string readFile(const fs::path& path) {
  std::ifstream in(path);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// A run of a program with its output going to files, started at once and awaited later.
class Launched {
 public:
  // `environment` adds NAME=VALUE entries to this program's environment.
  Launched(const std::string& program, const std::vector<std::string>& args,
           const std::vector<std::string>& environment = {}) {
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, (files_.path() + "/out").c_str(),
                                     O_WRONLY | O_CREAT, 0600);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, (files_.path() + "/err").c_str(),
                                     O_WRONLY | O_CREAT, 0600);
    std::vector<char*> env(environ,
                           environ + std::distance(environ, std::find(environ, environ + 4096, nullptr)));
    for (const std::string& entry : environment) env.push_back(const_cast<char*>(entry.c_str()));
    env.push_back(nullptr);
    if (posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv.data(), env.data()) != 0) pid_ = -1;
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

struct Case {
  std::vector<std::string> args;
  int status;
  const char* out;  // the whole of stdout, as a regular expression
  const char* err;  // the whole of stderr, as a regular expression
};

const char* const kSeconds = R"(seconds=\d+\.\d{3})";

std::string with(const char* pattern) {
  return std::regex_replace(std::string(pattern), std::regex("SECONDS"), kSeconds);
}

TEST(VarnoCount, EveryKindOfRunPrintsItsLineAndStatus) {
  const TemporaryDirectory work;
  const std::string dir = work.path();
  const std::vector<Case> cases = {
      {{"4", "4"}, 0, "n=4 k=4 labellings=15765750 rings=2269 best=10/16 SECONDS\n", ""},
      {{"--threads", "1", "--work-dir", dir, "5", "3"},
       0,
       "n=5 k=3 labellings=33633600 rings=11881 best=5/9 SECONDS\n",
       ""},
      {{"--method", "disk", "--primes-at-once", "1", "--work-dir", dir, "4", "5"},
       0,
       "n=4 k=5 labellings=2933186256 rings=3492361 best=16/25 SECONDS\n",
       ""},
      {{"--progress", "3", "2"}, 0, "n=3 k=2 labellings=30 rings=0 best=0/4 SECONDS\n", "[\\s\\S]*"},
      {{"--strongest", "4", "4"}, 0, R"(n=4 k=4 best=10/16 SECONDS ring=1( \d+){3}( \|( \d+){4}){3}\n)", ""},
      {{"--strongest", "4", "2"}, 0, "n=4 k=2 best=0/4 SECONDS ring=none\n", ""},
      {{"--estimate", "6", "6", "--memory", "8", "--threads", "2", "--work-dir", dir},
       0,
       R"(n=6 k=6 processes=1 fits=yes method=memory primes=3 primes_at_once=3 passes=1 memory_gib=\d+\.\d )"
       R"(disk_gib=0\.0 received_gib=0\.0 seconds=\d+\n)",
       ""},
      {{"--estimate", "8", "8", "--processes", "2", "--memory", "8", "--disk", "8", "--work-dir", dir},
       0,
       R"(n=8 k=8 processes=2 fits=no method=memory primes=6 primes_at_once=1 passes=6 [^\n]*\n)",
       ""},
      {{"--table", "--csv", "--up-to", "3", "4", "--work-dir", dir},
       0,
       "n,k,labellings,rings,best,seconds,peak_bytes,note\n"
       R"(3,1,2,0,0/1,\d+\.\d{3},\d+,\n3,2,30,0,0/4,\d+\.\d{3},\d+,\n)"
       R"(3,3,560,5,5/9,\d+\.\d{3},\d+,\n3,4,11550,13,9/16,\d+\.\d{3},\d+,\n)",
       ""},
      {{"--table", "--up-to", "3", "1", "--memory", "0.000000001", "--method", "memory"},
       0,
       "\\| n \\| k \\| labellings \\| rings \\| best \\| seconds \\| peak memory "
       "\\|\n\\|---\\|---\\|---\\|---\\|---\\|---\\|---\\|\n"
       R"(\| 3 \| 1 \| 2 \| needs more than this machine has: \d+\.\d GiB of memory \| \| \| \|\n)",
       ""},
      {{"--table", "--csv", "--up-to", "3", "3", "--max-seconds", "0", "--work-dir", dir},
       0,
       // 3x1 has no state beyond the empty word, and takes no time at all.
       R"(n,k[^\n]*\n3,1,2,0,0/1,\d+\.\d{3},\d+,\n(3,[23],\d+,,,,,left out: about 0 s\n){2})",
       ""},
      {{"--monte-carlo", "4", "4", "2", "--seed", "7"},
       0,
       R"(n=4 k=4 runs=2 passes=\d+ mean=\d+\.\d{3} SECONDS\n)",
       ""},
      {{"--help"}, 0, "Usage:\n[\\s\\S]*Exit status: 0 success, 1 failure[\\s\\S]*", ""},
      {{"--version"}, 0, "varno-count " VARNO_VERSION "\n", ""},
      {{}, 2, "", "varno-count: expected two arguments N K, got 0 \\(see varno-count --help\\)\n"},
      {{"9", "3"},
       2,
       "",
       "varno-count: N \\(dice\\) must be between 3 and 8, got 9 \\(see varno-count --help\\)\n"},
      {{"3", "x"},
       2,
       "",
       "varno-count: K \\(faces\\) must be a whole number, got 'x' \\(see varno-count --help\\)\n"},
      {{"--bogus", "3", "3"}, 2, "", "varno-count: unknown option '--bogus' \\(see varno-count --help\\)\n"},
      {{"--threads", "0", "3", "3"}, 2, "", "varno-count: --threads must be between 1 and 256 [^\n]*\n"},
      {{"--method", "tape", "3", "3"},
       2,
       "",
       "varno-count: --method must be memory or disk, got 'tape' [^\n]*\n"},
      {{"--monte-carlo", "3", "2", "1"}, 2, "", "varno-count: --monte-carlo needs K of at least 3[^\n]*\n"},
      {{"--monte-carlo", "3", "3", "0"}, 2, "", "varno-count: RUNS must be at least 1 [^\n]*\n"},
      {{"--csv", "3", "3"}, 2, "", "varno-count: --csv does not go with this kind of run [^\n]*\n"},
      {{"--estimate", "--table"}, 2, "", "varno-count: only one of [^\n]*\n"},
      {{"--table", "3", "3"}, 2, "", "varno-count: --table takes no N K; use --up-to N K [^\n]*\n"},
      {{"--memory", "0.000001", "--method", "memory", "6", "6"},
       1,
       "",
       "varno-count: size 6x6 needs about [^\n]*\n"},
      {{"--resume", "--work-dir", dir, "4", "4"},
       1,
       "",
       "varno-count: no count of this size and setup to resume [^\n]*\n"},
  };
  for (const Case& each : cases) {
    std::string command;
    for (const std::string& arg : each.args) command += " " + arg;
    SCOPED_TRACE("varno-count" + command);
    const Outcome outcome = runCount(each.args);
    EXPECT_EQ(outcome.status, each.status);
    EXPECT_TRUE(std::regex_match(outcome.out, std::regex(with(each.out)))) << outcome.out;
    EXPECT_TRUE(std::regex_match(outcome.err, std::regex(each.err))) << outcome.err;
  }
}

// Ctrl+C ends a count with the last layer kept, and so does killing it, if less politely; either way
// --resume goes on from there to the same count, and nothing half written is left.
TEST(VarnoCount, AnInterruptedCountResumes) {
  for (const int signal : {SIGINT, SIGKILL}) {
    SCOPED_TRACE(signal == SIGINT ? "Ctrl+C" : "killed");
    const TemporaryDirectory work;
    const std::vector<std::string> args = {
        "--work-dir", work.path(), "--keep-every", "0", "--primes-at-once", "1", "7", "5"};
    Launched interrupted(VARNO_COUNT, args);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (work.files().size() < 2 && std::chrono::steady_clock::now() < deadline) {
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    interrupted.signal(signal);
    const Outcome stopped = interrupted.wait();
    EXPECT_EQ(stopped.out, "");
    if (signal == SIGINT) {
      EXPECT_EQ(stopped.status, 1);
      EXPECT_TRUE(std::regex_match(stopped.err,
                                   std::regex("varno-count: interrupted; 'varno-count --resume 7 5' goes "
                                              "on from the last layer kept in [^\n]*\n")))
          << stopped.err;
    }
    // The note of where the count stood, and complete files only: the layers it names or was about to
    // name, and a new note not yet renamed.
    const auto kept = work.files();
    EXPECT_NE(std::find(kept.begin(), kept.end(), "varno-count-7x5-1p0-resume"), kept.end());
    for (const std::string& name : kept) {
      EXPECT_TRUE(std::regex_match(
          name, std::regex(R"(varno-count-7x5-1p0-(pass0-layer\d+\.states|resume(\.new)?))")))
          << name;
    }

    std::vector<std::string> resume = args;
    resume.insert(resume.begin(), "--resume");
    const Outcome resumed = runCount(resume);
    EXPECT_EQ(resumed.status, 0) << resumed.err;
    EXPECT_TRUE(std::regex_match(
        resumed.out,
        std::regex(with("n=7 k=5 labellings=4119702793668744552990720 rings=27465077201656414437 "
                        "best=16/25 SECONDS\n"))))
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
  EXPECT_TRUE(
      std::regex_match(outcome.out, std::regex(with(R"(n=8 k=8 runs=0 passes=\d+ mean=0\.000 SECONDS\n)"))))
      << outcome.out;
  EXPECT_EQ(outcome.err, "varno-count: interrupted after 0 of 5 runs\n");
}

// MPI's own libraries keep memory to the end, which the leak check of the sanitizer build would report.
const std::vector<std::string> kMpiEnvironment = {"ASAN_OPTIONS=detect_leaks=0"};

// Spread over one, two and three processes by mpirun, every size up to 5x5 counts as in one process.
TEST(VarnoCount, ProcessesStartedByMpirunCountAsOne) {
  const std::string mpirun = VARNO_MPIRUN;
  if (mpirun.empty()) GTEST_SKIP() << "mpirun not found; the counts over several processes are not tested";
  const TemporaryDirectory work;
  // The size columns, labellings, rings and best link of each row.
  auto counts = [](const std::string& table) {
    std::string rows;
    std::istringstream lines(table);
    for (std::string line; std::getline(lines, line);) {
      std::istringstream fields(line);
      std::string field;
      for (int column = 0; column < 5 && std::getline(fields, field, ','); ++column) rows += field + ",";
      rows += "\n";
    }
    return rows;
  };
  const std::vector<std::string> table = {"--table", "--csv", "--up-to", "5", "5", "--work-dir", work.path()};
  const Outcome alone = runCount(table);
  ASSERT_EQ(alone.status, 0) << alone.err;
  ASSERT_EQ(std::count(alone.out.begin(), alone.out.end(), '\n'), 16);
  for (const char* processes : {"1", "2", "3"}) {
    SCOPED_TRACE(std::string(processes) + " processes");
    std::vector<std::string> args = {"--allow-run-as-root", "--oversubscribe", "-np", processes, VARNO_COUNT};
    args.insert(args.end(), table.begin(), table.end());
    const Outcome spread = Launched(mpirun, args, kMpiEnvironment).wait();
    ASSERT_EQ(spread.status, 0) << spread.err;
    EXPECT_EQ(counts(spread.out), counts(alone.out));
  }
  const Outcome line = Launched(mpirun,
                                {"--allow-run-as-root", "--oversubscribe", "-np", "2", VARNO_COUNT,
                                 "--work-dir", work.path(), "5", "5"},
                                kMpiEnvironment)
                           .wait();
  EXPECT_EQ(line.status, 0) << line.err;
  EXPECT_TRUE(
      std::regex_match(line.out, std::regex(with("n=5 k=5 labellings=124672148625024 rings=25515130947 "
                                                 "best=16/25 SECONDS\n"))))
      << line.out;
}

}  // namespace
