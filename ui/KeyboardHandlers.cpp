// Keys that work anywhere in the dialog: channel switching as tabbed dialogs
// do it, Shift+F10 for the context menu, undo and redo as editors have them,
// backslash for the image before the tables, F for the whole image and 1 for
// 1:1, as photo tools have them.
#include "ui/TamrelDlg.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QTabBar>

namespace {

// +1 for the next channel, -1 for the previous one, 0 for any other key.
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

enum class EditKey { None, Undo, Redo };

EditKey EditKeyOf(const QKeyEvent& key) {
    const Qt::KeyboardModifiers mods = key.modifiers() & ~Qt::KeypadModifier;
    if (key.key() == Qt::Key_Z && mods == Qt::ControlModifier) {
        return EditKey::Undo;
    }
    if ((key.key() == Qt::Key_Y && mods == Qt::ControlModifier) ||
        (key.key() == Qt::Key_Z && mods == (Qt::ControlModifier | Qt::ShiftModifier))) {
        return EditKey::Redo;
    }
    return EditKey::None;
}

bool IsBeforeKey(const QKeyEvent& key) {
    return key.key() == Qt::Key_Backslash && !(key.modifiers() & ~Qt::KeypadModifier);
}

// F fits the image, 1 shows it at 1:1; on their own (the keypad's 1 too).
enum class ZoomKey { None, Fit, Actual };

ZoomKey ZoomKeyOf(const QKeyEvent& key) {
    if (key.modifiers() & ~Qt::KeypadModifier) {
        return ZoomKey::None;
    }
    return key.key() == Qt::Key_F ? ZoomKey::Fit
                                  : (key.key() == Qt::Key_1 ? ZoomKey::Actual : ZoomKey::None);
}

bool IsMenuKey(const QKeyEvent& key) {
    return key.key() == Qt::Key_F10 && key.modifiers() == Qt::ShiftModifier;
}

} // namespace

void CTamrelDlg::keyPressEvent(QKeyEvent* key) {
    if (const int step = ChannelStepOf(*key)) {
        const int count = ChannelTab->count();
        ChannelTab->setCurrentIndex((ChannelTab->currentIndex() + step + count) % count);
        return;
    }
    switch (EditKeyOf(*key)) {
    case EditKey::Undo:
        OnUndo();
        return;
    case EditKey::Redo:
        OnRedo();
        return;
    case EditKey::None:
        break;
    }
    if (IsBeforeKey(*key)) {
        OnToggleBefore();
        return;
    }
    switch (ZoomKeyOf(*key)) {
    case ZoomKey::Fit:
        OnZoomToFit();
        return;
    case ZoomKey::Actual:
        OnZoomActual();
        return;
    case ZoomKey::None:
        break;
    }
    if (IsMenuKey(*key)) {
        const QWidget* focus = focusWidget() ? focusWidget() : this;
        const QPoint at = focus->mapTo(this, focus->rect().center());
        QContextMenuEvent menu(QContextMenuEvent::Keyboard, at, mapToGlobal(at));
        event(&menu);
        return;
    }
    QDialog::keyPressEvent(key);
}
