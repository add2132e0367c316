#include "ringhistory.h"

#include <QUndoCommand>
#include <new>

#include "form/form.h"

namespace varno {

namespace {

// One change of the ring. It has happened when it is pushed, so its first redo does nothing.
class RingChange : public QUndoCommand {
 public:
  RingChange(Form& form, RingState before, RingState after)
      : form_(form), before_(std::move(before)), after_(std::move(after)) {}

  void undo() override { restoreRing(form_, before_); }
  void redo() override {
    if (done_) restoreRing(form_, after_);
    done_ = true;
  }

 private:
  Form& form_;
  RingState before_, after_;
  bool done_ = false;
};

}  // namespace

RingHistory::RingHistory(Form& form) : form_(form) {
  stack_.setUndoLimit(kUndoLimit);
}

RingHistory::Event::Event(RingHistory& history) : history_(history) {
  if (history_.depth_++ > 0) return;
  history_.before_ = ringState(history_.form_);
  history_.restored_ = false;
}

RingHistory::Event::~Event() {
  if (--history_.depth_ > 0) return;
  try {
    RingState after = ringState(history_.form_);
    if (!history_.restored_ && after != *history_.before_)
      history_.stack_.push(new RingChange(history_.form_, std::move(*history_.before_), std::move(after)));
  } catch (const std::bad_alloc&) {
    // Without the memory for a step the change stays as it is; only its undo is lost.
  }
  history_.before_.reset();
}

void RingHistory::undo() {
  restored_ = true;
  stack_.undo();
}

void RingHistory::redo() {
  restored_ = true;
  stack_.redo();
}

void RingHistory::clear() {
  stack_.clear();
}

void RingHistory::refresh() {
  const bool idle = !form_.dealing && !form_.searchRunning;
  form_.cmdUndo.setEnabled(idle && stack_.canUndo());
  form_.cmdRedo.setEnabled(idle && stack_.canRedo());
}

}  // namespace varno
