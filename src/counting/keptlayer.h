// The layers a count keeps in its work directory, and the note that says where it stood: written so that
// a later count can go on from them, and checked field by field before it does.
#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "counting/countplan.h"
#include "counting/partition.h"
#include "counting/storage.h"

namespace varno {

// Why a count cannot go on from what is kept; thrown before anything in the work directory changed.
struct ResumeRefused : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// The count a kept layer must belong to: the one that keeps it, or the one that would go on from it.
struct KeptSetup {
  int dice = 0;
  int faces = 0;
  bool meet = true;
  bool negate = false;
  int processes = 1;
  int rank = 0;
  int primes = 1;          // primes in all
  int primesAtOnce = 1;    // primes per pass
  int lastLayer = 0;       // layers 1..lastLayer may be kept
  std::uint64_t plan = 0;  // planPrint() of the plan and this process's share of it
  // Bytes of a layer's content as the sweep stores it in a pass.
  std::function<std::uint64_t(int pass, int layer)> layerBytes;

  int passes() const { return (primes + primesAtOnce - 1) / primesAtOnce; }
};

// Where a count stood when it kept a layer: what its note says and its layer's label repeats.
struct KeptState {
  int pass = 0;
  int layer = 0;
  std::uint64_t bytes = 0;              // of the layer's content, before its label
  std::uint64_t checksum = 0;           // of that content
  std::vector<std::uint32_t> residues;  // of the passes before
};

// The fingerprint of everything that decides where a state lies in a kept layer: the plan's blocks
// and their shape, this process's share of them, and the sweep's layout.
std::uint64_t planPrint(const CountPlan& plan, const Partition& partition, int rank, int lastLayer);

// Names within the work directory: "varno-count-7x5-1p0-resume" and
// "varno-count-7x5-1p0-pass1-layer2.states".
std::string noteName(const KeptSetup& setup);
std::string layerName(const KeptSetup& setup, int pass, int layer);

// The note: one field per line, closed by a check sum of the lines before it.
std::string writeNote(const KeptSetup& setup, const KeptState& state);
// Throws ResumeRefused unless the note is one writeNote() wrote for this setup, naming a layer it may keep.
KeptState readNote(std::string_view text, const KeptSetup& setup);
// The text with its closing check line (a note's text without one).
std::string withCheck(std::string_view lines);

// The label appended to a kept layer's content: the setup, the place and the check sums again, sealed by
// a check sum of its own, so that a layer file says what it is even without its note.
constexpr std::size_t kLabelBytes = 64;
using Label = std::array<std::byte, kLabelBytes>;
Label writeLabel(const KeptSetup& setup, const KeptState& state);
// Throws ResumeRefused unless the label is the one writeLabel() wrote for this setup and state.
void checkLabel(std::span<const std::byte> label, const KeptSetup& setup, const KeptState& state);
// Renews the label's own check sum.
void sealLabel(Label& label);

// The work directory of one process of a count, opened once. Every file is opened, checked and removed by
// its name within it, never by a path that could lead elsewhere, and only when it is a regular file of this
// user with a single link, named as a count names its files.
class KeptFiles {
 public:
  // Throws std::runtime_error when the directory cannot be opened.
  KeptFiles(const std::string& directory, KeptSetup setup);
  ~KeptFiles();
  KeptFiles(const KeptFiles&) = delete;
  KeptFiles& operator=(const KeptFiles&) = delete;

  const KeptSetup& setup() const { return setup_; }

  // The state the note names, with its layer opened and checked: its size, label and content. Throws
  // ResumeRefused for anything that does not check out, or when there is no note.
  std::pair<KeptState, LayerFile> resumable(const std::atomic<bool>* cancel) const;

  // Labels the layer the sweep has just kept under layerName(pass, layer) and names it in the note; the
  // layer kept before goes. `residues` are those of the passes before.
  void kept(int pass, int layer, const std::vector<std::uint32_t>& residues, const std::atomic<bool>* cancel);

  // Removes what earlier counts of this size and place among the processes kept, but for the layer of
  // `resumed` and the note naming it.
  void removeEarlier(const std::optional<KeptState>& resumed);
  // Removes the note and the layer it names, once the count is complete.
  void removeAll();

 private:
  std::string refusal(const std::string& reason) const;
  int openChecked(const std::string& name, int flags, const char* what) const;
  void remove(const std::string& name) const;

  std::string directory_;
  KeptSetup setup_;
  int fd_ = -1;
  std::optional<std::string> layer_;  // the layer the note names
};

}  // namespace varno
