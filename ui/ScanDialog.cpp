// Choices are read from the device each time another device or source is
// picked; a device that cannot be opened offers none, and the scan cannot
// start. The preview runs on a worker thread like the scan itself.
#include "ui/ScanDialog.h"

#include "image/preview/ScanThumbnail.h"
#include "scan/ScanSize.h"
#include "ui/ReasonText.h"
#include "ui/ScanAreaView.h"
#include "ui/ScanMemory.h"
#include "ui/ScanWorker.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace {

constexpr int kPreferredDpi = 300;
constexpr int kPreferredDepth = 8;
constexpr double kBytesPerMb = 1024.0 * 1024.0;

const QString kNoScanner =
    QStringLiteral("スキャナが見つかりません。\n\n"
                   "次の点を確かめてから「再検索」を押してください。\n"
                   "・スキャナの電源が入り、ケーブルがつながっていること\n"
                   "・端末で scanimage -L を実行して、スキャナが一覧に出ること\n"
                   "・このユーザーがスキャナを使えること（scanner グループに入っているか、\n"
                   "　/dev/bus/usb の権限を確かめてください）\n"
                   "・/etc/sane.d/ のバックエンドの設定（dll.conf と各バックエンドの .conf）に\n"
                   "　スキャナが書かれていること");

QString ModeLabel(const std::string& mode) {
    return mode == "Gray" || mode == "gray" ? QStringLiteral("グレー") : QStringLiteral("カラー");
}

template <typename Widget> Widget* Named(Widget* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

void Pick(QComboBox* combo, const QVariant& wanted, const QVariant& fallback) {
    int found = combo->findData(wanted);
    found = found >= 0 ? found : combo->findData(fallback);
    combo->setCurrentIndex(found >= 0 ? found : 0);
}

QString MbText(std::uint64_t bytes) {
    const double mb = static_cast<double>(bytes) / kBytesPerMb;
    return QStringLiteral("約 %1 MB").arg(mb, 0, 'f', mb < 10 ? 1 : 0);
}

} // namespace

ScanDialog::ScanDialog(QWidget* parent, SaneSession& session, Purpose purpose, ScanMemory& memory,
                       ScanPreview& preview)
    : QDialog(parent), session_(session), memory_(memory), preview_(preview),
      device_(Named(new QComboBox(this), "scanDevice")),
      search_(Named(new QPushButton(QStringLiteral("再検索"), this), "scanSearch")),
      noDevice_(Named(new QLabel(kNoScanner, this), "scanNoDevice")), content_(new QWidget(this)) {
    setWindowTitle(purpose == Purpose::Acquire ? QStringLiteral("スキャナから取り込む")
                                               : QStringLiteral("テーブルでスキャン"));
    auto* top = new QVBoxLayout(this);
    BuildDeviceRow(top);
    auto* columns = new QHBoxLayout(content_);
    columns->setContentsMargins(0, 0, 0, 0);
    auto* left = new QWidget(content_);
    auto* right = new QWidget(content_);
    BuildPreviewColumn(left);
    BuildChoices(right);
    columns->addWidget(left, 1);
    right->setSizePolicy(QSizePolicy::Maximum, QSizePolicy::Preferred);
    columns->addWidget(right);
    top->addWidget(content_, 1);
    BuildButtons(top, purpose);
    connect(device_, &QComboBox::currentIndexChanged, this, &ScanDialog::ShowDevice);
    // Return always takes the scan: no other button becomes the default by
    // having the focus (プレビュー, once disabled, leaves it on キャンセル).
    for (QPushButton* button : findChildren<QPushButton*>()) {
        button->setAutoDefault(false);
    }
    start_->setDefault(true);
    SearchDevices();
}

void ScanDialog::BuildDeviceRow(QVBoxLayout* top) {
    auto* deviceRow = new QHBoxLayout;
    deviceRow->addWidget(new QLabel(QStringLiteral("スキャナ:"), this));
    deviceRow->addWidget(device_, 1);
    deviceRow->addWidget(search_);
    top->addLayout(deviceRow);
    noDevice_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    top->addWidget(noDevice_);
    connect(search_, &QPushButton::clicked, this, &ScanDialog::SearchAgain);
}

