// The dialog's parts and what the user does with them. Each corner move
// redraws the sampled boxes at once and asks the runner for a calibration
// of the new place; the result colours the boxes and fills the table and
// the summary. The chart is found again when the chart kind changes, on
// 自動検出, and when the reference changes while the corners are still the
// found ones (its colours settle the chart's turn). A reference file that
// cannot be read leaves the working one and is not remembered. The labels
// a screen reader reads carry their figures in their names.
#include "ui/ChartDialog.h"

#include "io/AtomicWrite.h"
#include "measure/ChartFinder.h"
#include "platform/AskUser.h"
#include "platform/SettingsStore.h"
#include "platform/WaitCursor.h"
#include "ui/CalibrationRunner.h"
#include "ui/ChartTexts.h"
#include "ui/ChartView.h"
#include "ui/Messages.h"
#include "ui/PatchTable.h"
#include "ui/ReasonText.h"
#include "ui/ScanMemory.h"
#include "ui/UserPath.h"

#include <QComboBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace {

constexpr double kCornerInset = 0.08; // of the image's size, on each side, when nothing is found
constexpr int kStartWidth = 1100;     // pixels: room for the picture beside the table
constexpr int kStartHeight = 680;
constexpr double kScreenShare = 0.9; // of the screen the dialog takes at most
const QString kReferenceKey = QStringLiteral("chart/reference/");
const QString kKindKey = QStringLiteral("chart/kind");
const QString kBuiltInName = QStringLiteral("内蔵の値（2014年11月以降のチャート）");
const QString kNoReference = QStringLiteral("（なし）");
const QString kCannotReadReference = QStringLiteral("基準ファイルを読めません。");
const QString kUseForDevice = QStringLiteral("このプロファイルを %1 のスキャンに使いますか?");
const QString kUseForDeviceDetails =
    QStringLiteral("スキャナから取り込んだ画像とテーブルでスキャンした画像に埋め込まれます。");
const QString kSummaryName = QStringLiteral("校正の結果");
const QString kCornersName = QStringLiteral("四隅の位置");
const QString kReferenceName = QStringLiteral("基準ファイル");
const QString kFindName = QStringLiteral("自動検出の結果");

QPushButton* Button(QWidget* parent, const char* name, const QString& text) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QLatin1String(name));
    button->setAccessibleName(QString(text).remove(QStringLiteral("...")));
    return button;
}

QLabel* SpokenLabel(QWidget* parent, const char* name, const QString& spoken) {
    auto* label = new QLabel(parent);
    label->setObjectName(QLatin1String(name));
    label->setAccessibleName(spoken);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

// A screen reader reads a label's accessible name in place of its text, so
// the name carries the text: "校正の結果：ΔE2000 ...".
void ShowSpoken(QLabel* label, const QString& name, const QString& text) {
    label->setText(text);
    label->setAccessibleName(text.isEmpty() ? name : name + QStringLiteral("：") + text);
}

QString Utf8Name(std::string_view name) {
    return QString::fromUtf8(name.data(), qsizetype(name.size()));
}

QString ChartKey(ChartKind kind) {
    return kReferenceKey + Utf8Name(LayoutOf(kind).name);
}

} // namespace

ChartDialog::ChartDialog(QWidget* parent, ChartDialogContext context)
    : QDialog(parent), context_(std::move(context)), runner_(new CalibrationRunner(this)) {
    setObjectName(QStringLiteral("chartDialog"));
    setWindowTitle(QStringLiteral("チャートで校正"));
    setAccessibleName(windowTitle());
    BuildControls();
    runner_->Finished = [this](const CalibrationJob& job, const CalibrationOutcome& outcome) {
        ShowOutcome(job, outcome);
    };
    QImage picture(context_.scan->width, context_.scan->height, QImage::Format_RGB888);
    const SampleImage backdrop = ChartBackdrop(*context_.scan);
    for (int y = 0; y < picture.height(); ++y) {
        const auto row = backdrop.Row(y);
        std::copy(row.begin(), row.end(), picture.scanLine(y));
    }
    view_->SetPicture(picture);
    ChooseChart();
    // Room for the picture beside the table, within the screen.
    QSize size = sizeHint().expandedTo(QSize(kStartWidth, kStartHeight));
    if (const QScreen* shown = screen()) {
        size = size.boundedTo(shown->availableGeometry().size() * kScreenShare);
    }
    resize(size.expandedTo(minimumSizeHint()));
}

