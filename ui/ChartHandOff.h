// 「チャートで校正...」's hand-off: the picture the window shows goes to the
// chart dialog at the full depth the window keeps it in (a 16-bit file or
// page at 16 bits), and the dialog's 適用 comes back as the twelve
// positions of one undo step.
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

    // The chart dialog, modal over `window`, on the loaded picture (named
    // and its scanner found through `origin`); nothing without one, and only
    // a message when its memory cannot be had.
    void Run(QWidget* window, const PictureOrigin& origin);

private:
    AskUser& ask_;
    SettingsStore& settings_;
    ScanMemory& memory_;
    Apply apply_;
};
