// A test stand-in for the user: records every question and answers from a script.
#pragma once

#include "platform/AskUser.h"

#include <deque>
#include <optional>
#include <vector>

struct ShownMessage {
    QString text;
    MessageButtons buttons;
    MessageIcon icon;
    QString details;
};

class ScriptedAskUser final : public AskUser {
public:
    // Answers for the next message boxes; with none queued every box gets OK
    // (a yes/no question gets No).
    void QueueAnswer(Answer answer) { answers_.push_back(answer); }
    // Answers for the next file dialogs: a path (several files: a line
    // each), or a cancel. With none queued every file dialog is cancelled.
    void QueueFileName(const QString& path) { fileNames_.push_back({true, path}); }
    void QueueCancel() { fileNames_.push_back({false, {}}); }
    // Answers for the next questions with choices: an index. With none
    // queued every such question gets its Escape choice.
    void QueueChoice(int choice) { choices_.push_back(choice); }

    Answer ShowMessage(const QString& text, MessageButtons buttons, MessageIcon icon,
                       const QString& details = {}) override;
    std::optional<QString> AskFileName(const FileDialogRequest& request) override;
    int AskChoice(const QString& text, const QString& details, const QStringList& choices,
                  int defaultChoice, int escapeChoice) override;

    const std::vector<ShownMessage>& Messages() const { return messages_; }
    const std::vector<FileDialogRequest>& FileDialogs() const { return fileDialogs_; }
    QStringList MessageTexts() const;
    void Clear();

private:
    std::deque<Answer> answers_;
    std::deque<int> choices_;
    struct FileAnswer {
        bool chosen;
        QString path;
    };
    std::deque<FileAnswer> fileNames_;
    std::vector<ShownMessage> messages_;
    std::vector<FileDialogRequest> fileDialogs_;
};
