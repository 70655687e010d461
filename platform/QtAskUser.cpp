// Message boxes and file dialogs through Qt's own modal dialogs.
#include "platform/QtAskUser.h"

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

Answer QtAskUser::ShowMessage(const QString& text, MessageButtons buttons, MessageIcon icon,
                              const QString& details) {
    QMessageBox box(ToQtIcon(icon), QApplication::applicationDisplayName(), text,
                    buttons == MessageButtons::OkCancel ? QMessageBox::Ok | QMessageBox::Cancel
                                                        : QMessageBox::Ok,
                    owner_);
    box.setDefaultButton(QMessageBox::Ok);
    box.setInformativeText(details);
    return box.exec() == QMessageBox::Ok ? Answer::Ok : Answer::Cancel;
}

std::optional<QString> QtAskUser::AskFileName(const FileDialogRequest& request) {
    QFileDialog dialog(owner_);
    const bool save = request.mode == FileDialogRequest::Mode::Save;
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    const QStringList filters = NameFiltersFromPairs(request.filter);
    dialog.setNameFilters(filters);
    dialog.setDefaultSuffix(request.defaultSuffix);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !(save && request.overwritePrompt));
    if (!lastFolder_.isEmpty()) {
        dialog.setDirectory(lastFolder_);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    if (request.chosenFilter != nullptr) {
        *request.chosenFilter = static_cast<int>(filters.indexOf(dialog.selectedNameFilter()));
    }
    const QString picked = dialog.selectedFiles().constFirst();
    lastFolder_ = QFileInfo(picked).absolutePath();
    return picked;
}
