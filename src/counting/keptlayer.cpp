#include "counting/keptlayer.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <memory>
#include <sstream>

#include "counting/modular.h"
#include "counting/sweep.h"

#define XXH_INLINE_ALL
#include <xxhash.h>

namespace varno {

namespace {

constexpr std::string_view kNoteFormat = "varno-count note 1";
constexpr std::array<char, 8> kLabelMagic = {'V', 'A', 'R', 'N', 'O', 'L', 'Y', 'R'};
constexpr std::uint16_t kLabelVersion = 1;
constexpr std::size_t kNoteMostBytes = 4096;
constexpr std::uint64_t kChecksumSlice = std::uint64_t{4} << 20;

// A check sum built up piece by piece.
class Hasher {
 public:
  Hasher() : state_(XXH3_createState()) {
    if (state_ == nullptr) throw std::bad_alloc();
    XXH3_64bits_reset(state_.get());
  }
  void add(const void* data, std::size_t bytes) { XXH3_64bits_update(state_.get(), data, bytes); }
  void add(std::uint64_t value) { add(&value, sizeof value); }
  std::uint64_t sum() const { return XXH3_64bits_digest(state_.get()); }

 private:
  struct Free {
    void operator()(XXH3_state_t* state) const { XXH3_freeState(state); }
  };
  std::unique_ptr<XXH3_state_t, Free> state_;
};

std::uint64_t residuesChecksum(const std::vector<std::uint32_t>& residues) {
  return XXH3_64bits(residues.data(), residues.size() * sizeof(std::uint32_t));
}

std::string hex(std::uint64_t value) {
  char text[20];
  std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(value));
  return text;
}

std::string prefixOf(const KeptSetup& setup) {
  std::ostringstream name;
  name << "varno-count-" << setup.dice << "x" << setup.faces << "-" << setup.processes << "p" << setup.rank
       << "-";
  return name.str();
}

std::string setupLine(const KeptSetup& setup) {
  std::ostringstream line;
  line << setup.dice << "x" << setup.faces << " " << (setup.meet ? "meet" : "full")
       << (setup.negate ? " negated" : "") << " primes=" << setup.primes
       << " primes-at-once=" << setup.primesAtOnce << " processes=" << setup.processes
       << " rank=" << setup.rank;
  return line.str();
}

// A whole number written in decimal digits only.
std::optional<std::uint64_t> decimal(std::string_view text) {
  std::uint64_t value = 0;
  if (text.empty() || text.front() < '0' || text.front() > '9') return std::nullopt;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

std::optional<std::uint64_t> hexadecimal(std::string_view text) {
  std::uint64_t value = 0;
  if (text.size() != 16) return std::nullopt;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, 16);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

// The value of line `index` if it is "name value".
std::string_view field(const std::vector<std::string_view>& lines, std::size_t index, std::string_view name) {
  const std::string_view line = lines[index];
  if (line == name) return {};
  if (line.size() <= name.size() || line.substr(0, name.size()) != name || line[name.size()] != ' ') {
    throw ResumeRefused("the note's line " + std::to_string(index + 1) + " should give the " +
                        std::string(name) + ", but it reads '" + std::string(line.substr(0, 80)) + "'");
  }
  return line.substr(name.size() + 1);
}

std::uint64_t number(std::string_view text, std::string_view what) {
  const auto value = decimal(text);
  if (!value) {
    throw ResumeRefused("the note's " + std::string(what) + " '" + std::string(text.substr(0, 40)) +
                        "' is no whole number");
  }
  return *value;
}

std::uint64_t checksumOf(const LayerFile& file, std::uint64_t bytes, const std::atomic<bool>* cancel) {
  Hasher hasher;
  std::vector<std::byte> slice(static_cast<std::size_t>(std::min(bytes, kChecksumSlice)));
  for (std::uint64_t at = 0; at < bytes; at += slice.size()) {
    const std::uint64_t length = std::min<std::uint64_t>(slice.size(), bytes - at);
    file.read(at, slice.data(), length, cancel);
    hasher.add(slice.data(), length);
  }
  return hasher.sum();
}

// Little-endian fields of a label.
template <typename T>
void put(Label& label, std::size_t at, T value) {
  for (std::size_t i = 0; i < sizeof(T); ++i)
    label[at + i] = static_cast<std::byte>((static_cast<std::uint64_t>(value) >> (8 * i)) & 0xff);
}

template <typename T>
T get(std::span<const std::byte> label, std::size_t at) {
  std::uint64_t value = 0;
  for (std::size_t i = 0; i < sizeof(T); ++i) value |= static_cast<std::uint64_t>(label[at + i]) << (8 * i);
  return static_cast<T>(value);
}

constexpr std::size_t kSealAt = kLabelBytes - 8;

std::uint64_t sealOf(std::span<const std::byte> label) {
  return XXH3_64bits(label.data(), kSealAt);
}

bool isLayerName(std::string_view rest) {
  // "pass" digit "-layer" one or two digits ".states"
  if (rest.size() < 18 || rest.substr(0, 4) != "pass" || rest[4] < '0' || rest[4] > '9') return false;
  if (rest.substr(5, 6) != "-layer") return false;
  std::size_t digits = 0;
  while (11 + digits < rest.size() && rest[11 + digits] >= '0' && rest[11 + digits] <= '9') ++digits;
  return (digits == 1 || digits == 2) && rest.substr(11 + digits) == ".states";
}

}  // namespace

std::uint64_t planPrint(const CountPlan& plan, const Partition& partition, int rank, int lastLayer) {
  Hasher hasher;
  hasher.add(static_cast<std::uint64_t>(LayerSweep::kLayerFormat));
  hasher.add(static_cast<std::uint64_t>(plan.dice()));
  hasher.add(static_cast<std::uint64_t>(plan.faces()));
  hasher.add(static_cast<std::uint64_t>(partition.processes()));
  hasher.add(static_cast<std::uint64_t>(rank));
  for (int layer = 0; layer <= lastLayer && layer <= plan.lastLayer(); ++layer) {
    const auto& blocks = plan.blocks(layer);
    hasher.add(blocks.size());
    hasher.add(partition.localCells(layer, rank));
    for (std::size_t b = 0; b < blocks.size(); ++b) {
      hasher.add(blocks[b].counts);
      hasher.add(blocks[b].dims.data(), blocks[b].dims.size());
      hasher.add(static_cast<std::uint64_t>(partition.owner(layer, b)));
      hasher.add(partition.localOffset(layer, b));
    }
  }
  return hasher.sum();
}

std::string noteName(const KeptSetup& setup) {
  return prefixOf(setup) + "resume";
}

std::string layerName(const KeptSetup& setup, int pass, int layer) {
  return prefixOf(setup) + "pass" + std::to_string(pass) + "-layer" + std::to_string(layer) + ".states";
}

std::string withCheck(std::string_view lines) {
  return std::string(lines) + "check " + hex(XXH3_64bits(lines.data(), lines.size())) + "\n";
}

std::string writeNote(const KeptSetup& setup, const KeptState& state) {
  std::ostringstream text;
  text << kNoteFormat << "\nsetup " << setupLine(setup) << "\nplan " << hex(setup.plan) << "\npass "
       << state.pass << "\nlayer " << state.layer << "\nfile " << layerName(setup, state.pass, state.layer)
       << "\nbytes " << state.bytes << "\nchecksum " << hex(state.checksum) << "\nresidues";
  for (std::uint32_t residue : state.residues) text << " " << residue;
  text << "\n";
  return withCheck(text.str());
}

KeptState readNote(std::string_view text, const KeptSetup& setup) {
  std::vector<std::string_view> lines;
  for (std::size_t start = 0; start < text.size();) {
    const std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) throw ResumeRefused("the note ends in the middle of a line");
    lines.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  constexpr std::size_t kLines = 10;
  if (lines.empty() || lines[0] != kNoteFormat) throw ResumeRefused("the note is not one varno-count wrote");
  if (lines.size() != kLines) {
    throw ResumeRefused("the note has " + std::to_string(lines.size()) + " lines, not " +
                        std::to_string(kLines));
  }
  const std::string_view body = text.substr(0, text.size() - lines.back().size() - 1);
  const auto check = hexadecimal(field(lines, 9, "check"));
  if (!check || *check != XXH3_64bits(body.data(), body.size())) {
    throw ResumeRefused("the note was changed after it was written (its check sum does not match)");
  }
  if (field(lines, 1, "setup") != setupLine(setup)) {
    throw ResumeRefused("the note is of a count with other options (" +
                        std::string(field(lines, 1, "setup").substr(0, 100)) +
                        "); go on with the options it was started with, or start afresh without --resume");
  }
  if (hexadecimal(field(lines, 2, "plan")) != setup.plan) {
    throw ResumeRefused("the note is of a count laid out otherwise (by another version of varno-count)");
  }
  KeptState state;
  const std::uint64_t pass = number(field(lines, 3, "pass"), "pass");
  if (pass >= static_cast<std::uint64_t>(setup.passes())) {
    throw ResumeRefused("the note's pass " + std::to_string(pass) +
                        " is not one of this count's passes 0 to " + std::to_string(setup.passes() - 1));
  }
  state.pass = static_cast<int>(pass);
  const std::uint64_t layer = number(field(lines, 4, "layer"), "layer");
  if (layer < 1 || layer > static_cast<std::uint64_t>(setup.lastLayer)) {
    throw ResumeRefused("the note's layer " + std::to_string(layer) + " is not one of the layers 1 to " +
                        std::to_string(setup.lastLayer) + " a count keeps");
  }
  state.layer = static_cast<int>(layer);
  const std::string expected = layerName(setup, state.pass, state.layer);
  if (field(lines, 5, "file") != expected) {
    throw ResumeRefused("the note names the file '" + std::string(field(lines, 5, "file").substr(0, 200)) +
                        "', not '" + expected + "'");
  }
  state.bytes = number(field(lines, 6, "bytes"), "size");
  if (state.bytes != setup.layerBytes(state.pass, state.layer)) {
    throw ResumeRefused("the note gives " + std::to_string(state.bytes) + " bytes for layer " +
                        std::to_string(state.layer) + ", but that layer holds " +
                        std::to_string(setup.layerBytes(state.pass, state.layer)));
  }
  const auto checksum = hexadecimal(field(lines, 7, "checksum"));
  if (!checksum) throw ResumeRefused("the note's check sum of the layer is no 16-digit hexadecimal number");
  state.checksum = *checksum;
  const std::size_t before =
      static_cast<std::size_t>(state.pass) * static_cast<std::size_t>(setup.primesAtOnce);
  std::istringstream residues{std::string(field(lines, 8, "residues"))};
  for (std::string word; residues >> word;) {
    const std::uint64_t residue = number(word, "residue");
    const std::size_t index = state.residues.size();
    if (index >= before) {
      throw ResumeRefused("the note gives more than the " + std::to_string(before) +
                          " residues of the passes before pass " + std::to_string(state.pass));
    }
    if (residue >= Modular::kPrimes[index]) {
      throw ResumeRefused("the note's residue " + std::to_string(residue) + " is not below its prime " +
                          std::to_string(Modular::kPrimes[index]));
    }
    state.residues.push_back(static_cast<std::uint32_t>(residue));
  }
  if (state.residues.size() != before) {
    throw ResumeRefused("the note gives " + std::to_string(state.residues.size()) +
                        " residues, but the passes before pass " + std::to_string(state.pass) + " make " +
                        std::to_string(before));
  }
  if (writeNote(setup, state) != text)
    throw ResumeRefused("the note is not written as varno-count writes it");
  return state;
}

Label writeLabel(const KeptSetup& setup, const KeptState& state) {
  Label label{};
  for (std::size_t i = 0; i < kLabelMagic.size(); ++i) label[i] = static_cast<std::byte>(kLabelMagic[i]);
  put<std::uint16_t>(label, 8, kLabelVersion);
  put<std::uint8_t>(label, 10, setup.dice);
  put<std::uint8_t>(label, 11, setup.faces);
  put<std::uint8_t>(label, 12, setup.meet ? 1 : 0);
  put<std::uint8_t>(label, 13, setup.negate ? 1 : 0);
  put<std::uint8_t>(label, 14, setup.primes);
  put<std::uint8_t>(label, 15, setup.primesAtOnce);
  put<std::uint16_t>(label, 16, setup.processes);
  put<std::uint16_t>(label, 18, setup.rank);
  put<std::uint8_t>(label, 20, state.pass);
  put<std::uint8_t>(label, 21, state.layer);
  put<std::uint64_t>(label, 24, state.bytes);
  put<std::uint64_t>(label, 32, setup.plan);
  put<std::uint64_t>(label, 40, state.checksum);
  put<std::uint64_t>(label, 48, residuesChecksum(state.residues));
  sealLabel(label);
  return label;
}

void sealLabel(Label& label) {
  put<std::uint64_t>(label, kSealAt, sealOf(label));
}

void checkLabel(std::span<const std::byte> label, const KeptSetup& setup, const KeptState& state) {
  if (label.size() != kLabelBytes ||
      !std::equal(kLabelMagic.begin(), kLabelMagic.end(), label.begin(),
                  [](char c, std::byte b) { return static_cast<std::byte>(c) == b; })) {
    throw ResumeRefused("the kept layer carries no label of varno-count at its end");
  }
  if (get<std::uint64_t>(label, kSealAt) != sealOf(label)) {
    throw ResumeRefused(
        "the kept layer's label was changed after it was written (its check sum does not match)");
  }
  const Label expected = writeLabel(setup, state);
  // The fields in the order written: where each starts, its name, and its size.
  struct Field {
    std::size_t at;
    const char* name;
    std::size_t bytes;
  };
  for (const Field& f :
       {Field{8, "format", 2}, Field{10, "number of dice", 1}, Field{11, "number of faces", 1},
        Field{12, "way of counting", 1}, Field{13, "sign of the residues", 1},
        Field{14, "number of primes", 1}, Field{15, "primes at once", 1}, Field{16, "number of processes", 2},
        Field{18, "process", 2}, Field{20, "pass", 1}, Field{21, "layer", 1}, Field{22, "padding", 2},
        Field{24, "size", 8}, Field{32, "plan", 8}, Field{40, "check sum of its content", 8},
        Field{48, "check sum of the residues", 8}}) {
    if (!std::equal(label.begin() + f.at, label.begin() + f.at + f.bytes, expected.begin() + f.at)) {
      throw ResumeRefused(std::string("the kept layer's label gives another ") + f.name + " than the note");
    }
  }
}

KeptFiles::KeptFiles(const std::string& directory, KeptSetup setup)
    : directory_(directory), setup_(std::move(setup)) {
  fd_ = ::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd_ < 0) {
    throw std::runtime_error("cannot open the work directory " + directory + ": " + std::strerror(errno));
  }
}

