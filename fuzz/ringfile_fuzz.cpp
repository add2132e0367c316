// Feeds arbitrary bytes to the ring-file reader. A file it accepts must hold a ring the window can show:
// n within 3..8, k within 1..8, and only text in the fields, without invisible characters such as
// byte-order marks, zero-width spaces or soft hyphens.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "window/ringfile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string content(reinterpret_cast<const char*>(data), size);
  std::string problem;
  const std::optional<varno::RingFile> ring = varno::parseRingFile(content, problem);
  if (!ring) {
    if (problem.empty()) std::abort();
    return 0;
  }
  if (ring->n < 3 || ring->n > 8 || ring->k < 1 || ring->k > 8) std::abort();
  for (const std::string& face : ring->faceTexts) {
    for (char c : face)
      if (c == '\n' || c == '\r' || c == '\0') std::abort();
    for (const char* invisible : {"\xEF\xBB\xBF", "\xE2\x80\x8B", "\xC2\xAD", "\xC2\xA0"})
      if (face.find(invisible) != std::string::npos) std::abort();
  }
  return 0;
}
