// The scan dialog: device (with a search button), resolution, mode and
// depth, each showing what the chosen device offers.
#pragma once

#include "scan/ScanJob.h"

#include <QDialog>

class QComboBox;
class QPushButton;

class ScanDialog : public QDialog {
public:
    enum class Purpose { Acquire, WithTables };

    ScanDialog(QWidget* parent, const SaneSession& session, Purpose purpose);

    // The device and settings picked; curves are left to the caller.
    ScanSettings Settings() const;

private:
    void SearchDevices();
    void ShowChoices();

    const SaneSession& session_;
    QComboBox* device_;
    QComboBox* resolution_;
    QComboBox* mode_;
    QComboBox* depth_;
    QPushButton* start_;
};