ChartDialog::~ChartDialog() = default;

void ChartDialog::BuildControls() {
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(BuildChoiceRow());
    auto* middle = new QHBoxLayout;
    view_ = new ChartView(this);
    view_->CornersChanged = [this](const ChartCorners& corners) { CornersMoved(corners); };
    middle->addWidget(view_, 1);
    auto* side = new QVBoxLayout;
    table_ = new PatchTable(this);
    side->addWidget(table_, 1);
    findNote_ = SpokenLabel(this, "chartFindNote", kFindName);
    findNote_->setWordWrap(true);
    findNote_->hide();
    side->addWidget(findNote_);
    summary_ = SpokenLabel(this, "chartSummary", kSummaryName);
    summary_->setWordWrap(true);
    side->addWidget(summary_);
    middle->addLayout(side);
    layout->addLayout(middle, 1);
    layout->addWidget(BuildButtonRow());
}

QWidget* ChartDialog::BuildChoiceRow() {
    auto* row = new QWidget(this);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* chartLabel = new QLabel(QStringLiteral("チャート(&C):"), row);
    chart_ = new QComboBox(row);
    chart_->setObjectName(QStringLiteral("chartKind"));
    chart_->setAccessibleName(QStringLiteral("チャート"));
    const QString remembered = context_.settings->Value(kKindKey).toString();
    for (const ChartKind kind : AllCharts()) {
        chart_->addItem(Utf8Name(LayoutOf(kind).title), int(kind));
        if (Utf8Name(LayoutOf(kind).name) == remembered) {
            chart_->setCurrentIndex(chart_->count() - 1);
        }
    }
    chartLabel->setBuddy(chart_);
    referenceName_ = SpokenLabel(row, "chartReference", kReferenceName);
    auto* browse = Button(row, "chartBrowse", QStringLiteral("参照(&R)..."));
    builtIn_ = Button(row, "chartBuiltIn", QStringLiteral("内蔵の値(&B)"));
    layout->addWidget(chartLabel);
    layout->addWidget(chart_);
    layout->addSpacing(chart_->sizeHint().height());
    layout->addWidget(new QLabel(kReferenceName + QStringLiteral(":"), row));
    layout->addWidget(referenceName_, 1);
    layout->addWidget(browse);
    layout->addWidget(builtIn_);
    connect(chart_, &QComboBox::currentIndexChanged, this, [this] { ChooseChart(); });
    connect(browse, &QPushButton::clicked, this, [this] { BrowseReference(); });
    connect(builtIn_, &QPushButton::clicked, this, [this] { UseBuiltIn(); });
    return row;
}

QWidget* ChartDialog::BuildButtonRow() {
    auto* row = new QWidget(this);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* find = Button(row, "chartFind", QStringLiteral("自動検出(&D)"));
    find->setToolTip(
        QStringLiteral("スキャンの中のチャートを探し、四隅をその格子の角に置きます。"));
    apply_ = Button(row, "chartApply", QStringLiteral("適用(&A)"));
    save_ = Button(row, "chartSave", QStringLiteral("保存(&S)..."));
    auto* close = Button(row, "chartClose", QStringLiteral("閉じる"));
    apply_->setToolTip(QStringLiteral("12 のスライダーを校正の値にします（元に戻すで 1 歩）。"));
    save_->setToolTip(QStringLiteral("入力プロファイル（ICC）を保存します。"));
    apply_->setEnabled(false);
    save_->setEnabled(false);
    cornersText_ = SpokenLabel(row, "chartCorners", kCornersName);
    cornersText_->setToolTip(QStringLiteral("tamrel-cli calibrate の --corners に使えます。"));
    layout->addWidget(find);
    layout->addWidget(cornersText_);
    layout->addStretch(1);
    layout->addWidget(apply_);
    layout->addWidget(save_);
    layout->addWidget(close);
    connect(find, &QPushButton::clicked, this, [this] { FindCorners(); });
    connect(apply_, &QPushButton::clicked, this, [this] { Apply(); });
    connect(save_, &QPushButton::clicked, this, [this] { SaveProfile(); });
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    return row;
}

