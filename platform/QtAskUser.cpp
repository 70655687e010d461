// Message boxes and file dialogs through Qt's own modal dialogs.
#include "platform/QtAskUser.h"

#include "platform/SettingsStore.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

namespace {

QMessageBox::Icon ToQtIcon(MessageIcon icon) {
    switch (icon) {
    case MessageIcon::Information:
        return QMessageBox::Information;
    case MessageIcon::Question:
        return QMessageBox::Question;
    case MessageIcon::Default:
        break;
    }
    return QMessageBox::Warning;
}

QString FolderKey(const FileDialogRequest& request) {
    return QStringLiteral("folders/") + request.folderKey;
}

QMessageBox::StandardButtons ButtonsOf(MessageButtons buttons) {
    switch (buttons) {
    case MessageButtons::OkCancel:
        return QMessageBox::Ok | QMessageBox::Cancel;
    case MessageButtons::YesNo:
        return QMessageBox::Yes | QMessageBox::No;
    case MessageButtons::Ok:
        break;
    }
    return QMessageBox::Ok;
}

Answer AnswerOf(int button) {
    switch (button) {
    case QMessageBox::Ok:
        return Answer::Ok;
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    default:
        return Answer::Cancel;
    }
}

} // namespace

QStringList NameFiltersFromPairs(const QString& filter) {
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString& description = parts[i];
        const QString patterns = QString(parts[i + 1]).replace(QLatin1Char(';'), QLatin1Char(' '));
        if (description.isEmpty()) {
            break;
        }
        filters << (description.contains(QLatin1Char('(')) ? description
                                                           : description + " (" + patterns + ")");
    }
    return filters;
}

QString SuffixOfFilter(const QString& filter, int index, const QString& fallback) {
    const QStringList parts = filter.split(QLatin1Char('|'));
    const qsizetype at = qsizetype{index} * 2 + 1;
    if (index < 0 || at >= parts.size()) {
        return fallback;
    }
    const QString first = parts[at].section(QLatin1Char(';'), 0, 0);
    const QString prefix = QStringLiteral("*.");
    if (!first.startsWith(prefix) || first.size() == prefix.size() ||
        first.indexOf(QLatin1Char('*'), prefix.size()) >= 0) {
        return fallback;
    }
    return first.mid(prefix.size());
}

Answer QtAskUser::ShowMessage(const QString& text, MessageButtons buttons, MessageIcon icon,
                              const QString& details) {
    QMessageBox box(ToQtIcon(icon), QApplication::applicationDisplayName(), text,
                    ButtonsOf(buttons), owner_);
    // A yes/no question guards against losing work: Return and Escape keep it.
    box.setDefaultButton(buttons == MessageButtons::YesNo ? QMessageBox::No : QMessageBox::Ok);
    box.setInformativeText(details);
    return AnswerOf(box.exec());
}

std::optional<QString> QtAskUser::AskFileName(const FileDialogRequest& request) {
    QFileDialog dialog(owner_);
    const bool save = request.mode == FileDialogRequest::Mode::Save;
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    const QStringList filters = NameFiltersFromPairs(request.filter);
    dialog.setNameFilters(filters);
    // A name typed without an extension takes the chosen filter's.
    dialog.setDefaultSuffix(SuffixOfFilter(request.filter, 0, request.defaultSuffix));
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&](const QString& chosen) {
        dialog.setDefaultSuffix(SuffixOfFilter(
            request.filter, static_cast<int>(filters.indexOf(chosen)), request.defaultSuffix));
    });
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !(save && request.overwritePrompt));
    if (const QString folder = FolderFor(request); !folder.isEmpty()) {
        dialog.setDirectory(folder);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    if (request.chosenFilter != nullptr) {
        *request.chosenFilter = static_cast<int>(filters.indexOf(dialog.selectedNameFilter()));
    }
    const QString picked = dialog.selectedFiles().constFirst();
    lastFolder_ = QFileInfo(picked).absolutePath();
    if (settings_ != nullptr && !request.folderKey.isEmpty()) {
        settings_->SetValue(FolderKey(request), lastFolder_);
    }
    return picked;
}

QString QtAskUser::FolderFor(const FileDialogRequest& request) const {
    if (settings_ != nullptr && !request.folderKey.isEmpty()) {
        const QString kept = settings_->Value(FolderKey(request)).toString();
        if (!kept.isEmpty()) {
            return kept;
        }
    }
    return lastFolder_;
}
