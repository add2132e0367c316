// Yield points of long operations. The window passes a hook that processes pending events; the
// operations call the yielder at every point where they may yield, and the hook runs when the
// interval has passed since it last ran, so the window stays responsive while the work runs at
// full speed. An interval of zero runs the hook at every point (tests use that).
#pragma once

#include <chrono>
#include <functional>

namespace varno {

class Yielder {
 public:
  using Clock = std::chrono::steady_clock;

  void setHook(std::function<void()> hook, Clock::duration interval) {
    hook_ = std::move(hook);
    interval_ = interval;
    last_ = Clock::now();
  }

  // A yield point.
  void operator()() {
    if (!hook_) return;
    if (interval_ > Clock::duration::zero()) {
      const auto now = Clock::now();
      if (now - last_ < interval_) return;
      last_ = now;
    }
    hook_();
  }

  // Yields now, whatever the interval (before a modal question, at the end of a phase).
  void now() {
    if (hook_) hook_();
    last_ = Clock::now();
  }

 private:
  std::function<void()> hook_;
  Clock::duration interval_{};
  Clock::time_point last_{};
};

}  // namespace varno
