// varno-count as a user runs it: the built program, what it prints and its exit status.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <regex>
#include <sstream>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "counting/keptlayer.h"
#include "counting/modular.h"
#include "counting/ringcounter.h"
#include "counting/temporarydirectory.h"

extern char** environ;

namespace {

using varno::testing::folderContents;
using varno::testing::readFile;
using varno::testing::TemporaryDirectory;
using varno::testing::writeFile;
namespace fs = std::filesystem;

struct Outcome {
  int status = -1;
  std::string out;
  std::string err;
};

// A run of a program with its output going to files, started at once and awaited later.
class Launched {
 public:
  Launched(const std::string& program, const std::vector<std::string>& args) {
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    for (const auto& [fd, name] : {std::pair{STDOUT_FILENO, "/out"}, std::pair{STDERR_FILENO, "/err"}})
      posix_spawn_file_actions_addopen(&actions, fd, (files_.path() + name).c_str(), O_WRONLY | O_CREAT,
                                       0600);
    if (posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv.data(), environ) != 0) pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
  }

  void signal(int number) const { ::kill(pid_, number); }
  // Waits until the run has written to stderr (its first progress) or ended.
  void awaitOutput() const {
    auto ended = [&] {
      siginfo_t info{};
      return ::waitid(P_PID, static_cast<id_t>(pid_), &info, WEXITED | WNOHANG | WNOWAIT) != 0 ||
             info.si_pid != 0;
    };
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(300);
    while (fs::file_size(files_.path() + "/err") == 0 && !ended() &&
           std::chrono::steady_clock::now() < deadline)
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }

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

// A run ended with this status, and the whole of stdout on success, else of stderr, matches the pattern
// while the other stays empty.
void expectRun(const Outcome& outcome, int status, const std::string& pattern) {
  EXPECT_EQ(outcome.status, status);
  EXPECT_TRUE(matches(status == 0 ? outcome.out : outcome.err, pattern)) << outcome.out << outcome.err;
  EXPECT_EQ(status == 0 ? outcome.err : outcome.out, "");
}

std::vector<std::string> words(const std::string& command, const std::string& directory) {
  std::vector<std::string> args;
  std::istringstream in(command);
  for (std::string word; in >> word;) args.push_back(word == "DIR" ? directory : word == "EMPTY" ? "" : word);
  return args;
}

TEST(VarnoCount, EveryKindOfRunPrintsItsLineAndStatus) {
  const TemporaryDirectory work;
  // Every size up to 8x6, each counted or with a note why not.
  std::string everySize = "n,k,labellings,rings,best,seconds,peak_bytes,note\n";
  for (const char n : std::string("345678"))
    for (const char k : std::string("123456"))
      everySize +=
          n + std::string(",") + k +
          R"(,\d+,(\d+,\d+/\d+,\d+\.\d{3},\d+,|,,,,(left out: about|needs more than this machine has:) .+)\n)";
  // The arguments (DIR for the work directory, EMPTY for an empty one), the status, the output.
  std::vector<std::tuple<std::string, int, std::string>> cases = {
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
      {"--table --csv --up-to 8 6 --max-seconds 0.001 --memory 8 --disk 8 --threads 2 --work-dir DIR", 0,
       everySize},
      {"--table --up-to 3 5 --memory 0.000001 --method memory", 0,
       R"(\| n \| k \| labellings \| rings \| best \| seconds \| peak memory \|\n(\|---){7}\|\n)"
       R"((\| 3 \| \d \| \d+ \| \d+ \| \d/\d+ \| \d+\.\d{3} \| \d+ MiB \|\n){4})"
       R"(\| 3 \| 5 \| 252252 \| needs more than this machine has: 4 KiB of memory \| \| \| \|\n)"},
      {"--spectrum 4 4", 0,
       "n=4 k=4 link=9/16 rings=2251\nn=4 k=4 link=10/16 rings=18\n"
       "n=4 k=4 labellings=15765750 rings=2269 best=10/16 SECONDS\n"},
      {"--spectrum --csv --threads 1 3 5", 0, "n,k,link,rings\n3,5,13,1668\n3,5,14,61\n3,5,15,3\n"},
      {"--table --spectrum --up-to 4 4 --memory 0.01 --method memory", 0,
       R"(\n\| weakest link, k=1 \| n=3 \| n=4 \|\n\|---\|---\|---\|\n\| no ring \| 0 \| 0 \|\n\n)"
       R"([\s\S]*\| 9/16 \| 13 \| 2251 \|\n\| 10/16 \| 0 \| 18 \|\n)"},
      {"--table --spectrum --csv --up-to 3 5 --memory 0.000001 --method memory", 0,
       "n,k,link,rings,note\n3,1,,0,no rings\n3,2,,0,no rings\n3,3,5,5,\n3,4,9,13,\n"
       "3,5,,,needs more than this machine has: 4 KiB of memory\n"},
      {"--monte-carlo 4 4 2 --seed 7", 0, R"(n=4 k=4 runs=2 passes=\d+ mean=\d+\.\d{3} SECONDS\n)"},
      {"--help", 0, R"(Usage:\n[\s\S]*Exit status: 0 success, 1 failure[\s\S]*)"},
      {"--version", 0, "varno-count " VARNO_VERSION "\n"},
      {"--memory 0.000001 --method memory 6 6", 1,
       R"(varno-count: size 6x6 needs about \d+\.\d MiB of memory, only 1\.0 KiB allowed\n)"},
      {"--method disk --memory 1 --disk 0.000001 --work-dir DIR 6 6", 1,
       R"(varno-count: size 6x6 needs about \d+\.\d MiB of memory and \d+\.\d MiB of disk, only 1\.0 GiB and )"
       R"(1\.0 KiB allowed\n)"},
      {"--resume --work-dir DIR 4 4", 1, "varno-count: no count of this size and setup to resume in .+\n"},
  };
  // Usage errors, with exit status 2: the arguments and the message.
  const std::vector<std::pair<std::string, std::string>> usageErrors = {
      {"", "expected two arguments N K, got 0"},
      {"9 3", R"(N \(dice\) must be between 3 and 8, got 9)"},
      {"3 x", R"(K \(faces\) must be a whole number, got 'x')"},
      {"--bogus 3 3", "unknown option '--bogus'"},
      {"--threads 0 3 3", "--threads must be between 1 and 256"},
      {"--threads 257 3 3", "--threads must be between 1 and 256"},
      {"--memory nan 3 3", R"(--memory must be between 0\.000001 and 1000000000 \(GiB\), got 'nan')"},
      {"--disk 1e11 3 3", R"(--disk must be between 0\.000001 and 1000000000 \(GiB\), got '1e11')"},
      {"--keep-every -2 3 3",
       R"(--keep-every must be -1 \(never\) or between 0 and 1000000 \(seconds\), got '-2')"},
      {"--table --max-seconds 0",
       R"(--max-seconds must be between 0\.001 and 1000000000 \(seconds\), got '0')"},
      {"--estimate 3 3 --processes 4097", "--processes must be between 1 and 4096"},
      {"--primes-at-once 7 3 3", "--primes-at-once must be between 1 and 6"},
      {"--work-dir EMPTY 3 3", "--work-dir must name a directory"},
      {"--method tape 3 3", "--method must be memory or disk, got 'tape'"},
      {"--monte-carlo 3 2 1", "--monte-carlo needs K of at least 3: with fewer faces there is no ring"},
      {"--monte-carlo 3 3 0", "RUNS must be between 1 and 1000000000000"},
      {"--monte-carlo 3 3 1000000000001", "RUNS must be between 1 and 1000000000000"},
      {"--csv 3 3", "--csv goes with --table or --spectrum"},
      {"--spectrum --keep-every 0 3 3", "--keep-every does not go with --spectrum"},
      {"--spectrum --strongest 3 3", "--spectrum does not go with this kind of run"},
      {"--estimate --table", "only one of --estimate, --table, --strongest, --monte-carlo, --join at a time"},
      {"--table 3 3", "--table takes no N K; use --up-to N K"},
      {"--join 7 4", "--join expects N K and the lines of the passes or their files"},
      {"--join 7 4 --threads 1 DIR", "--threads does not go with --join"},
      {"7 4 --pass 0", "--pass must be between 1 and 3: a count of 7x4 takes 3 passes of one prime"},
      {"7 4 --pass 4", "--pass must be between 1 and 3: a count of 7x4 takes 3 passes of one prime"},
      {"7 4 --pass 1 --resume", "--resume does not go with --pass"},
      {"7 4 --pass 1 --spectrum", "--spectrum does not go with --pass"},
  };
  for (const auto& [command, message] : usageErrors)
    cases.emplace_back(command, 2, "varno-count: " + message + R"( \(see varno-count --help\)\n)");
  for (const auto& [command, status, expected] : cases) {
    SCOPED_TRACE("varno-count " + command);
    expectRun(runCount(words(command, work.path())), status, expected);
  }
}

// A count killed on disk in its second pass leaves complete files only: the note of where it stood, the
// layers it names or was about to name, a new note not yet renamed. --resume goes on to the same count.
TEST(VarnoCount, AKilledCountResumes) {
  const TemporaryDirectory work;
  std::vector<std::string> args =
      words("--work-dir DIR --keep-every 0 --primes-at-once 1 --method disk 7 5", work.path());
  Launched killed(VARNO_COUNT, args);
  // Killed once the note of where the count stands names the second pass.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(120);
  while (readFile(work.path() + "/varno-count-7x5-1p0-resume").find("\npass 1\n") == std::string::npos &&
         std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  killed.signal(SIGKILL);
  EXPECT_EQ(killed.wait().out, "");
  const auto kept = work.files();
  EXPECT_NE(std::find(kept.begin(), kept.end(), "varno-count-7x5-1p0-resume"), kept.end());
  for (const std::string& name : kept)
    EXPECT_TRUE(matches(name, R"(varno-count-7x5-1p0-(pass[01]-layer\d+\.states|resume(\.new)?))")) << name;

  // Everything of the count goes at its end: the layer it went on from, and one an earlier count left; a
  // file of the user's that only starts like the count's stays.
  writeFile(work.path() + "/varno-count-7x5-1p0-pass0-layer5.states", "left over");
  writeFile(work.path() + "/varno-count-7x5-1p0-mine.txt", "mine");
  args.insert(args.begin(), "--resume");
  expectRun(runCount(args), 0,
            "n=7 k=5 labellings=4119702793668744552990720 rings=27465077201656414437 best=16/25 SECONDS\n");
  EXPECT_EQ(work.files(), std::vector<std::string>{"varno-count-7x5-1p0-mine.txt"});
}

// A count with one prime per pass, stopped once it has kept `layer` of `pass` in `directory`.
void keepUntil(const std::string& directory, int dice, int faces, int pass, int layer) {
  varno::RingCounterOptions options;
  options.threads = 2;
  options.memoryLimitBytes = std::uint64_t{1} << 30;
  options.diskLimitBytes = std::uint64_t{1} << 30;
  options.workDirectory = directory;
  options.keepEverySeconds = 0;
  options.primesAtOnce = 1;
  varno::RingCounter* counter = nullptr;
  options.layerDone = [&](int p, int l) {
    if (p == pass && l == layer) counter->cancel();
  };
  varno::RingCounter count(dice, faces, options);
  counter = &count;
  count.start();
  count.wait();
  ASSERT_EQ(count.state(), varno::RingCounter::State::Cancelled);
}

// The note with the line of a field replaced (or removed), and its check line renewed unless told otherwise.
std::string withLine(const std::string& note, const std::string& name, const std::string& line,
                     bool sign = true) {
  const std::string text = std::regex_replace(note, std::regex("(^|\n)" + name + "( [^\n]*)?\n"),
                                              "$1" + line + (line.empty() ? "" : "\n"));
  return sign ? varno::withCheck(text.substr(0, text.rfind("check "))) : text;
}

// A resume goes on only from a note and a layer it made itself, each field and file checked: anything
// else is refused with exit status 1 and a message saying what, and every file is left as it was.
TEST(VarnoCount, AResumeRefusesWhatDoesNotCheckOut) {
  const TemporaryDirectory made;
  keepUntil(made.path(), 4, 5, 1, 3);
  const std::string noteName = "varno-count-4x5-1p0-resume";
  const std::string layerName = "varno-count-4x5-1p0-pass1-layer3.states";
  const std::string note = readFile(made.path() + "/" + noteName);
  const std::string layer = readFile(made.path() + "/" + layerName);
  ASSERT_EQ(made.files(), (std::vector<std::string>{layerName, noteName}));
  const std::size_t content = layer.size() - varno::kLabelBytes;
  // The layer with one byte changed, in its content or in its label at the end.
  auto changedAt = [&](std::size_t at) {
    std::string changed = layer;
    ++changed[at];
    return changed;
  };
  using Change = std::function<void(const std::string& directory)>;
  auto set = [](const std::string& name, const std::string& text) {
    return [=](const std::string& directory) { writeFile(directory + "/" + name, text); };
  };
  auto replaced = [&](const std::string& name, const std::function<void(const std::string&)>& make) {
    return [=](const std::string& directory) {
      fs::remove(directory + "/" + name);
      make(directory + "/" + name);
    };
  };
  // Lines of the note replaced, and the note signed again: the new line, and the reason the refusal gives.
  const std::vector<std::pair<std::string, std::string>> lines = {
      {"varno-count note 2", "the note is not one varno-count wrote"},
      {"setup 4x5 meet primes=2 primes-at-once=2 processes=1 rank=0",
       R"(the note is of a count with other options \(4x5 meet primes=2 primes-at-once=2 .+\); go on .+ --resume)"},
      {"plan 0123456789abcdef", "the note is of a count laid out otherwise .by another version.+"},
      {"pass 2", "the note's pass 2 is not one of this count's passes 0 to 1"},
      {"pass -1", "the note's pass '-1' is no whole number"},
      {"layer 0", "the note's layer 0 is not one of the layers 1 to 9 a count keeps"},
      {"layer 03", "the note is not written as varno-count writes it"},
      {"file /dev/zero", "the note names the file '/dev/zero', not '" + layerName + "'"},
      {"bytes 4", R"(the note gives 4 bytes for layer 3, but that layer holds \d+)"},
      {"checksum 0123456789abcdef", "the kept layer's label gives another check sum of its content .+"},
      {"residues 2147483647", "the note's residue 2147483647 is not below its prime 2147483647"},
      {"residues 1 2", "the note gives more than the 1 residues of the passes before pass 1"},
      {"residues", "the note gives 0 residues, but the passes before pass 1 make 1"},
      {"residues 7", "the kept layer's label gives another check sum of the residues than the note"},
  };
  // What is changed otherwise, and the reason.
  std::vector<std::tuple<std::string, Change, std::string>> cases = {
      {"edited", set(noteName, withLine(note, "residues", "residues 7", false)),
       "the note was changed after .+"},
      {"a line too few", set(noteName, withLine(note, "bytes", "")), "the note has 9 lines, not 10"},
      {"a line cut", set(noteName, note.substr(0, note.size() - 1)), "the note ends in the middle of a line"},
      {"a long note", set(noteName, std::string(100000, 'a') + "\n"), "the note is too long .+"},
      {"the note a link",
       replaced(noteName, [&](const std::string& path) { fs::create_symlink("/dev/null", path); }),
       "the note " + noteName + " is a symbolic link"},
      {"the note a pipe", replaced(noteName, [](const std::string& path) { ::mkfifo(path.c_str(), 0600); }),
       "the note " + noteName + " is not a regular file"},
      {"the note linked twice",
       [&](const std::string& directory) {
         fs::create_hard_link(directory + "/" + noteName, directory + "/mine");
       },
       "the note " + noteName + " has 2 names \\(hard links\\); varno-count makes files with one"},
      {"a byte of the layer", set(layerName, changedAt(5)), "the kept layer [^']+ was changed after .+"},
      {"the layer cut short", set(layerName, layer.substr(0, content)),
       "the kept layer " + layerName + " has " + std::to_string(content) + " bytes, not " +
           std::to_string(layer.size())},
      {"the layer's label", set(layerName, changedAt(content + 21)), "the kept layer's label was changed .+"},
      {"the layer's mark", set(layerName, changedAt(content)),
       "the kept layer carries no label of varno-count.+"},
      {"the layer a folder", replaced(layerName, [](const std::string& path) { fs::create_directory(path); }),
       "the kept layer " + layerName + " is not a regular file"},
      {"the layer missing", [&](const std::string& directory) { fs::remove(directory + "/" + layerName); },
       "the kept layer " + layerName + " is missing"},
  };
  if (::geteuid() == 0) {
    auto owned = [&](const std::string& directory) {
      if (::chown((directory + "/" + noteName).c_str(), 65534, 65534) != 0) ADD_FAILURE() << "chown";
    };
    cases.emplace_back("the note another user's", owned, "the note " + noteName + " belongs to another user");
  }
  for (const auto& [line, reason] : lines)
    cases.emplace_back(line, set(noteName, withLine(note, line.substr(0, line.find(' ')), line)), reason);
  for (const auto& [name, change, reason] : cases) {
    SCOPED_TRACE(name);
    const TemporaryDirectory work;
    fs::copy(made.path(), work.path());
    change(work.path());
    const auto before = folderContents(work.path());
    expectRun(runCount(words("--resume --work-dir DIR --keep-every 0 --primes-at-once 1 4 5", work.path())),
              1,
              "varno-count: cannot resume from what is kept in " + work.path() + ": " + reason +
                  "; nothing there was changed\n");
    EXPECT_EQ(folderContents(work.path()), before);
  }
}

// The passes of 7x4, whose rings exceed every prime, run as processes of their own and print the rings
// modulo their primes; --join makes the count of them, from files or lines in any order, and refuses
// what does not make it: each row changes one thing of the passes given.
TEST(VarnoCount, PassesRunApartAndJoinIntoTheCount) {
  const TemporaryDirectory work;
  const std::string count = "n=7 k=4 labellings=9496511321046750000 rings=1448807481956 best=10/16 SECONDS\n";
  const mpz_class rings("1448807481956");
  std::vector<std::unique_ptr<Launched>> launched;
  for (const char* pass : {"1", "2", "3"})
    launched.push_back(std::make_unique<Launched>(
        VARNO_COUNT, words(std::string("--threads 1 --work-dir DIR 7 4 --pass ") + pass, work.path())));
  std::vector<std::string> lines;
  std::vector<std::string> files;
  for (std::size_t i = 0; i < launched.size(); ++i) {
    const Outcome outcome = launched[i]->wait();
    const std::uint32_t prime = varno::Modular::kPrimes[i];
    expectRun(outcome, 0,
              "n=7 k=4 pass=" + std::to_string(i + 1) + " of=3 prime=" + std::to_string(prime) +
                  " rings_residue=" + mpz_class(rings % prime).get_str() + " best=10/16 SECONDS\n");
    lines.push_back(outcome.out.substr(0, outcome.out.size() - 1));
    files.push_back(work.path() + "/pass" + std::to_string(i + 1));
    writeFile(files.back(), outcome.out);
  }
  writeFile(work.path() + "/large", std::string(64 * 1024 + 1, '\n'));
  writeFile(work.path() + "/both", "\n" + lines[2] + "\r\n\n" + lines[0] + "\n");
  auto with = [](std::string line, const std::string& from, const std::string& to) {
    return line.replace(line.find(from), from.size(), to);
  };
  // A line of a pass whose residue is one more.
  auto changed = [&](std::size_t pass) {
    const std::string residue = mpz_class(rings % varno::Modular::kPrimes[pass]).get_str();
    return with(lines[pass], residue + " ", std::to_string(std::stoul(residue) + 1) + " ");
  };
  const std::string refused = "varno-count: cannot join the passes of 7x4: ";
  // The arguments of a join of passes 1 and 2 with these.
  auto join = [&](std::vector<std::string> more) {
    more.insert(more.begin(), {"7", "4", "--join", files[0], files[1]});
    return more;
  };
  const std::vector<std::tuple<std::string, std::vector<std::string>, int, std::string>> cases = {
      {"files", join({files[2]}), 0, count},
      {"lines and a file of two", {"7", "4", "--join", lines[1], work.path() + "/both"}, 0, count},
      {"missing", {"7", "4", "--join", files[2], files[0]}, 1, refused + "pass 2 of 3 is missing\n"},
      {"repeated", join({files[2], lines[1]}), 1,
       refused + "pass 2 is given twice: in line 1 of " + files[1] +
           " and in line 1 of argument 4 of --join\n"},
      {"repeated, otherwise", join({changed(1), files[2]}), 1,
       refused + "pass 2 is given twice, with different residues: in line 1 of " + files[1] +
           " and in line 1 of argument 3 of --join\n"},
      {"of another size", join({with(lines[2], "k=4", "k=5")}), 1,
       refused + "pass 3 in line 1 of argument 3 of --join is of size 7x5, not 7x4\n"},
      {"of another number of passes", join({with(lines[2], "of=3", "of=4")}), 1,
       refused + "pass 3 in line 1 of argument 3 of --join is one of 4 passes, but a count of 7x4 takes 3\n"},
      {"of another prime", join({with(lines[2], "prime=2147483587", "prime=2147483579")}), 1,
       refused +
           "pass 3 in line 1 of argument 3 of --join was counted modulo 2147483579, not modulo 2147483587\n"},
      {"a residue changed", join({changed(2)}), 1,
       refused + "the count of 7x4 failed its check: .*exceed the number of labellings\n"},
      {"another best", join({with(lines[2], "best=10", "best=11")}), 1,
       refused + "the passes disagree on the best weakest link: 10 in line 1 of .+, 11 in line 1 of argument "
                 "3 of --join\n"},
      {"malformed", join({with(lines[2], " seconds", "  seconds")}), 1,
       refused + R"(line 1 of argument 3 of --join is not a line of a pass \(n=N .+\): 'n=7 .+'\n)"},
      {"a device", join({"/dev/zero"}), 1, refused + "'/dev/zero' is no regular file of lines of passes\n"},
      {"a large file", join({files[2], work.path() + "/large"}), 1,
       refused + "the file '" + work.path() +
           "/large' holds more than the lines of passes \\(over 64 KiB\\)\n"},
  };
  for (const auto& [name, args, status, expected] : cases) {
    SCOPED_TRACE(name);
    expectRun(runCount(args), status, expected);
  }
}

// Ctrl+C and SIGTERM end every kind of run that lasts once it shows its first progress, with status 1; Monte
// Carlo runs with the figures so far, a count that keeps layers with where to go on.
TEST(VarnoCount, EveryKindOfRunStopsWhenAsked) {
  const TemporaryDirectory kept;
  keepUntil(kept.path(), 8, 5, 0, 4);
  const std::string interrupted = "varno-count: interrupted\n";  // as a regular expression, too
  // The arguments (DIR for the directory of a count of 8x5 kept in its first pass, FRESH for an empty
  // one); what stdout and the end of stderr say.
  const std::vector<std::tuple<std::string, std::string, std::string>> cases = {
      {"--work-dir FRESH --keep-every 0 8 5", "",
       "varno-count: interrupted; 'varno-count --resume 8 5' goes on from the last layer kept in [^\n]*, if "
       "any\n"},
      {"--resume --work-dir DIR --keep-every -1 --primes-at-once 1 8 5", "", interrupted},
      {"--estimate 8 8 --processes 4096", "", interrupted},
      {"--table --up-to 8 5", R"(\| n \| k \|[^\n]*\n(\|[^\n]*\|\n)+)", interrupted},
      {"--monte-carlo 8 8 5 --seed 1", R"(n=8 k=8 runs=0 passes=\d+ mean=0\.000 SECONDS\n)",
       "varno-count: interrupted after 0 of 5 runs\n"},
  };
  for (const auto& [command, out, err] : cases) {
    for (const int signal : {SIGINT, SIGTERM}) {
      SCOPED_TRACE("varno-count --progress " + command + (signal == SIGINT ? ", Ctrl+C" : ", SIGTERM"));
      const TemporaryDirectory fresh;
      std::vector<std::string> args = words(command, kept.path());
      std::replace(args.begin(), args.end(), std::string("FRESH"), fresh.path());
      args.insert(args.begin(), "--progress");
      Launched run(VARNO_COUNT, args);
      run.awaitOutput();
      run.signal(signal);
      const Outcome outcome = run.wait();
      EXPECT_EQ(outcome.status, 1);
      EXPECT_TRUE(matches(outcome.out, out)) << outcome.out;
      EXPECT_TRUE(matches(outcome.err, R"([\s\S]*)" + err)) << outcome.err;
    }
  }
  // The count it resumed from is left as it was, to go on from once more.
  EXPECT_EQ(kept.files().size(), 2u);
}

// A table in CSV spread over two processes talking over TCP and over three through shared memory, and a
// count over two, count as in one process, every size up to 5x5.
TEST(VarnoCount, ProcessesStartedByMpirunCountAsOne) {
  const TemporaryDirectory work;
  const std::vector<std::string> table = {"--table", "--csv", "--up-to", "5", "5", "--work-dir", work.path()};
  const Outcome alone = runCount(table);
  ASSERT_EQ(alone.status, 0) << alone.err;
  const std::string mpirun = VARNO_MPIRUN;
  if (mpirun.empty()) GTEST_SKIP() << "mpirun not found; the counts over several processes are not tested";
  // MPI's own libraries keep memory to the end, which the leak check of the sanitizer build would report.
  auto spread = [&](const char* processes, const std::vector<std::string>& args, const char* transport = "") {
    std::vector<std::string> all = {"--allow-run-as-root", "--oversubscribe", "-np", processes};
    // TCP over the loopback device, which every machine has, or shared memory; never another transport.
    if (transport == std::string("tcp")) all.insert(all.end(), {"--mca", "btl_tcp_if_include", "lo"});
    if (*transport != 0)
      all.insert(all.end(), {"--mca", "pml", "ob1", "--mca", "btl", transport + std::string(",self")});
    all.insert(all.end(), {"-x", "ASAN_OPTIONS=detect_leaks=0", VARNO_COUNT});
    all.insert(all.end(), args.begin(), args.end());
    return Launched(mpirun, all).wait();
  };
  // The size columns, labellings, rings and best link of each row.
  auto counts = [](const std::string& rows) {
    return std::regex_replace(rows, std::regex(",[^,\n]*,[^,\n]*,[^,\n]*\n"), "\n");
  };
  // Three processes count on disk, in bands of a few hundred kilobytes.
  for (const char* processes : {"2", "3"}) {
    std::vector<std::string> args = table;
    if (processes == std::string("3")) args.insert(args.end(), {"--method", "disk", "--memory", "0.0003"});
    const Outcome outcome = spread(processes, args, processes == std::string("3") ? "vader" : "tcp");
    ASSERT_EQ(outcome.status, 0) << outcome.err;
    EXPECT_EQ(counts(outcome.out), counts(alone.out)) << processes << " processes";
  }
  const Outcome line = spread("2", {"--work-dir", work.path(), "5", "5"});
  EXPECT_EQ(line.status, 0) << line.err;
  EXPECT_TRUE(matches(line.out, "n=5 k=5 labellings=124672148625024 rings=25515130947 best=16/25 SECONDS\n"))
      << line.out;
}

}  // namespace