ChartKind ChartDialog::Chart() const {
    return static_cast<ChartKind>(chart_->currentData().toInt());
}

// Another chart: its own reference is read and the chart looked for.
void ChartDialog::ChooseChart() {
    result_.reset();
    context_.settings->SetValue(kKindKey, Utf8Name(LayoutOf(Chart()).name));
    builtIn_->setEnabled(Chart() == ChartKind::ColorChecker24);
    UseRememberedReference();
    FindCorners();
}

// The chart's remembered reference file, or its built-in values. A file
// that can no longer be read is said once and forgotten.
void ChartDialog::UseRememberedReference() {
    const QString path = context_.settings->Value(ChartKey(Chart())).toString();
    if (!path.isEmpty()) {
        Outcome<ChartReference> read = ReadReferenceFile(PathFromUser(path));
        if (read) {
            SetReference(std::make_shared<const ChartReference>(std::move(*read)), path);
            return;
        }
        context_.settings->Remove(ChartKey(Chart()));
        context_.ask->ShowMessage(kCannotReadReference, MessageButtons::Ok, MessageIcon::Default,
                                  ReasonLine(PathFromUser(path), read.Why()));
    }
    SetReference(nullptr, {});
}

// A reference read from `path`, or with neither the chart's built-in values
// (none for an IT8).
void ChartDialog::SetReference(std::shared_ptr<const ChartReference> reference,
                               const QString& path) {
    reference_ = std::move(reference);
    QString name = QFileInfo(path).fileName();
    if (!reference_) {
        const bool builtIn = Chart() == ChartKind::ColorChecker24;
        if (builtIn) {
            reference_ = std::shared_ptr<const ChartReference>(&BuiltInColorChecker(),
                                                               [](const ChartReference*) {});
        }
        name = builtIn ? kBuiltInName : kNoReference;
    }
    ShowSpoken(referenceName_, kReferenceName, name);
    referenceName_->setToolTip(path);
}

void ChartDialog::BrowseReference() {
    const std::optional<QString> picked = context_.ask->AskFileName(
        {FileDialogRequest::Mode::Open,
         QStringLiteral("CGATS 基準ファイル (*.txt *.it8 *.cie *.cgats)|*.txt;*.it8;*.cie;*.cgats|"
                        "All Files (*.*)|*.*||"),
         QStringLiteral("txt"), false, QStringLiteral("chartReference")});
    if (!picked) {
        return;
    }
    Outcome<ChartReference> read = ReadReferenceFile(PathFromUser(*picked));
    if (!read) {
        context_.ask->ShowMessage(kCannotReadReference, MessageButtons::Ok, MessageIcon::Default,
                                  ReasonLine(PathFromUser(*picked), read.Why()));
        return;
    }
    context_.settings->SetValue(ChartKey(Chart()), *picked);
    SetReference(std::make_shared<const ChartReference>(std::move(*read)), *picked);
    cornersByHand_ ? Recalculate() : FindCorners();
}

void ChartDialog::UseBuiltIn() {
    context_.settings->Remove(ChartKey(Chart()));
    SetReference(nullptr, {});
    cornersByHand_ ? Recalculate() : FindCorners();
}

// The corners of the chart found in the scan, or the first place of old
// when none is, with a note that says so.
void ChartDialog::FindCorners() {
    const WaitCursor wait;
    const FindOutcome found = FindChart(*context_.scan, Chart(), reference_.get());
    if (const auto* corners = std::get_if<ChartCorners>(&found)) {
        corners_ = *corners;
        ShowSpoken(findNote_, kFindName, {});
    } else {
        corners_ = InitialCorners(LayoutOf(Chart()), context_.scan->width, context_.scan->height,
                                  kCornerInset);
        ShowSpoken(findNote_, kFindName,
                   ChartNotFoundText(Chart(), std::get<ChartNotFound>(found)));
    }
    findNote_->setVisible(!findNote_->text().isEmpty());
    cornersByHand_ = false;
    view_->SetCorners(corners_);
    Recalculate();
}

