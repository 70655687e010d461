// A slider's keys and clicks come one by one; a pause of 0.8 s between
// them ends their step, as a word processor ends a run of typing.
#include "ui/ParamSteps.h"

#include <QTimer>

#include <chrono>

namespace {

constexpr std::chrono::milliseconds kStepPause{800};

} // namespace

ParamSteps::ParamSteps(QObject* owner, Host host)
    : owner_(owner), host_(std::move(host)), history_(host_.now()) {}

void ParamSteps::Continue() {
    if (!pause_) {
        pause_ = new QTimer(owner_);
        pause_->setSingleShot(true);
        QObject::connect(pause_, &QTimer::timeout, owner_, [this] {
            if (!host_.thumbHeld()) {
                Close(); // a held thumb ends its step when let go
            }
        });
    }
    pause_->start(kStepPause);
}

void ParamSteps::Close() {
    if (pause_) {
        pause_->stop();
    }
    history_.Record(host_.now());
    host_.closed();
}

std::optional<ParamState> ParamSteps::Undo() {
    Close();
    return history_.Undo();
}

std::optional<ParamState> ParamSteps::Redo() {
    Close();
    return history_.Redo();
}

void ParamSteps::Amend() {
    history_.Amend(host_.now());
}

void ParamSteps::Restart() {
    history_ = UndoHistory(host_.now());
}
