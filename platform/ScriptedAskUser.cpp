// Scripted answers for tests; every question asked is kept for inspection.
#include "platform/ScriptedAskUser.h"

#include <QStringList>

Answer ScriptedAskUser::ShowMessage(const QString& text, MessageButtons buttons, MessageIcon icon,
                                    const QString& details) {
    messages_.push_back({text, buttons, icon, details});
    if (answers_.empty()) {
        return buttons == MessageButtons::YesNo ? Answer::No : Answer::Ok;
    }
    const Answer answer = answers_.front();
    answers_.pop_front();
    return answer;
}

std::optional<QString> ScriptedAskUser::AskFileName(const FileDialogRequest& request) {
    fileDialogs_.push_back(request);
    if (fileNames_.empty()) {
        return std::nullopt;
    }
    const FileAnswer answer = fileNames_.front();
    fileNames_.pop_front();
    if (!answer.chosen) {
        return std::nullopt;
    }
    // Several files are queued as one answer, a line each.
    const QStringList all = answer.path.split(QLatin1Char('\n'));
    if (request.allChosen != nullptr) {
        *request.allChosen = all;
    }
    return all.constFirst();
}

int ScriptedAskUser::AskChoice(const QString& text, const QString& details, const QStringList&, int,
                               int escapeChoice) {
    messages_.push_back({text, MessageButtons::OkCancel, MessageIcon::Question, details});
    if (choices_.empty()) {
        return escapeChoice;
    }
    const int choice = choices_.front();
    choices_.pop_front();
    return choice;
}

QStringList ScriptedAskUser::MessageTexts() const {
    QStringList texts;
    for (const ShownMessage& m : messages_) {
        texts << m.text;
    }
    return texts;
}

void ScriptedAskUser::Clear() {
    answers_.clear();
    choices_.clear();
    fileNames_.clear();
    messages_.clear();
    fileDialogs_.clear();
}
