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

std::optional<unsigned> SystemMenu::Popup(QWidget* owner, const QPoint& globalPos) const {
    QMenu menu(owner);
    for (const Entry& entry : entries_) {
        if (entry.separator) {
            menu.addSeparator();
        } else {
            menu.addAction(entry.text)->setData(entry.command);
        }
    }
    const QAction* chosen = menu.exec(globalPos);
    if (!chosen) {
        return std::nullopt;
    }
    return chosen->data().toUInt();
}
