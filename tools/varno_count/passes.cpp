// Counts in passes that run apart: the line of one pass, and the join of all passes into the count.

#include <charconv>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "counting/modular.h"
#include "counting/ringcounter.h"
#include "modes.h"

namespace varno::count {

namespace {

constexpr std::size_t kMostFileBytes = 64 * 1024;
constexpr const char* kPassLineForm = "n=N k=K pass=I of=P prime=Q rings_residue=R best=B/KK seconds=S";

// One pass as its line gives it, and where the line was found.
struct PassLine {
  std::uint64_t dice = 0;
  std::uint64_t faces = 0;
  std::uint64_t pass = 0;
  std::uint64_t passes = 0;
  std::uint64_t prime = 0;
  std::uint64_t residue = 0;
  std::uint64_t best = 0;
  std::uint64_t most = 0;  // KK of best=B/KK
  double seconds = 0;
  std::string where;
};

struct JoinRefused {
  std::string message;
};

std::uint64_t numberOf(const std::ssub_match& match) {
  std::uint64_t value = 0;
  std::from_chars(match.first.base(), match.second.base(), value);
  return value;
}

PassLine readLine(const std::string& line, const std::string& where) {
  // Ten digits at most, so that every number read fits.
  static const std::regex form(
      R"(n=(\d{1,10}) k=(\d{1,10}) pass=(\d{1,10}) of=(\d{1,10}) prime=(\d{1,10}) rings_residue=(\d{1,10}) )"
      R"(best=(\d{1,10})/(\d{1,10}) seconds=(\d{1,15}\.\d{1,9}))");
  std::smatch match;
  if (!std::regex_match(line, match, form)) {
    throw JoinRefused{where + " is not a line of a pass (" + kPassLineForm + "): '" + line.substr(0, 100) +
                      "'"};
  }
  PassLine read;
  read.dice = numberOf(match[1]);
  read.faces = numberOf(match[2]);
  read.pass = numberOf(match[3]);
  read.passes = numberOf(match[4]);
  read.prime = numberOf(match[5]);
  read.residue = numberOf(match[6]);
  read.best = numberOf(match[7]);
  read.most = numberOf(match[8]);
  read.seconds = std::stod(match[9].str());
  read.where = where;
  return read;
}

// The lines of one argument: the argument itself when it is a line of a pass, else the file it names.
std::vector<PassLine> readArgument(const std::string& argument, std::size_t index) {
  std::vector<PassLine> lines;
  std::string text = argument;
  std::string origin = "argument " + std::to_string(index) + " of --join";
  if (argument.rfind("n=", 0) != 0) {
    // Only a regular file, and no more of it than the lines of passes take: never a pipe or a device
    // that would keep the join waiting or reading without end.
    std::error_code error;
    if (!std::filesystem::is_regular_file(argument, error)) {
      throw JoinRefused{"'" + argument + "' is no regular file of lines of passes"};
    }
    std::ifstream in(argument, std::ios::binary);
    text.assign(kMostFileBytes + 1, '\0');
    in.read(text.data(), static_cast<std::streamsize>(text.size()));
    if (in.bad() || !in.is_open()) throw JoinRefused{"cannot read the file '" + argument + "'"};
    text.resize(static_cast<std::size_t>(in.gcount()));
    if (text.size() > kMostFileBytes) {
      throw JoinRefused{"the file '" + argument + "' holds more than the lines of passes (over 64 KiB)"};
    }
    origin = argument;
  }
  std::istringstream in(text);
  int number = 0;
  for (std::string line; std::getline(in, line);) {
    ++number;
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t'))
      line.pop_back();
    if (line.empty()) continue;
    lines.push_back(readLine(line, "line " + std::to_string(number) + " of " + origin));
  }
  if (lines.empty()) throw JoinRefused{origin + " holds no line of a pass"};
  return lines;
}

std::string sizeOf(std::uint64_t dice, std::uint64_t faces) {
  return std::to_string(dice) + "x" + std::to_string(faces);
}

RingCount join(const Request& request, double* seconds) {
  const auto dice = static_cast<std::uint64_t>(request.dice);
  const auto faces = static_cast<std::uint64_t>(request.faces);
  const std::string size = sizeOf(dice, faces);
  const auto passes = static_cast<std::uint64_t>(Modular::primesNeeded(request.dice, request.faces));
  std::map<std::uint64_t, PassLine> found;
  for (std::size_t i = 0; i < request.passes.size(); ++i) {
    for (PassLine& line : readArgument(request.passes[i], i + 1)) {
      const std::string pass = "pass " + std::to_string(line.pass) + " in " + line.where;
      auto refused = [&pass](const std::string& why) { return JoinRefused{pass + why}; };
      if (line.dice != dice || line.faces != faces) {
        throw refused(" is of size " + sizeOf(line.dice, line.faces) + ", not " + size);
      }
      if (line.passes != passes) {
        throw refused(" is one of " + std::to_string(line.passes) + " passes, but a count of " + size +
                      " takes " + std::to_string(passes));
      }
      if (line.pass < 1 || line.pass > passes) {
        throw JoinRefused{line.where + " names pass " + std::to_string(line.pass) + ", not one of 1 to " +
                          std::to_string(passes)};
      }
      if (line.prime != Modular::kPrimes[line.pass - 1]) {
        throw refused(" was counted modulo " + std::to_string(line.prime) + ", not modulo " +
                      std::to_string(Modular::kPrimes[line.pass - 1]));
      }
      if (line.residue >= line.prime) {
        throw refused(" gives a residue not below its prime");
      }
      if (line.most != faces * faces || line.best > line.most) {
        throw refused(" gives a best weakest link out of " + std::to_string(line.most) + ", not out of " +
                      std::to_string(faces * faces));
      }
      if (const auto earlier = found.find(line.pass); earlier != found.end()) {
        const bool same = earlier->second.residue == line.residue && earlier->second.best == line.best;
        throw JoinRefused{"pass " + std::to_string(line.pass) + " is given twice" +
                          (same ? "" : ", with different residues") + ": in " + earlier->second.where +
                          " and in " + line.where};
      }
      if (!found.empty() && found.begin()->second.best != line.best) {
        const PassLine& other = found.begin()->second;
        throw JoinRefused{"the passes disagree on the best weakest link: " + std::to_string(other.best) +
                          " in " + other.where + ", " + std::to_string(line.best) + " in " + line.where};
      }
      found.emplace(line.pass, std::move(line));
    }
  }
  std::vector<std::uint64_t> missing;
  for (std::uint64_t pass = 1; pass <= passes; ++pass)
    if (found.count(pass) == 0) missing.push_back(pass);
  if (!missing.empty()) {
    std::string list;
    for (std::uint64_t pass : missing) list += (list.empty() ? "" : ", ") + std::to_string(pass);
    throw JoinRefused{(missing.size() == 1
                           ? "pass " + list + " of " + std::to_string(passes) + " is missing"
                           : "passes " + list + " of " + std::to_string(passes) + " are missing")};
  }
  std::vector<std::uint32_t> residues;
  *seconds = 0;
  for (const auto& [pass, line] : found) {
    residues.push_back(static_cast<std::uint32_t>(line.residue));
    *seconds += line.seconds;
  }
  try {
    return RingCounter::join(request.dice, request.faces, residues,
                             static_cast<int>(found.begin()->second.best));
  } catch (const std::exception& error) {
    throw JoinRefused{error.what()};
  }
}

}  // namespace

std::string passLine(const RingCount& count, double seconds) {
  char text[256];
  std::snprintf(text, sizeof text,
                "n=%d k=%d pass=%d of=%d prime=%u rings_residue=%u best=%d/%d seconds=%.3f", count.dice,
                count.faces, count.pass, Modular::primesNeeded(count.dice, count.faces),
                Modular::kPrimes[count.pass - 1], count.ringsResidue, count.bestWeakestLink,
                count.faces * count.faces, seconds);
  return text;
}

int joinMode(const Request& request) {
  double seconds = 0;
  try {
    const RingCount count = join(request, &seconds);
    std::printf("%s\n", countLine(count, seconds).c_str());
    return 0;
  } catch (const JoinRefused& refused) {
    std::cerr << "varno-count: cannot join the passes of " << request.dice << "x" << request.faces << ": "
              << refused.message << '\n';
    return kExitFailure;
  }
}

}  // namespace varno::count