KeptFiles::~KeptFiles() {
  if (fd_ >= 0) ::close(fd_);
}

std::string KeptFiles::refusal(const std::string& reason) const {
  return "cannot resume from what is kept in " + directory_ + ": " + reason + "; nothing there was changed";
}

int KeptFiles::openChecked(const std::string& name, int flags, const char* what) const {
  const int fd = ::openat(fd_, name.c_str(), flags | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) {
    const int error = errno;
    if (error == ENOENT) throw ResumeRefused(std::string(what) + " " + name + " is missing");
    if (error == ELOOP) throw ResumeRefused(std::string(what) + " " + name + " is a symbolic link");
    if (error == EISDIR) throw ResumeRefused(std::string(what) + " " + name + " is not a regular file");
    throw ResumeRefused(std::string(what) + " " + name + " cannot be opened: " + std::strerror(error));
  }
  struct stat info {};
  std::string problem;
  if (::fstat(fd, &info) != 0) {
    problem = std::string("cannot be examined: ") + std::strerror(errno);
  } else if (!S_ISREG(info.st_mode)) {
    problem = "is not a regular file";
  } else if (info.st_uid != ::geteuid()) {
    problem = "belongs to another user";
  } else if (info.st_nlink != 1) {
    problem =
        "has " + std::to_string(info.st_nlink) + " names (hard links); varno-count makes files with one";
  }
  if (!problem.empty()) {
    ::close(fd);
    throw ResumeRefused(std::string(what) + " " + name + " " + problem);
  }
  return fd;
}

