// System-menu entries shown as a popup menu.
#include "platform/SystemMenu.h"

#include <QAction>
#include <QMenu>

SystemMenu::SystemMenu() {
    entries_.push_back({false, SC_MINIMIZE, QStringLiteral("最小化(&N)")});
    entries_.push_back({false, SC_CLOSE, QStringLiteral("閉じる(&C)")});
}

void SystemMenu::AppendSeparator() {
    entries_.push_back({true, 0, {}});
}

void SystemMenu::AppendItem(unsigned command, const QString& text) {
    entries_.push_back({false, command, text});
}

void SystemMenu::AppendCheckItem(unsigned command, const QString& text) {
    Entry entry{false, command, text};
    entry.checkable = true;
    entries_.push_back(entry);
}

void SystemMenu::AppendItem(unsigned command, const QString& text, const QKeySequence& shortcut) {
    Entry entry{false, command, text};
    entry.shortcut = shortcut;
    entries_.push_back(entry);
}

SystemMenu::Entry* SystemMenu::FindEntry(unsigned command) {
    for (Entry& entry : entries_) {
        if (!entry.separator && entry.command == command) {
            return &entry;
        }
    }
    return nullptr;
}

const SystemMenu::Entry* SystemMenu::Find(unsigned command) const {
    return const_cast<SystemMenu*>(this)->FindEntry(command);
}

void SystemMenu::SetChecked(unsigned command, bool checked) {
    if (Entry* entry = FindEntry(command)) {
        entry->checked = checked;
    }
}

void SystemMenu::SetEnabled(unsigned command, bool enabled) {
    if (Entry* entry = FindEntry(command)) {
        entry->enabled = enabled;
    }
}

std::optional<unsigned> SystemMenu::Popup(QWidget* owner, const QPoint& globalPos) const {
    QMenu menu(owner);
    for (const Entry& entry : entries_) {
        if (entry.separator) {
            menu.addSeparator();
        } else {
            // The text after a tab is the menu's shortcut column; the keys
            // themselves are the owner's, so they work with the menu closed.
            const QString shortcut = entry.shortcut.toString(QKeySequence::NativeText);
            QAction* action =
                menu.addAction(shortcut.isEmpty() ? entry.text : entry.text + u'\t' + shortcut);
            action->setData(entry.command);
            action->setCheckable(entry.checkable);
            action->setChecked(entry.checked);
            action->setEnabled(entry.enabled);
        }
    }
    const QAction* chosen = menu.exec(globalPos);
    if (!chosen) {
        return std::nullopt;
    }
    return chosen->data().toUInt();
}