void ScanDialog::BuildButtons(QVBoxLayout* top, Purpose purpose) {
    auto* buttons = new QDialogButtonBox(this);
    start_ =
        Named(buttons->addButton(purpose == Purpose::Acquire ? QStringLiteral("取り込む")
                                                             : QStringLiteral("テーブルでスキャン"),
                                 QDialogButtonBox::AcceptRole),
              "scanStart");
    Named(buttons->addButton(QStringLiteral("キャンセル"), QDialogButtonBox::RejectRole),
          "scanCancel");
    top->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

// Escape while a preview runs stops the preview, as 中止 does, and the
// dialog stays with its choices; otherwise it closes the dialog, as ever.
void ScanDialog::keyPressEvent(QKeyEvent* event) {
    if (previewing_ && event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        stopPreview_->click();
        return;
    }
    QDialog::keyPressEvent(event);
}

void ScanDialog::showEvent(QShowEvent* event) {
    // The combo boxes know their widths only once shown, after the dialog
    // took its first size; the preview gets the room they leave once they have.
    if (!sized_) {
        sized_ = true;
        QTimer::singleShot(0, this, [this] { resize(sizeHint().expandedTo(size())); });
    }
    QDialog::showEvent(event);
}

void ScanDialog::BuildPreviewColumn(QWidget* column) {
    auto* layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);
    view_ = new ScanAreaView(column);
    layout->addWidget(view_, 1);
    auto* row = new QHBoxLayout;
    previewButton_ = Named(new QPushButton(QStringLiteral("プレビュー"), column), "scanPreview");
    whole_ = Named(new QPushButton(QStringLiteral("全体"), column), "scanWholeBed");
    progress_ = Named(new QProgressBar(column), "scanPreviewProgress");
    progress_->setRange(0, kScanProgressSteps);
    progress_->setTextVisible(false);
    stopPreview_ = Named(new QPushButton(QStringLiteral("中止"), column), "scanStopPreview");
    row->addWidget(previewButton_);
    row->addWidget(whole_);
    row->addWidget(progress_, 1);
    row->addWidget(stopPreview_);
    layout->addLayout(row);
    progress_->setVisible(false);
    stopPreview_->setVisible(false);
    connect(previewButton_, &QPushButton::clicked, this, &ScanDialog::TakePreview);
    connect(stopPreview_, &QPushButton::clicked, this, [this] { cancelPreview_ = true; });
    connect(whole_, &QPushButton::clicked, this, [this] {
        if (offer_.bed) {
            ShowArea(offer_.bed->Whole());
        }
    });
    view_->WholeBedAsked = [this] { whole_->click(); };
    view_->AreaChanged = [this](const ScanArea& area) { ShowArea(area); };
}

void ScanDialog::BuildChoices(QWidget* column) {
    source_ = Named(new QComboBox(column), "scanSource");
    resolution_ = Named(new QComboBox(column), "scanResolution");
    mode_ = Named(new QComboBox(column), "scanMode");
    depth_ = Named(new QComboBox(column), "scanDepth");
    areaMm_ = Named(new QLabel(column), "scanAreaMm");
    areaPixels_ = Named(new QLabel(column), "scanAreaPixels");
    fileSize_ = Named(new QLabel(column), "scanFileSize");
    status_ = Named(new QLabel(column), "scanStatus");
    status_->setWordWrap(true);
    auto* form = new QFormLayout(column);
    form->setContentsMargins(0, 0, 0, 0);
    sourceLabel_ = new QLabel(QStringLiteral("読み取り面:"), column);
    form->addRow(sourceLabel_, source_);
    form->addRow(QStringLiteral("解像度 (dpi):"), resolution_);
    form->addRow(QStringLiteral("モード:"), mode_);
    form->addRow(QStringLiteral("ビット深度:"), depth_);
    form->addRow(QStringLiteral("範囲:"), areaMm_);
    form->addRow(QStringLiteral("画素数:"), areaPixels_);
    form->addRow(QStringLiteral("ファイル:"), fileSize_);
    form->addRow(status_);
    for (QComboBox* combo : {device_, source_, resolution_, mode_, depth_}) {
        // Sized by their entries now, not at the first show, so the
        // dialog's first size already leaves the preview its room.
        combo->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    }
    connect(source_, &QComboBox::currentIndexChanged, this, &ScanDialog::ChangeSource);
    for (QComboBox* combo : {resolution_, mode_, depth_}) {
        connect(combo, &QComboBox::currentIndexChanged, this, &ScanDialog::ShowSizes);
    }
}

QString ScanDialog::Device() const {
    return device_->currentData().toString();
}

