// The real "ask the user": modal QMessageBox and QFileDialog owned by a window.
#pragma once

#include "platform/AskUser.h"

#include <QStringList>

class QWidget;
class SettingsStore;

class QtAskUser final : public AskUser {
public:
    // `settings`, when given, keeps each file dialog's folder from run to run.
    explicit QtAskUser(QWidget* owner, SettingsStore* settings = nullptr)
        : owner_(owner), settings_(settings) {}
    Answer ShowMessage(const QString& text, MessageButtons buttons, MessageIcon icon,
                       const QString& details = {}) override;
    std::optional<QString> AskFileName(const FileDialogRequest& request) override;
    int AskChoice(const QString& text, const QString& details, const QStringList& choices,
                  int defaultChoice, int escapeChoice) override;

    // The folder the next file dialog opens in: the last one a file was
    // picked in during this run (empty before the first pick: the working folder).
    const QString& LastFolder() const { return lastFolder_; }

private:
    QString FolderFor(const FileDialogRequest& request) const;

    QWidget* owner_;
    SettingsStore* settings_;
    QString lastFolder_; // the last pick's folder in this run, for dialogs without a key
};

// "Desc (*.a)|*.a|All (*.*)|*.*||" -> {"Desc (*.a)", "All (*.*)"}, each entry
// carrying its pattern in parentheses as Qt's file dialog reads it.
QStringList NameFiltersFromPairs(const QString& filter);

// The extension a save dialog appends to a name typed without one while the
// filter `index` is chosen: its first pattern's ("*.tif;*.tiff" -> "tif"),
// or `fallback` for a filter of every name ("*.*") or none.
QString SuffixOfFilter(const QString& filter, int index, const QString& fallback);
