// Modifiers decide as much as the key: Ctrl+1 is no zoom, and the keypad's
// own modifier does not count against backslash, F or 1.
#include "ui/DialogKeys.h"

#include "res/Resource.h"

#include <QKeyEvent>

namespace {

Qt::KeyboardModifiers ModifiersOf(const QKeyEvent& key) {
    return key.modifiers() & ~Qt::KeypadModifier;
}

std::optional<unsigned> EditCommandOf(const QKeyEvent& key) {
    const Qt::KeyboardModifiers mods = ModifiersOf(key);
    if (key.key() == Qt::Key_Z && mods == Qt::ControlModifier) {
        return IDM_UNDO;
    }
    if ((key.key() == Qt::Key_Y && mods == Qt::ControlModifier) ||
        (key.key() == Qt::Key_Z && mods == (Qt::ControlModifier | Qt::ShiftModifier))) {
        return IDM_REDO;
    }
    return std::nullopt;
}

// Backslash, F and 1 on their own (the keypad's 1 too).
std::optional<unsigned> ViewCommandOf(const QKeyEvent& key) {
    if (ModifiersOf(key)) {
        return std::nullopt;
    }
    switch (key.key()) {
    case Qt::Key_Backslash:
        return IDM_SHOW_BEFORE;
    case Qt::Key_F:
        return IDM_ZOOM_FIT;
    case Qt::Key_1:
        return IDM_ZOOM_ACTUAL;
    default:
        return std::nullopt;
    }
}

} // namespace

int ChannelStepOf(const QKeyEvent& key) {
    if (!(key.modifiers() & Qt::ControlModifier)) {
        return 0;
    }
    switch (key.key()) {
    case Qt::Key_Tab:
        return (key.modifiers() & Qt::ShiftModifier) ? -1 : 1;
    case Qt::Key_Backtab: // Ctrl+Shift+Tab arrives as a back-tab
    case Qt::Key_PageUp:
        return -1;
    case Qt::Key_PageDown:
        return 1;
    default:
        return 0;
    }
}

std::optional<unsigned> CommandOfKey(const QKeyEvent& key) {
    if (const std::optional<unsigned> edit = EditCommandOf(key)) {
        return edit;
    }
    return ViewCommandOf(key);
}

bool IsMenuKey(const QKeyEvent& key) {
    return key.key() == Qt::Key_F10 && key.modifiers() == Qt::ShiftModifier;
}
