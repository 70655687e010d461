// The progress of a scan or of a feeder's batch, modal over the window for
// the whole run: 中止, Escape and the close box ask the scan to stop, and the
// dialog stays up, saying so, until the scan has ended, so that no key meant
// for it reaches the window, and the focus stays put from page to page.
#pragma once

#include <QProgressDialog>

#include <atomic>

class QCloseEvent;

class ScanProgressDialog : public QProgressDialog {
public:
    // Shown at once; `stop` is raised when the user asks the scan to stop.
    ScanProgressDialog(QWidget* parent, const QString& label, std::atomic<bool>& stop);

    // The label of the scan's stage (which page); kept once a stop was asked.
    void ShowStage(const QString& label);

    void reject() override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void AskToStop();

    std::atomic<bool>& stop_;
    bool stopping_ = false;
};
