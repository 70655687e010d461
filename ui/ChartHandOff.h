// 「チャートで校正...」's hand-off: the picture the window shows goes to the
// chart dialog at its full depth (its file read again, or the page as it
// was scanned; the window's 8-bit levels only when neither is at hand), and
// the dialog's 適用 comes back as the twelve positions of one undo step.
#pragma once

#include "io/ParamKeys.h"

#include <functional>

class AskUser;
class QWidget;
class ScanMemory;
class SettingsStore;
struct PictureOrigin;

class ChartHandOff {
public:
    using Apply = std::function<void(const ParamPositionSet&)>;

    ChartHandOff(AskUser& ask, SettingsStore& settings, ScanMemory& memory, Apply apply)
        : ask_(ask), settings_(settings), memory_(memory), apply_(std::move(apply)) {}

    // The chart dialog, modal over `window`, on the loaded picture; nothing
    // without one, and only a message when it cannot be read again.
    void Run(QWidget* window, const PictureOrigin& origin);

private:
    AskUser& ask_;
    SettingsStore& settings_;
    ScanMemory& memory_;
    Apply apply_;
};
