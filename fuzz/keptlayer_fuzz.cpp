// Feeds arbitrary notes and layer labels to the checks a resume makes before it goes on from what a
// count kept. The input is a note without its check line, a zero byte, and a label. Each is tried as it
// is and once more with its own check sum renewed, so that the checks of every field are reached. What
// passes must be exactly what the count writes for a state it may keep; nothing may crash, and every
// refusal is a ResumeRefused with a reason.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>

#include "counting/keptlayer.h"
#include "counting/modular.h"

namespace {

// Process 1 of 2 counting 4x5 with 3 primes, one per pass.
const varno::KeptSetup& setup() {
  static const varno::KeptSetup kept = [] {
    varno::KeptSetup s;
    s.dice = 4;
    s.faces = 5;
    s.processes = 2;
    s.rank = 1;
    s.primes = 3;
    s.primesAtOnce = 1;
    s.lastLayer = 9;
    s.plan = 0x0123456789abcdefULL;
    s.layerBytes = [](int pass, int layer) { return static_cast<std::uint64_t>(1000 * pass + 8 * layer); };
    return s;
  }();
  return kept;
}

void checkAccepted(const std::string& text, const varno::KeptState& state) {
  const varno::KeptSetup& s = setup();
  if (varno::writeNote(s, state) != text) std::abort();
  if (state.pass < 0 || state.pass >= s.passes() || state.layer < 1 || state.layer > s.lastLayer)
    std::abort();
  if (state.bytes != s.layerBytes(state.pass, state.layer)) std::abort();
  if (state.residues.size() != static_cast<std::size_t>(state.pass * s.primesAtOnce)) std::abort();
  for (std::size_t i = 0; i < state.residues.size(); ++i)
    if (state.residues[i] >= varno::Modular::kPrimes[i]) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  const std::size_t split = std::min(input.find('\0'), input.size());
  const std::string lines = input.substr(0, split);
  const std::string rest = split < input.size() ? input.substr(split + 1) : "";
  const auto* labelBytes = reinterpret_cast<const std::byte*>(rest.data());

  for (const std::string& text : {lines, varno::withCheck(lines)}) {
    varno::KeptState state;
    try {
      state = varno::readNote(text, setup());
    } catch (const varno::ResumeRefused& refused) {
      if (std::string(refused.what()).empty()) std::abort();
      continue;
    }
    checkAccepted(text, state);
    varno::Label sealed{};
    std::copy_n(labelBytes, std::min(rest.size(), sealed.size()), sealed.begin());
    varno::sealLabel(sealed);
    for (const std::span<const std::byte> label :
         {std::span<const std::byte>(labelBytes, rest.size()), std::span<const std::byte>(sealed)}) {
      try {
        varno::checkLabel(label, setup(), state);
      } catch (const varno::ResumeRefused& refused) {
        if (std::string(refused.what()).empty()) std::abort();
        continue;
      }
      const varno::Label expected = varno::writeLabel(setup(), state);
      if (!std::equal(label.begin(), label.end(), expected.begin(), expected.end())) std::abort();
    }
  }
  return 0;
}
