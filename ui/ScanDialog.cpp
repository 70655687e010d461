// Choices are read from the device each time another one is picked; a
// device that cannot be opened offers none, and the scan cannot start.
#include "ui/ScanDialog.h"

#include "scan/DeviceChoices.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QPushButton>

namespace {

constexpr int kPreferredDpi = 300;
constexpr int kPreferredDepth = 8;

QString ModeLabel(const std::string& mode) {
    return mode == "Gray" || mode == "gray" ? QStringLiteral("グレー") : QStringLiteral("カラー");
}

QComboBox* NamedCombo(const char* name, QWidget* parent) {
    auto* combo = new QComboBox(parent);
    combo->setObjectName(QString::fromLatin1(name));
    return combo;
}

void Pick(QComboBox* combo, const QVariant& wanted) {
    const int found = combo->findData(wanted);
    combo->setCurrentIndex(found >= 0 ? found : 0);
}

} // namespace

ScanDialog::ScanDialog(QWidget* parent, const SaneSession& session, Purpose purpose)
    : QDialog(parent), session_(session), device_(NamedCombo("scanDevice", this)),
      resolution_(NamedCombo("scanResolution", this)), mode_(NamedCombo("scanMode", this)),
      depth_(NamedCombo("scanDepth", this)) {
    setWindowTitle(purpose == Purpose::Acquire ? QStringLiteral("スキャナから取り込む")
                                               : QStringLiteral("テーブルでスキャン"));
    auto* search = new QPushButton(QStringLiteral("再検索"), this);
    search->setObjectName(QStringLiteral("scanSearch"));
    auto* deviceRow = new QHBoxLayout;
    deviceRow->addWidget(device_, 1);
    deviceRow->addWidget(search);
    auto* form = new QFormLayout(this);
    form->addRow(QStringLiteral("スキャナ:"), deviceRow);
    form->addRow(QStringLiteral("解像度 (dpi):"), resolution_);
    form->addRow(QStringLiteral("モード:"), mode_);
    form->addRow(QStringLiteral("ビット深度:"), depth_);
    auto* buttons = new QDialogButtonBox(this);
    start_ = buttons->addButton(purpose == Purpose::Acquire ? QStringLiteral("取り込む")
                                                            : QStringLiteral("テーブルでスキャン"),
                                QDialogButtonBox::AcceptRole);
    start_->setObjectName(QStringLiteral("scanStart"));
    QPushButton* cancel =
        buttons->addButton(QStringLiteral("キャンセル"), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("scanCancel"));
    form->addRow(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(search, &QPushButton::clicked, this, &ScanDialog::SearchDevices);
    connect(device_, &QComboBox::currentIndexChanged, this, &ScanDialog::ShowChoices);
    SearchDevices();
}

void ScanDialog::SearchDevices() {
    const QSignalBlocker quiet(device_);
    device_->clear();
    for (const DeviceInfo& info : session_.Devices().devices) {
        const QString name = QString::fromStdString(info.name);
        device_->addItem(
            QStringLiteral("%1 %2 (%3)")
                .arg(QString::fromStdString(info.vendor), QString::fromStdString(info.model), name),
            name);
    }
    ShowChoices();
}

void ScanDialog::ShowChoices() {
    resolution_->clear();
    mode_->clear();
    depth_->clear();
    DeviceOpen open = session_.Open(device_->currentData().toString().toStdString());
    if (device_->count() > 0 && !open.reason) {
        const DeviceChoices choices = ChoicesOf(*open.device);
        for (const int dpi : choices.resolutions) {
            resolution_->addItem(QString::number(dpi), dpi);
        }
        for (const std::string& mode : choices.modes) {
            mode_->addItem(ModeLabel(mode), QString::fromStdString(mode));
        }
        for (const int depth : choices.depths) {
            depth_->addItem(QString::number(depth), depth);
        }
    }
    Pick(resolution_, kPreferredDpi);
    Pick(depth_, kPreferredDepth);
    start_->setEnabled(device_->count() > 0 && !open.reason);
}

ScanSettings ScanDialog::Settings() const {
    ScanSettings settings;
    settings.device = device_->currentData().toString().toStdString();
    if (resolution_->count() > 0) {
        settings.resolution = std::to_string(resolution_->currentData().toInt());
    }
    if (mode_->count() > 0) {
        settings.mode = mode_->currentData().toString().toStdString();
    }
    if (depth_->count() > 0) {
        settings.depth = depth_->currentData().toInt();
    }
    return settings;
}