std::pair<KeptState, LayerFile> KeptFiles::resumable(const std::atomic<bool>* cancel) const {
  try {
    const std::string note = noteName(setup_);
    struct stat info {};
    if (::fstatat(fd_, note.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0 && errno == ENOENT) {
      throw std::runtime_error("no count of this size and setup to resume in " + directory_);
    }
    std::string text(kNoteMostBytes + 1, '\0');
    text.resize(LayerFile::adopt(openChecked(note, O_RDONLY, "the note")).readSome(text.data(), text.size()));
    if (text.size() > kNoteMostBytes) throw ResumeRefused("the note is too long to be one varno-count wrote");
    const KeptState state = readNote(text, setup_);
    const std::string name = layerName(setup_, state.pass, state.layer);
    LayerFile layer = LayerFile::adopt(openChecked(name, O_RDONLY, "the kept layer"));
    if (layer.size() != state.bytes + kLabelBytes) {
      throw ResumeRefused("the kept layer " + name + " has " + std::to_string(layer.size()) + " bytes, not " +
                          std::to_string(state.bytes + kLabelBytes));
    }
    Label label{};
    layer.read(state.bytes, label.data(), label.size(), cancel);
    checkLabel(label, setup_, state);
    if (checksumOf(layer, state.bytes, cancel) != state.checksum) {
      throw ResumeRefused("the kept layer " + name +
                          " was changed after it was kept (the check sum of its content does not match)");
    }
    return {state, std::move(layer)};
  } catch (const ResumeRefused& refused) {
    throw ResumeRefused(refusal(refused.what()));
  }
}

void KeptFiles::kept(int pass, int layer, const std::vector<std::uint32_t>& residues,
                     const std::atomic<bool>* cancel) {
  const std::string name = layerName(setup_, pass, layer);
  KeptState state{pass, layer, setup_.layerBytes(pass, layer), 0, residues};
  {
    LayerFile file;
    try {
      file = LayerFile::adopt(openChecked(name, O_RDWR, "the layer"));
    } catch (const ResumeRefused& refused) {
      throw std::runtime_error(std::string("cannot keep a layer in ") + directory_ + ": " + refused.what());
    }
    if (file.size() != state.bytes) {
      throw std::runtime_error("cannot keep a layer in " + directory_ + ": " + name + " has " +
                               std::to_string(file.size()) + " bytes, not " + std::to_string(state.bytes));
    }
    state.checksum = checksumOf(file, state.bytes, cancel);
    const Label label = writeLabel(setup_, state);
    file.write(state.bytes, label.data(), label.size(), cancel);
    file.flush();
  }
  // The note: written unnamed, named only once complete, then renamed over the old one, so that a process
  // killed at any moment leaves the old note or the new one.
  const std::string note = noteName(setup_);
  const std::string text = writeNote(setup_, state);
  LayerFile file = LayerFile::createAt(fd_);
  file.write(0, text.data(), text.size(), nullptr);
  file.keepAt(fd_, note + ".new");
  if (::renameat(fd_, (note + ".new").c_str(), fd_, note.c_str()) != 0) {
    throw std::runtime_error("cannot write " + directory_ + "/" + note + ": " + std::strerror(errno));
  }
  if (layer_ && *layer_ != name) remove(*layer_);
  layer_ = name;
}

void KeptFiles::remove(const std::string& name) const {
  struct stat info {};
  if (::fstatat(fd_, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) return;
  if (!S_ISREG(info.st_mode) || info.st_uid != ::geteuid() || info.st_nlink != 1) return;
  ::unlinkat(fd_, name.c_str(), 0);
}

void KeptFiles::removeEarlier(const std::optional<KeptState>& resumed) {
  const std::string prefix = prefixOf(setup_);
  const std::string note = noteName(setup_);
  const std::string keep = resumed ? layerName(setup_, resumed->pass, resumed->layer) : "";
  std::vector<std::string> names;
  const int fd = ::dup(fd_);
  if (fd < 0) return;
  DIR* directory = ::fdopendir(fd);
  if (directory == nullptr) {
    ::close(fd);
    return;
  }
  ::rewinddir(directory);
  while (const dirent* entry = ::readdir(directory)) {
    const std::string_view name = entry->d_name;
    if (name.substr(0, std::min(name.size(), prefix.size())) != prefix) continue;
    const std::string_view rest = name.substr(prefix.size());
    if (rest != "resume" && rest != "resume.new" && !isLayerName(rest)) continue;
    if (resumed && (name == note || name == keep)) continue;
    names.emplace_back(name);
  }
  ::closedir(directory);
  for (const std::string& name : names) remove(name);
  layer_ = resumed ? std::optional<std::string>(keep) : std::nullopt;
}

void KeptFiles::removeAll() {
  remove(noteName(setup_));
  if (layer_) remove(*layer_);
  layer_.reset();
}

}  // namespace varno
