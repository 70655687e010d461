// The states of the window before and after each finished step, so that
// steps can be undone and redone in order: the three channels' positions,
// the film and the rectangles it was picked from.
#pragma once

#include "curve/FilmSettings.h"
#include "io/ParamKeys.h"
#include "ui/FilmPicks.h"

#include <cstddef>
#include <deque>
#include <optional>

// What one step of the window changes.
struct ParamState {
    ParamPositionSet positions{};
    FilmSettings film;
    FilmPicks picks;
    friend bool operator==(const ParamState&, const ParamState&) = default;
};

template <typename State> class StepHistory {
public:
    // Steps kept for undo; the oldest go first beyond this.
    static constexpr std::size_t kMaxSteps = 100;

    explicit StepHistory(const State& start) : current_(start) {}

    // Ends a step at `now`. A state equal to the current one is no step; a new
    // step drops whatever could have been redone.
    void Record(const State& now);
    // The current state changed by what is no step of its own (a new image
    // drops the rectangles drawn on the old one); the steps stay.
    void Amend(const State& now) { current_ = now; }

    // The state to show after undoing (redoing) one step; nullopt when there is none.
    std::optional<State> Undo();
    std::optional<State> Redo();

    bool CanUndo() const { return !undo_.empty(); }
    bool CanRedo() const { return !redo_.empty(); }
    const State& Current() const { return current_; }

private:
    std::deque<State> undo_;
    std::deque<State> redo_;
    State current_;
};

using UndoHistory = StepHistory<ParamState>;
