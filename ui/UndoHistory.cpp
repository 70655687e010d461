// Two stacks around the current state: undo moves it onto the redo stack and
// takes the last finished step back; a new step clears the redo stack.
#include "ui/UndoHistory.h"

template <typename State> void StepHistory<State>::Record(const State& now) {
    if (now == current_) {
        return;
    }
    undo_.push_back(current_);
    if (undo_.size() > kMaxSteps) {
        undo_.pop_front();
    }
    redo_.clear();
    current_ = now;
}

template <typename State> std::optional<State> StepHistory<State>::Undo() {
    if (undo_.empty()) {
        return std::nullopt;
    }
    redo_.push_back(current_);
    current_ = undo_.back();
    undo_.pop_back();
    return current_;
}

template <typename State> std::optional<State> StepHistory<State>::Redo() {
    if (redo_.empty()) {
        return std::nullopt;
    }
    undo_.push_back(current_);
    current_ = redo_.back();
    redo_.pop_back();
    return current_;
}

template class StepHistory<ParamState>;
template class StepHistory<ParamPositionSet>;
