// The window's system menu. This platform gives programs no access to the
// window manager's menu, so the same entries appear in the dialog's context
// menu (right click on the dialog's background, or the Menu key).
#pragma once

#include <QKeySequence>
#include <QPoint>
#include <QString>

#include <optional>
#include <vector>

class QWidget;

// System commands with the values the dialog code compares against.
inline constexpr unsigned kSysCommandMask = 0xFFF0; // low four bits are the system's
inline constexpr unsigned SC_MINIMIZE = 0xF020;
inline constexpr unsigned SC_CLOSE = 0xF060;

class SystemMenu {
public:
    struct Entry {
        bool separator;
        unsigned command;
        QString text; // '&' marks the accelerator letter
        bool checkable = false;
        bool checked = false;
        bool enabled = true;
        QKeySequence shortcut = {}; // shown beside the text; the owner handles the keys
    };

    // The standard entries: minimise and close.
    SystemMenu();

    void AppendSeparator();
    void AppendItem(unsigned command, const QString& text);
    // An entry that shows a check mark while `checked`.
    void AppendCheckItem(unsigned command, const QString& text);
    void AppendItem(unsigned command, const QString& text, const QKeySequence& shortcut);
    // Changes the state of the entry with this command; unknown commands are ignored.
    void SetChecked(unsigned command, bool checked);
    void SetEnabled(unsigned command, bool enabled);
    const Entry* Find(unsigned command) const;
    const std::vector<Entry>& Entries() const { return entries_; }

    // Shows the menu at a global position; the chosen command, if any.
    std::optional<unsigned> Popup(QWidget* owner, const QPoint& globalPos) const;

private:
    Entry* FindEntry(unsigned command);

    std::vector<Entry> entries_;
};
