// Two stacks around the current state: undo moves it onto the redo stack and
// takes the last finished step back; a new step clears the redo stack.
#include "ui/UndoHistory.h"

void UndoHistory::Record(const ParamPositionSet& now) {
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

std::optional<ParamPositionSet> UndoHistory::Undo() {
    if (undo_.empty()) {
        return std::nullopt;
    }
    redo_.push_back(current_);
    current_ = undo_.back();
    undo_.pop_back();
    return current_;
}

std::optional<ParamPositionSet> UndoHistory::Redo() {
    if (redo_.empty()) {
        return std::nullopt;
    }
    undo_.push_back(current_);
    current_ = redo_.back();
    redo_.pop_back();
    return current_;
}
