// QProgressDialog hides itself whenever its bar is full, and on its own
// cancel (its button, and an Escape shortcut of its own): between two pages
// of a batch the window would be active, and a second Escape would close
// it. Here the bar never resets, and a cancel only raises the stop flag; the
// dialog goes when its owner ends the scan.
#include "ui/ScanProgress.h"

#include "ui/ScanWorker.h"

#include <QCloseEvent>
#include <QShortcut>

namespace {

const QString kStop = QStringLiteral("中止");
const QString kStopping = QStringLiteral("中止しています...");
// What a screen reader names the dialog by; its label says which page.
const QString kSpokenName = QStringLiteral("スキャンの進行状況");

} // namespace

ScanProgressDialog::ScanProgressDialog(QWidget* parent, const QString& label,
                                       std::atomic<bool>& stop)
    : QProgressDialog(label, kStop, 0, kScanProgressSteps, parent), stop_(stop) {
    setObjectName(QStringLiteral("scanProgress"));
    setAccessibleName(kSpokenName);
    setWindowModality(Qt::WindowModal);
    setAutoReset(false);
    setAutoClose(false);
    setMinimumDuration(0);
    disconnect(this, &QProgressDialog::canceled, this, &QProgressDialog::cancel);
    connect(this, &QProgressDialog::canceled, this, &ScanProgressDialog::AskToStop);
    for (QShortcut* shortcut : findChildren<QShortcut*>()) {
        shortcut->setEnabled(false); // Escape goes to reject() instead
    }
    show();
}

void ScanProgressDialog::ShowStage(const QString& label) {
    if (!stopping_ && labelText() != label) {
        setLabelText(label);
    }
}

void ScanProgressDialog::reject() {
    AskToStop();
}

void ScanProgressDialog::closeEvent(QCloseEvent* event) {
    event->ignore();
    AskToStop();
}

void ScanProgressDialog::AskToStop() {
    stop_ = true;
    if (!stopping_) {
        stopping_ = true;
        setLabelText(kStopping);
    }
}
