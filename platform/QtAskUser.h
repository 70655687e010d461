// The real "ask the user": modal QMessageBox and QFileDialog owned by a window.
#pragma once

#include "platform/AskUser.h"

#include <QStringList>

class QWidget;

class QtAskUser final : public AskUser {
public:
    explicit QtAskUser(QWidget* owner) : owner_(owner) {}
    Answer ShowMessage(const QString& text, MessageButtons buttons, MessageIcon icon) override;
    std::optional<QString> AskFileName(const FileDialogRequest& request) override;

private:
    QWidget* owner_;
};

// "Desc (*.a)|*.a|All (*.*)|*.*||" -> {"Desc (*.a)", "All (*.*)"}, each entry
// carrying its pattern in parentheses as Qt's file dialog reads it.
QStringList NameFiltersFromPairs(const QString& filter);
