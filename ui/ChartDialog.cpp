// The dialog's parts and what the user does with them. Each corner move
// redraws the sampled boxes at once and asks the runner for a calibration
// of the new place; the result colours the boxes, fills the table and the
// summary (ChartResults.cpp). The reference file of each chart is kept in
// the settings; the ColorChecker without one uses its published values.
#include "ui/ChartDialog.h"

#include "io/AtomicWrite.h"
#include "measure/HeldOut.h"
#include "measure/Verdict.h"
#include "platform/AskUser.h"
#include "platform/SettingsStore.h"
#include "ui/CalibrationRunner.h"
#include "ui/ChartView.h"
#include "ui/ReasonText.h"
#include "ui/ScanMemory.h"
#include "ui/UserPath.h"

#include <QComboBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

constexpr double kCornerInset = 0.08; // of the image's size, on each side at first
constexpr int kStartWidth = 1100;     // pixels: room for the picture beside the table
constexpr int kStartHeight = 680;
constexpr double kScreenShare = 0.9; // of the screen the dialog takes at most
constexpr int kRowPadding = 4;       // pixels of a table row beyond its text
constexpr int kCellPadding = 12;     // and of a column
constexpr int kSortArrowRoom = 16;   // the header's sort indicator
const QString kReferenceKey = QStringLiteral("chart/reference/");
const QString kBuiltInName = QStringLiteral("内蔵の値（2014年11月以降のチャート）");
const QString kNoReference = QStringLiteral("（なし）");
const QString kCannotReadReference = QStringLiteral("基準ファイルを読めません。");
const QString kCannotSave = QStringLiteral("ファイルを保存できません。");
const QString kUseForDevice = QStringLiteral("このプロファイルを %1 のスキャンに使いますか?");
const QString kUseForDeviceDetails =
    QStringLiteral("スキャナから取り込んだ画像とテーブルでスキャンした画像に埋め込まれます。");

QPushButton* Button(QWidget* parent, const char* name, const QString& text) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QLatin1String(name));
    button->setAccessibleName(QString(text).remove(QStringLiteral("...")));
    return button;
}

QString ChartKey(ChartKind kind) {
    return kReferenceKey +
           QString::fromUtf8(LayoutOf(kind).name.data(), qsizetype(LayoutOf(kind).name.size()));
}

// Every column as wide as its title or the widest number it can hold, so
// the table reads without scrolling sideways and keeps its width whatever
// the chart (the dialog's layout stays put while results come and go).
void SizeColumns(QTableWidget* table) {
    const QFontMetrics metrics = table->fontMetrics();
    const QFontMetrics titles = table->horizontalHeader()->fontMetrics();
    const int numberWidth = metrics.horizontalAdvance(QStringLiteral("-000.00"));
    const int idWidth = metrics.horizontalAdvance(QStringLiteral("GS00"));
    int total = 0;
    for (int column = 0; column < table->columnCount(); ++column) {
        const int title =
            titles.horizontalAdvance(table->horizontalHeaderItem(column)->text()) + kSortArrowRoom;
        const int width = std::max(title, column == 0 ? idWidth : numberWidth) + kCellPadding;
        table->setColumnWidth(column, width);
        total += width;
    }
    table->setMinimumWidth(total + 2 * table->frameWidth() +
                           table->verticalScrollBar()->sizeHint().width());
}

} // namespace