void ScanDialog::SearchDevices() {
    {
        const QSignalBlocker quiet(device_);
        device_->clear();
        for (const DeviceInfo& info : session_.Devices().devices) {
            const QString name = QString::fromStdString(info.name);
            device_->addItem(QStringLiteral("%1 %2 (%3)")
                                 .arg(QString::fromStdString(info.vendor),
                                      QString::fromStdString(info.model), name),
                             name);
        }
        const int last = device_->findData(memory_.LastDevice());
        device_->setCurrentIndex(last >= 0 ? last : 0);
    }
    const bool none = device_->count() == 0;
    noDevice_->setVisible(none);
    content_->setVisible(!none);
    device_->setEnabled(!none);
    ShowDevice();
}

void ScanDialog::SearchAgain() {
    session_.Restart(); // no device is open between the dialog's steps
    SearchDevices();
}

void ScanDialog::ShowDevice() {
    if (preview_.device != Device()) {
        preview_ = {}; // a preview belongs to the device that took it
    }
    const RememberedScan wanted = memory_.For(Device());
    LoadOffer(wanted.source, wanted);
}

void ScanDialog::ChangeSource() {
    preview_ = {}; // another source sees another bed
    LoadOffer(source_->currentData().toString(), Choices());
}

void ScanDialog::LoadOffer(const QString& source, const RememberedScan& wanted) {
    offer_ = {};
    status_->clear();
    OfferRead read;
    if (device_->count() > 0) {
        read = ReadOffer(session_, Device().toStdString(), source.toStdString());
        if (read.reason && !source.isEmpty()) {
            read = ReadOffer(session_, Device().toStdString(), {}); // a source no longer there
        }
        if (read.reason) {
            status_->setText(ReasonText(read.reason));
        } else {
            offer_ = read.offer;
        }
    }
    ShowChoices(wanted);
    offerUsable_ = device_->count() > 0 && !read.reason;
    previewButton_->setEnabled(offerUsable_);
    UpdateStart();
}

void ScanDialog::ShowSources() {
    const QSignalBlocker quiet(source_);
    source_->clear();
    for (const std::string& source : offer_.sources) {
        source_->addItem(QString::fromStdString(source), QString::fromStdString(source));
    }
    source_->setCurrentIndex(std::max(0, source_->findData(QString::fromStdString(offer_.source))));
    source_->setVisible(!offer_.sources.empty());
    sourceLabel_->setVisible(!offer_.sources.empty());
}

void ScanDialog::ShowChoices(const RememberedScan& wanted) {
    ShowSources();
    const QSignalBlocker quietResolution(resolution_);
    const QSignalBlocker quietMode(mode_);
    const QSignalBlocker quietDepth(depth_);
    resolution_->clear();
    mode_->clear();
    depth_->clear();
    for (const int dpi : offer_.choices.resolutions) {
        resolution_->addItem(QString::number(dpi), dpi);
    }
    for (const std::string& mode : offer_.choices.modes) {
        mode_->addItem(ModeLabel(mode), QString::fromStdString(mode));
    }
    for (const int depth : offer_.choices.depths) {
        depth_->addItem(QString::number(depth), depth);
    }
    Pick(resolution_, wanted.resolution.value_or(kPreferredDpi), kPreferredDpi);
    Pick(mode_, wanted.mode, {});
    Pick(depth_, wanted.depth.value_or(kPreferredDepth), kPreferredDepth);
    view_->SetBed(offer_.bed ? std::optional(offer_.bed->Whole()) : std::nullopt);
    whole_->setEnabled(offer_.bed.has_value());
    ShowStoredPreview();
    if (offer_.bed) {
        const std::optional<ScanArea> kept =
            wanted.cornerArea ? AreaFromBedCorner(*offer_.bed, *wanted.cornerArea) : wanted.area;
        ShowArea(kept.value_or(offer_.area.value_or(offer_.bed->Whole())));
    } else {
        ShowSizes();
    }
}

void ScanDialog::ShowStoredPreview() {
    const bool same =
        preview_.device == Device() && preview_.source == QString::fromStdString(offer_.source);
    view_->SetPreview(same ? preview_.image : QImage());
}

void ScanDialog::ShowArea(const ScanArea& area) {
    area_ = Constrained(*offer_.bed, area);
    view_->SetArea(area_);
    ShowSizes();
}

