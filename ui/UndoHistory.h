// The parameter states of the three channels before and after each finished
// step, so that steps can be undone and redone in order.
#pragma once

#include "io/ParamKeys.h"

#include <cstddef>
#include <deque>
#include <optional>

class UndoHistory {
public:
    // Steps kept for undo; the oldest go first beyond this.
    static constexpr std::size_t kMaxSteps = 100;

    explicit UndoHistory(const ParamPositionSet& start) : current_(start) {}

    // Ends a step at `now`. A state equal to the current one is no step; a new
    // step drops whatever could have been redone.
    void Record(const ParamPositionSet& now);

    // The state to show after undoing (redoing) one step; nullopt when there is none.
    std::optional<ParamPositionSet> Undo();
    std::optional<ParamPositionSet> Redo();

    bool CanUndo() const { return !undo_.empty(); }
    bool CanRedo() const { return !redo_.empty(); }
    const ParamPositionSet& Current() const { return current_; }

private:
    std::deque<ParamPositionSet> undo_;
    std::deque<ParamPositionSet> redo_;
    ParamPositionSet current_;
};