QString AssessmentLines(const Calibration& c) {
    QString text = QStringLiteral("\n交差検証（%1 分割）の ΔE2000: 平均 %2、最大 %3")
                       .arg(kFolds)
                       .arg(c.heldOut.mean, 0, 'f', 2)
                       .arg(c.heldOut.largest, 0, 'f', 2);
    if (HeldOutFarAbove(c)) {
        text += QStringLiteral("\n注意: 交差検証の平均が当てはめた平均の 2 倍を超えています。"
                               "チャートにない色では誤差がもっと大きくなります。");
    }
    if (c.delivered) {
        QStringList levels;
        for (const GuidelineVerdict& v : Judge(*c.delivered, GuidelineLimits())) {
            levels << QString::fromStdString(v.guideline + " " +
                                             v.HighestPassed().value_or("なし"));
        }
        text += QStringLiteral("\n合格した最高レベル: ") + levels.join(QStringLiteral("、"));
    }
    return text;
}

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
    table_ = new QTableWidget(0, 8, this);
    table_->setObjectName(QStringLiteral("chartTable"));
    table_->setAccessibleName(QStringLiteral("パッチの一覧"));
    table_->setHorizontalHeaderLabels({QStringLiteral("パッチ"), QStringLiteral("基準 L*"),
                                       QStringLiteral("a*"), QStringLiteral("b*"),
                                       QStringLiteral("プロファイル L*"), QStringLiteral("a*"),
                                       QStringLiteral("b*"), QStringLiteral("ΔE2000")});
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->verticalHeader()->hide();
    // Sizes are set once, not measured on every change: a result fills
    // hundreds of cells a few times a second while the corners move.
    table_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    table_->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + kRowPadding);
    table_->horizontalHeader()->setSortIndicator(0, Qt::AscendingOrder);
    table_->setSortingEnabled(true);
    SizeColumns(table_);
    side->addWidget(table_, 1);
    summary_ = new QLabel(this);
    summary_->setObjectName(QStringLiteral("chartSummary"));
    summary_->setAccessibleName(QStringLiteral("校正の結果"));
    summary_->setWordWrap(true);
    summary_->setTextInteractionFlags(Qt::TextSelectableByMouse);
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
    for (const ChartKind kind : AllCharts()) {
        const std::string_view title = LayoutOf(kind).title;
        chart_->addItem(QString::fromUtf8(title.data(), qsizetype(title.size())), int(kind));
    }
    chartLabel->setBuddy(chart_);
    referenceName_ = new QLabel(row);
    referenceName_->setObjectName(QStringLiteral("chartReference"));
    referenceName_->setAccessibleName(QStringLiteral("基準ファイル"));
    auto* browse = Button(row, "chartBrowse", QStringLiteral("参照(&R)..."));
    builtIn_ = Button(row, "chartBuiltIn", QStringLiteral("内蔵の値(&B)"));
    layout->addWidget(chartLabel);
    layout->addWidget(chart_);
    layout->addSpacing(chart_->sizeHint().height());
    layout->addWidget(new QLabel(QStringLiteral("基準ファイル:"), row));
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
    apply_ = Button(row, "chartApply", QStringLiteral("適用(&A)"));
    save_ = Button(row, "chartSave", QStringLiteral("保存(&S)..."));
    auto* close = Button(row, "chartClose", QStringLiteral("閉じる"));
    apply_->setToolTip(QStringLiteral("12 のスライダーを校正の値にします（元に戻すで 1 歩）。"));
    save_->setToolTip(QStringLiteral("入力プロファイル（ICC）を保存します。"));
    apply_->setEnabled(false);
    save_->setEnabled(false);
    cornersText_ = new QLabel(row);
    cornersText_->setObjectName(QStringLiteral("chartCorners"));
    cornersText_->setAccessibleName(QStringLiteral("四隅の位置"));
    cornersText_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    cornersText_->setToolTip(QStringLiteral("tamrel-cli calibrate の --corners に使えます。"));
    layout->addWidget(cornersText_);
    layout->addStretch(1);
    layout->addWidget(apply_);
    layout->addWidget(save_);
    layout->addWidget(close);
    connect(apply_, &QPushButton::clicked, this, [this] { Apply(); });
    connect(save_, &QPushButton::clicked, this, [this] { SaveProfile(); });
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    return row;
}

ChartKind ChartDialog::Chart() const {
    return static_cast<ChartKind>(chart_->currentData().toInt());
}

// Another chart: its corners start afresh and its own reference is read.
void ChartDialog::ChooseChart() {
    result_.reset();
    corners_ = InitialCorners(LayoutOf(Chart()), context_.scan->width, context_.scan->height,
                              kCornerInset);
    view_->SetCorners(corners_);
    builtIn_->setEnabled(Chart() == ChartKind::ColorChecker24);
    LoadReference(context_.settings->Value(ChartKey(Chart())).toString());
}

void ChartDialog::LoadReference(const QString& path) {
    reference_.reset();
    if (!path.isEmpty()) {
        Outcome<ChartReference> read = ReadReferenceFile(PathFromUser(path));
        if (read) {
            reference_ = std::make_shared<const ChartReference>(std::move(*read));
            referenceName_->setText(QFileInfo(path).fileName());
            referenceName_->setToolTip(path);
        } else {
            context_.ask->ShowMessage(kCannotReadReference, MessageButtons::Ok,
                                      MessageIcon::Default,
                                      ReasonLine(PathFromUser(path), read.Why()));
        }
    }
    if (!reference_) {
        const bool builtIn = Chart() == ChartKind::ColorChecker24;
        if (builtIn) {
            reference_ = std::shared_ptr<const ChartReference>(&BuiltInColorChecker(),
                                                               [](const ChartReference*) {});
        }
        referenceName_->setText(builtIn ? kBuiltInName : kNoReference);
        referenceName_->setToolTip({});
    }
    Recalculate();
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
    context_.settings->SetValue(ChartKey(Chart()), *picked);
    LoadReference(*picked);
}

void ChartDialog::UseBuiltIn() {
    context_.settings->Remove(ChartKey(Chart()));
    LoadReference({});
}

void ChartDialog::CornersMoved(const ChartCorners& corners) {
    corners_ = corners;
    Recalculate();
}

// In image pixels, as tamrel-cli's --corners takes them.
void ChartDialog::ShowCorners() {
    QStringList numbers;
    for (const ImagePoint& p : corners_) {
        numbers << QString::number(p.x, 'f', 1) << QString::number(p.y, 'f', 1);
    }
    cornersText_->setText(QStringLiteral("四隅: ") + numbers.join(QLatin1Char(',')));
}

// The boxes follow the corners at once; their colours, the table and the
// summary follow the calibration when it comes.
void ChartDialog::Recalculate() {
    ShowCorners();
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