void ScanDialog::ShowSizes() {
    if (!offer_.bed) {
        areaMm_->setText(QStringLiteral("—"));
        areaPixels_->setText(QStringLiteral("—"));
        fileSize_->setText(QStringLiteral("—"));
        return;
    }
    areaMm_->setText(
        QStringLiteral("%1 × %2 mm").arg(area_.Width(), 0, 'f', 1).arg(area_.Height(), 0, 'f', 1));
    const int dpi = resolution_->currentData().toInt();
    const PixelSize pixels = PixelsAt(area_, dpi, offer_.rounding);
    areaPixels_->setText(QStringLiteral("%1 × %2 ピクセル").arg(pixels.width).arg(pixels.height));
    UpdateStart();
    const bool grey =
        mode_->currentData().toString().compare(QStringLiteral("Gray"), Qt::CaseInsensitive) == 0;
    const int depth = depth_->count() > 0 ? depth_->currentData().toInt() : kPreferredDepth;
    fileSize_->setText(MbText(EstimatedFileBytes(pixels, grey ? 1 : 3, depth)));
}

// An area that holds no pixel at the chosen resolution cannot be scanned.
void ScanDialog::UpdateStart() {
    bool holdsPixels = true;
    if (offer_.bed) {
        const PixelSize pixels =
            PixelsAt(area_, resolution_->currentData().toInt(), offer_.rounding);
        holdsPixels = pixels.width > 0 && pixels.height > 0;
    }
    start_->setEnabled(offerUsable_ && !previewing_ && holdsPixels);
}

void ScanDialog::SetBusy(bool busy) {
    previewing_ = busy;
    for (QWidget* control :
         std::initializer_list<QWidget*>{device_, search_, source_, resolution_, mode_, depth_,
                                         previewButton_, whole_, start_, view_}) {
        control->setEnabled(!busy);
    }
    progress_->setVisible(busy);
    stopPreview_->setVisible(busy);
    progress_->setValue(0);
}

void ScanDialog::TakePreview() {
    if (previewing_ || device_->count() == 0) {
        return;
    }
    cancelPreview_ = false;
    status_->clear();
    SetBusy(true);
    Thumbnail thumb;
    const ScanOutcome outcome = ScanOnWorker(
        session_, PreviewSettings(Device().toStdString(), offer_), cancelPreview_,
        [this](int done) { progress_->setValue(done); },
        [&thumb](ScanOutcome& done) {
            if (!done.reason) {
                thumb = ThumbnailOf(done.image);
                done.image = {};
            }
        });
    SetBusy(false);
    UpdateStart();
    whole_->setEnabled(offer_.bed.has_value());
    if (outcome.reason.Code == ReasonCode::Cancelled) {
        return;
    }
    if (outcome.reason) {
        status_->setText(QStringLiteral("プレビューできません: ") + ReasonText(outcome.reason));
        return;
    }
    const QImage image(reinterpret_cast<const uchar*>(thumb.pixels.data()), thumb.width,
                       thumb.height, static_cast<qsizetype>(thumb.width) * 4, QImage::Format_RGB32);
    preview_ = {Device(), QString::fromStdString(offer_.source), image.copy()};
    ShowStoredPreview();
}

RememberedScan ScanDialog::Choices() const {
    RememberedScan choices;
    if (resolution_->count() > 0) {
        choices.resolution = resolution_->currentData().toInt();
    }
    choices.mode = mode_->currentData().toString();
    if (depth_->count() > 0) {
        choices.depth = depth_->currentData().toInt();
    }
    choices.source = QString::fromStdString(offer_.source);
    if (offer_.bed) {
        choices.area = area_;
    }
    return choices;
}

void ScanDialog::done(int result) {
    cancelPreview_ = true; // a running preview ends; its loop returns soon after
    if (result == QDialog::Accepted && device_->count() > 0) {
        memory_.Keep(Device(), Choices());
    }
    QDialog::done(result);
}

ScanSettings ScanDialog::Settings() const {
    ScanSettings settings;
    settings.device = Device().toStdString();
    if (resolution_->count() > 0) {
        settings.resolution = std::to_string(resolution_->currentData().toInt());
    }
    if (mode_->count() > 0) {
        settings.mode = mode_->currentData().toString().toStdString();
    }
    if (depth_->count() > 0) {
        settings.depth = depth_->currentData().toInt();
    }
    AddSourceFirst(settings, offer_);
    if (offer_.bed) {
        settings.area = area_;
    }
    return settings;
}
