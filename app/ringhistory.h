// "Rückgängig" and "Wiederholen": every change of the ring (n, k and the 64 faces) that one user event
// makes is one step on a QUndoStack, whatever made it: a key of the pad, the mouse on the graphic, a
// command, a file, an example, a search with all its passes. Each step keeps the ring before and after
// it, so an undo gives back exactly what was there.
#pragma once

#include <QUndoStack>
#include <optional>

#include "window/ringstate.h"

namespace varno {

class Form;

class RingHistory {
 public:
  // The steps kept: the oldest are forgotten beyond them, so the memory stays bounded (at most two rings
  // of at most 64 faces a step).
  static constexpr int kUndoLimit = 100;

  explicit RingHistory(Form& form);

  // Brackets one user event: when the outermost one ends, what the event did to the ring becomes a step.
  // Events handled inside it (while a search yields) make no steps of their own, nor does undo or redo.
  class Event {
   public:
    explicit Event(RingHistory& history);
    ~Event();
    Event(const Event&) = delete;
    Event& operator=(const Event&) = delete;

   private:
    RingHistory& history_;
  };

  // Undoes or redoes one step, if there is one.
  void undo();
  void redo();
  // Forgets every step: the ring the window opens with is the first.
  void clear();
  // The menu items are enabled when there is something to undo or redo and no search or dealing runs.
  void refresh();

  const QUndoStack& stack() const { return stack_; }

 private:
  Form& form_;
  QUndoStack stack_;
  int depth_ = 0;
  std::optional<RingState> before_;
  bool restored_ = false;
};

}  // namespace varno
