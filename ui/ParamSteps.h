// The steps of the undo history as the user makes them: a reset, a load, an
// automatic Black/White, a chart's 適用, a film's kind or pick, or one
// slider move, which is a drag until its thumb is let go, or a run of key
// presses and clicks until the focus leaves the slider, the channel
// changes, or no move comes for a pause. Undo first ends a move in
// progress, so that it undoes that move.
#pragma once

#include "ui/UndoHistory.h"

#include <functional>
#include <optional>

class QObject;
class QTimer;

class ParamSteps {
public:
    // What the steps ask of the window.
    struct Host {
        std::function<ParamState()> now; // the window's state as it is
        std::function<bool()> thumbHeld; // a slider's thumb is held down
        std::function<void()> closed;    // a step may have ended
    };

    // The history starts at the state `host.now()` gives; the pause's timer
    // belongs to `owner`.
    ParamSteps(QObject* owner, Host host);

    // A move goes on; it ends after the pause unless a thumb is held.
    void Continue();
    // Ends the step in progress: a state unlike the last one is a step.
    void Close();
    // The state to show after undoing (redoing) one step; nullopt for none.
    std::optional<ParamState> Undo();
    std::optional<ParamState> Redo();
    // The state changed by what is no step of its own (a new picture).
    void Amend();
    // The history starts anew at the state as it is.
    void Restart();

    bool CanUndo() const { return history_.CanUndo(); }
    bool CanRedo() const { return history_.CanRedo(); }

private:
    QObject* owner_;
    Host host_;
    UndoHistory history_;
    QTimer* pause_ = nullptr; // made at the first move
};
