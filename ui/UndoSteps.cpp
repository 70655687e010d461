// Undo and redo of the parameters. A step is a reset, a load, an automatic
// Black/White, a film's kind or pick, or one slider move: a drag until its thumb is let go, or a
// run of key presses and clicks until the focus leaves the slider, the channel changes, or no move
// comes for kStepPause. Undo first ends a move in progress, so that it undoes that move.
#include "ui/CMyGraph.h"
#include "ui/TamrelDlg.h"

#include <QSlider>
#include <QTimer>

#include <chrono>

namespace {

constexpr std::chrono::milliseconds kStepPause{800};

} // namespace

void CTamrelDlg::ContinueStep() {
    if (!stepPause_) {
        stepPause_ = new QTimer(this);
        stepPause_->setSingleShot(true);
        connect(stepPause_, &QTimer::timeout, this, [this] {
            for (const Param p : kAllParams) {
                if (Slider(p)->isSliderDown()) {
                    return; // a held thumb ends its step when let go
                }
            }
            CloseStep();
        });
    }
    stepPause_->start(kStepPause);
}

void CTamrelDlg::CloseStep() {
    if (stepPause_) {
        stepPause_->stop();
    }
    undo_.Record(StateNow());
    RefreshMenu();
}

ParamState CTamrelDlg::StateNow() const {
    return {PositionSetOf(theChannelParams), film_, picks_};
}

void CTamrelDlg::ShowState(const ParamState& state) {
    ApplyPositionSet(state.positions, theChannelParams, theGammaTables);
    if (state.film != film_ || state.picks != picks_) {
        ShowFilm(state.film, state.picks);
    }
    GraphArea->update();
    ShowChannelParams();
}

void CTamrelDlg::ShowPositionSet(const ParamPositionSet& positions) {
    ApplyPositionSet(positions, theChannelParams, theGammaTables);
    GraphArea->update();
    ShowChannelParams();
}

void CTamrelDlg::OnUndo() {
    CloseStep();
    if (const auto state = undo_.Undo()) {
        ShowState(*state);
    }
    RefreshMenu();
}

void CTamrelDlg::OnRedo() {
    CloseStep();
    if (const auto state = undo_.Redo()) {
        ShowState(*state);
    }
    RefreshMenu();
}