void ChartDialog::CornersMoved(const ChartCorners& corners) {
    corners_ = corners;
    cornersByHand_ = true;
    Recalculate();
}

// The boxes follow the corners at once; their colours, the table and the
// summary follow the calibration when it comes.
void ChartDialog::Recalculate() {
    ShowSpoken(cornersText_, kCornersName, ChartCornersText(corners_));
    ShowMarks();
    if (!reference_) {
        ShowProblem(QStringLiteral("基準ファイルを選んでください。"));
        return;
    }
    const ChartLayout& layout = LayoutOf(Chart());
    runner_->Request(
        {context_.scan, Chart(), reference_, corners_,
         "Tamrel: " + context_.imageName.toStdString() + " (" + std::string(layout.title) + ")"});
}

void ChartDialog::ShowOutcome(const CalibrationJob& job, const CalibrationOutcome& outcome) {
    if (job.chart != Chart() || job.reference != reference_) {
        return; // the chart or its reference changed meanwhile
    }
    if (const auto* problem = std::get_if<CalibrationProblem>(&outcome)) {
        ShowProblem(ChartProblemText(*problem, job.chart));
        return;
    }
    ShowResult(std::get<Calibration>(outcome));
}

void ChartDialog::ShowResult(const Calibration& result) {
    result_ = result;
    table_->Show(result);
    ShowSpoken(summary_, kSummaryName, ChartSummaryText(result));
    apply_->setEnabled(true);
    save_->setEnabled(true);
    ShowMarks();
}

// A calibration that cannot be right leaves nothing to apply or save.
void ChartDialog::ShowProblem(const QString& text) {
    result_.reset();
    table_->Clear();
    ShowSpoken(summary_, kSummaryName, text);
    apply_->setEnabled(false);
    save_->setEnabled(false);
    ShowMarks();
}

// The boxes where the corners are now, each in the colour of the latest result.
void ChartDialog::ShowMarks() {
    const ChartLayout& layout = LayoutOf(Chart());
    const auto outlines = PatchOutlines(layout, corners_);
    std::vector<MarkedPatch> marks;
    if (outlines) {
        const bool measured = result_ && result_->patches.size() == outlines->size();
        for (std::size_t i = 0; i < outlines->size(); ++i) {
            marks.push_back({(*outlines)[i], layout.patches[i].id,
                             measured ? MarkOf(result_->patches[i].deltaE) : PatchMark::Plain});
        }
    }
    view_->SetMarks(marks);
}

void ChartDialog::Apply() {
    if (result_ && context_.apply) {
        context_.apply(result_->positions);
    }
}

void ChartDialog::SaveProfile() {
    if (!result_) {
        return;
    }
    const std::optional<QString> picked = context_.ask->AskFileName(
        {FileDialogRequest::Mode::Save, QStringLiteral("ICC プロファイル (*.icc)|*.icc||"),
         QStringLiteral("icc"), true, QStringLiteral("profile")});
    if (!picked) {
        return;
    }
    const std::filesystem::path path = PathFromUser(*picked);
    const std::span<const std::uint8_t> bytes = result_->profile;
    const WriteOutcome written = WriteFileAtomically(path, std::span(&bytes, 1));
    if (written != WriteResult::Ok) {
        context_.ask->ShowMessage(kCannotSave, MessageButtons::Ok, MessageIcon::Default,
                                  ReasonLine(path, written.Why));
        return;
    }
    if (!context_.device.isEmpty() &&
        context_.ask->ShowMessage(kUseForDevice.arg(context_.device), MessageButtons::YesNo,
                                  MessageIcon::Question, kUseForDeviceDetails) == Answer::Yes) {
        context_.memory->KeepProfile(context_.device, *picked);
    }
}
