// Work that would keep the window from answering, run on a thread of its own while the window yields.
#pragma once

#include <atomic>
#include <chrono>
#include <future>

#include "form/form.h"

namespace varno {

// How often the window looks at work running beside it.
constexpr auto kPollInterval = std::chrono::milliseconds(10);

// Runs `work` on a thread of its own and yields every few milliseconds until it is done, so that nothing
// the user does waits for it. The window yields once before the first look. When given, `stop` is raised
// once the stop button has been pressed, for work that polls it.
template <typename Work>
auto whileYielding(Form& form, Work work, std::atomic<bool>* stop = nullptr) {
  auto result = std::async(std::launch::async, std::move(work));
  do {
    form.DoEvents.now();
    if (stop != nullptr && form.Abbruch) *stop = true;
  } while (result.wait_for(kPollInterval) != std::future_status::ready);
  return result.get();
}

}  // namespace varno
