// A message box that is not modal and takes no focus from the window: the
// user reads it, or goes on and closes it later.
#include "ui/SettingsNote.h"

#include "platform/SettingsStore.h"

#include <QApplication>
#include <QMessageBox>

namespace {

const QString kNote = QStringLiteral("設定ファイルを読めませんでした。既定の設定で始めます。");
const QString kDetails = QStringLiteral(
    "読めなかったファイルは %1 として残しました。今回の設定は新しいファイルに保存されます。");

} // namespace

void ShowWindowNote(QWidget* window, const QString& name, const QString& text,
                    const QString& details) {
    auto* note = new QMessageBox(QMessageBox::Information, QApplication::applicationDisplayName(),
                                 text, QMessageBox::Ok, window);
    note->setObjectName(name);
    note->setInformativeText(details);
    note->setWindowModality(Qt::NonModal);
    note->setAttribute(Qt::WA_DeleteOnClose);
    note->setAttribute(Qt::WA_ShowWithoutActivating);
    note->show();
}

void ShowSettingsNote(QWidget* window, const SettingsStore& settings) {
    if (settings.MovedAside().isEmpty()) {
        return;
    }
    ShowWindowNote(window, QStringLiteral("settingsNote"), kNote,
                   kDetails.arg(settings.MovedAside()));
}
