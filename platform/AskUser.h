// "Ask the user": message boxes and file dialogs behind one interface, so the
// dialog code runs the same against real dialogs and against a test script.
#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// YesNo questions answer Yes or No; the others Ok or Cancel.
enum class MessageButtons { Ok, OkCancel, YesNo };

// Boxes that request no icon show the warning icon, as error messages do.
enum class MessageIcon { Default, Information, Question };

enum class Answer { Ok, Cancel, Yes, No };

struct FileDialogRequest {
    enum class Mode { Open, Save, Folder }; // Folder: an existing folder, no filter
    Mode mode = Mode::Open;
    // Filter pairs separated by '|' and ended by "||": "Text (*.txt)|*.txt||".
    QString filter;
    QString defaultSuffix;        // appended when the typed name has no extension
    bool overwritePrompt = false; // save mode: confirm replacing an existing file
    // Which dialog this is ("params", "image", ...): each keeps its own folder
    // from run to run. Without one, the folder of the last pick in this run.
    QString folderKey;
    // When given, receives the filter pair (0 = the first) selected when the
    // dialog was accepted; left alone by answers that pick no filter.
    int* chosenFilter = nullptr;
    // Open mode: when given, the dialog takes several files and this
    // receives them all (the answer is the first).
    QStringList* allChosen = nullptr;
};

class AskUser {
public:
    virtual ~AskUser() = default;
    // `details`, when given, is a second, smaller line under the message:
    // which file, and why.
    virtual Answer ShowMessage(const QString& text, MessageButtons buttons, MessageIcon icon,
                               const QString& details = {}) = 0;
    // The chosen full path, or nothing when the user cancelled.
    virtual std::optional<QString> AskFileName(const FileDialogRequest& request) = 0;
    // A question answered by one of `choices`, buttons from left to right:
    // the index of the one taken. Return takes `defaultChoice`, Escape (and
    // the close box) `escapeChoice`.
    virtual int AskChoice(const QString& text, const QString& details, const QStringList& choices,
                          int defaultChoice, int escapeChoice) = 0;
};
