// The keys that work anywhere in the main dialog, each with its modifiers:
// a key that means one command with no modifier means nothing with another.
#include "ui/DialogKeys.h"

#include "res/Resource.h"

#include <QKeyEvent>

#include <gtest/gtest.h>

namespace dialog_keys_test {

namespace {

QKeyEvent Press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    return QKeyEvent(QEvent::KeyPress, key, modifiers);
}

TEST(DialogKeys, EachKeyStandsForItsCommandAndOnlyWithItsModifiers) {
    const struct {
        const char* name;
        int key;
        Qt::KeyboardModifiers modifiers;
        std::optional<unsigned> command;
    } cases[] = {
        {"Ctrl+Z", Qt::Key_Z, Qt::ControlModifier, IDM_UNDO},
        {"Ctrl+Y", Qt::Key_Y, Qt::ControlModifier, IDM_REDO},
        {"Ctrl+Shift+Z", Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier, IDM_REDO},
        {"Z alone", Qt::Key_Z, Qt::NoModifier, std::nullopt},
        {"Ctrl+Alt+Z", Qt::Key_Z, Qt::ControlModifier | Qt::AltModifier, std::nullopt},
        {"backslash", Qt::Key_Backslash, Qt::NoModifier, IDM_SHOW_BEFORE},
        {"Ctrl+backslash", Qt::Key_Backslash, Qt::ControlModifier, std::nullopt},
        {"F", Qt::Key_F, Qt::NoModifier, IDM_ZOOM_FIT},
        {"Shift+F", Qt::Key_F, Qt::ShiftModifier, std::nullopt},
        {"1", Qt::Key_1, Qt::NoModifier, IDM_ZOOM_ACTUAL},
        {"the keypad's 1", Qt::Key_1, Qt::KeypadModifier, IDM_ZOOM_ACTUAL},
        {"Ctrl+1", Qt::Key_1, Qt::ControlModifier, std::nullopt},
        {"2", Qt::Key_2, Qt::NoModifier, std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CommandOfKey(Press(c.key, c.modifiers)), c.command) << c.name;
    }
}

TEST(DialogKeys, TheChannelStepsForwardAndBackAsTabbedDialogsDo) {
    const struct {
        const char* name;
        int key;
        Qt::KeyboardModifiers modifiers;
        int step;
    } cases[] = {
        {"Ctrl+Tab", Qt::Key_Tab, Qt::ControlModifier, 1},
        {"Ctrl+Shift+Tab", Qt::Key_Tab, Qt::ControlModifier | Qt::ShiftModifier, -1},
        {"Ctrl+Shift+Tab as a back-tab", Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier,
         -1},
        {"Ctrl+PageDown", Qt::Key_PageDown, Qt::ControlModifier, 1},
        {"Ctrl+PageUp", Qt::Key_PageUp, Qt::ControlModifier, -1},
        {"Tab alone", Qt::Key_Tab, Qt::NoModifier, 0},
        {"PageDown alone", Qt::Key_PageDown, Qt::NoModifier, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ChannelStepOf(Press(c.key, c.modifiers)), c.step) << c.name;
    }
    EXPECT_TRUE(IsMenuKey(Press(Qt::Key_F10, Qt::ShiftModifier)));
    EXPECT_FALSE(IsMenuKey(Press(Qt::Key_F10)));
}

} // namespace

} // namespace dialog_keys_test
