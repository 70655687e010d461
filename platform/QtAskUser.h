// The real "ask the user": modal QMessageBox and QFileDialog owned by a window.
#pragma once

#include "platform/AskUser.h"

#include <QStringList>

class QWidget;

class QtAskUser final : public AskUser {
public:
    explicit QtAskUser(QWidget* owner) : owner_(owner) {}
    Answer ShowMessage(const QString& text, MessageButtons buttons, MessageIcon icon,
                       const QString& details = {}) override;
    std::optional<QString> AskFileName(const FileDialogRequest& request) override;

    // The folder the next file dialog opens in: the last one a file was
    // picked in during this run (empty before the first pick: the working folder).
    const QString& LastFolder() const { return lastFolder_; }

private:
    QWidget* owner_;
    QString lastFolder_; // kept for the run only; the program stores no settings
};

// "Desc (*.a)|*.a|All (*.*)|*.*||" -> {"Desc (*.a)", "All (*.*)"}, each entry
// carrying its pattern in parentheses as Qt's file dialog reads it.
QStringList NameFiltersFromPairs(const QString& filter);
