// The scan dialog: device (with a search button), source, resolution, mode
// and depth, each showing what the chosen device offers; a preview of the
// bed on which the scan area is dragged, with its size in millimetres, in
// pixels and as a file; and, without any scanner, how to find one.
#pragma once

#include "scan/DeviceOffer.h"
#include "ui/ScanPreview.h"

#include <QDialog>

#include <atomic>

class QComboBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QVBoxLayout;
class QWidget;
class ScanAreaView;
class ScanMemory;
struct RememberedScan;

class ScanDialog : public QDialog {
public:
    enum class Purpose { Acquire, WithTables };

    // `memory` gives the last device and each device's choices and keeps
    // them when the dialog is accepted; `preview` is the window's last
    // preview, shown while the device and source are the same.
    ScanDialog(QWidget* parent, SaneSession& session, Purpose purpose, ScanMemory& memory,
               ScanPreview& preview);

    // The device and settings picked; curves are left to the caller.
    ScanSettings Settings() const;

    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void BuildDeviceRow(QVBoxLayout* top);
    void BuildButtons(QVBoxLayout* top, Purpose purpose);
    void BuildPreviewColumn(QWidget* column);
    void BuildChoices(QWidget* column);
    void SearchDevices();
    // 再検索: SANE is asked afresh, so a scanner configured since shows up.
    void SearchAgain();
    void ShowDevice();
    void ChangeSource();
    // Reads what the device offers with `source` and shows it, picking the
    // `wanted` choices where the device still offers them.
    void LoadOffer(const QString& source, const RememberedScan& wanted);
    void ShowChoices(const RememberedScan& wanted);
    void ShowSources();
    void ShowArea(const ScanArea& area);
    void ShowSizes();
    void UpdateStart();
    void TakePreview();
    void ShowStoredPreview();
    void SetBusy(bool busy);
    QString Device() const;
    RememberedScan Choices() const;

    SaneSession& session_;
    ScanMemory& memory_;
    ScanPreview& preview_;
    DeviceOffer offer_;
    bool offerUsable_ = false; // a device whose offer could be read
    ScanArea area_;
    std::atomic<bool> cancelPreview_{false};
    bool previewing_ = false;
    bool sized_ = false;

    QComboBox* device_;
    QPushButton* search_;
    QLabel* noDevice_;
    QWidget* content_;
    QComboBox* source_;
    QLabel* sourceLabel_;
    QComboBox* resolution_;
    QComboBox* mode_;
    QComboBox* depth_;
    QLabel* areaMm_;
    QLabel* areaPixels_;
    QLabel* fileSize_;
    QLabel* status_;
    ScanAreaView* view_;
    QPushButton* previewButton_;
    QPushButton* whole_;
    QProgressBar* progress_;
    QPushButton* stopPreview_;
    QPushButton* start_;
};
