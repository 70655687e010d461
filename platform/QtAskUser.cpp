// Message boxes and file dialogs through Qt's own modal dialogs.
#include "platform/QtAskUser.h"

#include "platform/SettingsStore.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>

#include <algorithm>
#include <vector>

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

// QMessageBox wraps its second line to the width of its first, breaking
// Japanese anywhere ("詰まり/ました" at about 193 pixels): the box is made
// as wide as that line's longest row, up to two thirds of the screen.
void FitDetailsOnOneRow(QMessageBox& box) {
    auto* details = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_informativelabel"));
    if (details == nullptr || details->text().isEmpty()) {
        return;
    }
    constexpr int kScreenShareNumerator = 2;
    constexpr int kScreenShareDenominator = 3;
    // Measured in the font and margins the label is shown with, unwrapped.
    details->ensurePolished();
    details->setWordWrap(false);
    const int widest = details->sizeHint().width();
    details->setWordWrap(true);
    const QScreen* screen = box.screen();
    const int room = screen != nullptr ? screen->availableGeometry().width() *
                                             kScreenShareNumerator / kScreenShareDenominator
                                       : widest;
    details->setMinimumWidth(std::min(widest, room));
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
    FitDetailsOnOneRow(box);
    return AnswerOf(box.exec());
}

int QtAskUser::AskChoice(const QString& text, const QString& details, const QStringList& choices,
                         int defaultChoice, int escapeChoice) {
    QMessageBox box(QMessageBox::Question, QApplication::applicationDisplayName(), text,
                    QMessageBox::NoButton, owner_);
    std::vector<QPushButton*> buttons;
    for (qsizetype i = 0; i < choices.size(); ++i) {
        buttons.push_back(box.addButton(choices[i], i == escapeChoice ? QMessageBox::RejectRole
                                                                      : QMessageBox::AcceptRole));
    }
    if (defaultChoice >= 0 && static_cast<std::size_t>(defaultChoice) < buttons.size()) {
        box.setDefaultButton(buttons[static_cast<std::size_t>(defaultChoice)]);
    }
    if (escapeChoice >= 0 && static_cast<std::size_t>(escapeChoice) < buttons.size()) {
        box.setEscapeButton(buttons[static_cast<std::size_t>(escapeChoice)]);
    }
    box.setInformativeText(details);
    FitDetailsOnOneRow(box);
    box.exec();
    const auto taken = std::find(buttons.begin(), buttons.end(), box.clickedButton());
    return taken == buttons.end() ? escapeChoice : static_cast<int>(taken - buttons.begin());
}

namespace {

QFileDialog::FileMode FileModeOf(const FileDialogRequest& request) {
    switch (request.mode) {
    case FileDialogRequest::Mode::Save:
        return QFileDialog::AnyFile;
    case FileDialogRequest::Mode::Folder:
        return QFileDialog::Directory;
    case FileDialogRequest::Mode::Open:
        break;
    }
    return request.allChosen != nullptr ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile;
}

} // namespace

std::optional<QString> QtAskUser::AskFileName(const FileDialogRequest& request) {
    QFileDialog dialog(owner_);
    const bool save = request.mode == FileDialogRequest::Mode::Save;
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(FileModeOf(request));
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
    if (request.allChosen != nullptr) {
        *request.allChosen = dialog.selectedFiles();
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
