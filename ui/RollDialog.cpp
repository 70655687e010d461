// The dialog keeps no frames of its own: the session holds the strips and
// the fit, and every edit goes to it and comes back through ShowFrames,
// which renumbers the list as the roll's files will be named.
#include "ui/RollDialog.h"

#include "image/formats/FormatNames.h"
#include "measure/StripPicture.h"
#include "platform/AskUser.h"
#include "platform/WaitCursor.h"
#include "ui/FileFilters.h"
#include "ui/ReasonText.h"
#include "ui/RollExport.h"
#include "ui/StripView.h"
#include "ui/UserPath.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QTimer>

namespace fs = std::filesystem;

namespace {

const QString kRollTitle = QStringLiteral("ロール");
const QString kCannotRead = QStringLiteral("ストリップを読み込めません。");
const QString kNoFrameOn = QStringLiteral("コマが見つかりません: %1");
const QString kSummary = QStringLiteral("ストリップ %1 本、コマ %2");
const QString kNothingToWrite = QStringLiteral("書き出すコマがありません。");
const QString kWritten = QStringLiteral("%1 コマを書き出しました。");
const QString kStopped = QStringLiteral("中止しました。書き終えた %1 コマは残っています。");
const QString kNotWritten = QStringLiteral("書き出せなかったファイルがあります。");
constexpr int kListWidth = 260;
constexpr int kStartWidth = 1000;
constexpr int kStartHeight = 560;
constexpr double kScreenShare = 0.9; // of the screen, at most
constexpr qsizetype kMostProblemLines = 5;
// After the file dialog has given the activation back to the window.
constexpr int kActivateAfterMs = 100;

QImage PictureOf(const RollStrip& strip) {
    const SampleImage picture = StripPicture(strip.map);
    QImage shown(picture.layout.width, picture.layout.height, QImage::Format_RGB888);
    for (int y = 0; y < shown.height(); ++y) {
        const auto row = picture.Row(y);
        std::copy(row.begin(), row.end(), shown.scanLine(y));
    }
    return shown;
}

QString RectText(const PixelRect& r) {
    return QStringLiteral("%1,%2,%3,%4").arg(r.left).arg(r.top).arg(r.width).arg(r.height);
}

// The formats a frame's positive may take: those with a name for colour.
void FillFormats(QComboBox& box) {
    for (const FormatEntry& entry : AllFormats()) {
        const std::string sample = "frame" + std::string(entry.Names.front().Extension);
        if (entry.Write != nullptr && FormatOfName(sample, NameUse::ColourOnly)) {
            box.addItem(QString::fromUtf8(entry.Label.data(), qsizetype(entry.Label.size())),
                        int(entry.Format));
        }
    }
}

} // namespace

RollDialog* RollDialog::Open(QWidget* window, AskUser& ask, FilmMode mode, Host host) {
    QStringList picked;
    FileDialogRequest request;
    request.filter = OpenImageFilter();
    request.folderKey = QStringLiteral("roll");
    request.allChosen = &picked;
    if (!ask.AskFileName(request)) {
        return nullptr;
    }
    std::vector<fs::path> scans;
    for (const QString& name : picked) {
        scans.push_back(PathFromUser(name));
    }
    auto* dialog = new RollDialog(window, ask, mode, std::move(host));
    if (!dialog->Read(scans)) {
        delete dialog;
        return nullptr;
    }
    dialog->show();
    // Once the file dialog has given the focus back to the window.
    QTimer::singleShot(kActivateAfterMs, dialog, [dialog] {
        dialog->raise();
        dialog->activateWindow();
    });
    return dialog;
}

RollDialog::RollDialog(QWidget* parent, AskUser& ask, FilmMode mode, Host host)
    : QDialog(parent), ask_(ask), host_(std::move(host)),
      session_(mode == FilmMode::BlackAndWhite ? mode : FilmMode::ColourNegative) {
    setObjectName(QStringLiteral("rollDialog"));
    setWindowTitle(kRollTitle);
    setAccessibleName(kRollTitle);
    setAttribute(Qt::WA_DeleteOnClose);
    BuildControls();
    QSize size(kStartWidth, kStartHeight);
    if (const QScreen* shown = screen()) {
        size = size.boundedTo(shown->availableGeometry().size() * kScreenShare);
    }
    resize(size);
}

void RollDialog::BuildControls() {
    auto* area = new QScrollArea(this);
    auto* stripsBox = new QWidget(area);
    strips_ = new QVBoxLayout(stripsBox);
    area->setWidget(stripsBox);
    area->setWidgetResizable(true);
    list_ = new QListWidget(this);
    list_->setObjectName(QStringLiteral("rollFrames"));
    list_->setAccessibleName(QStringLiteral("コマ"));
    list_->setFixedWidth(kListWidth);
    connect(list_, &QListWidget::currentRowChanged, this, &RollDialog::OnFrameChosen);
    auto* side = new QVBoxLayout;
    side->addWidget(list_, 1);
    side->addWidget(BuildCommands());
    auto* top = new QHBoxLayout(this);
    top->addWidget(area, 1);
    top->addLayout(side);
}

QWidget* RollDialog::BuildCommands() {
    auto* box = new QWidget(this);
    auto* column = new QVBoxLayout(box);
    column->setContentsMargins(0, 0, 0, 0);
    summary_ = new QLabel(box);
    summary_->setObjectName(QStringLiteral("rollSummary"));
    summary_->setWordWrap(true);
    auto* remove = new QPushButton(QStringLiteral("削除(&D)"), box);
    remove->setObjectName(QStringLiteral("rollRemove"));
    connect(remove, &QPushButton::clicked, this, &RollDialog::OnRemove);
    format_ = new QComboBox(box);
    format_->setObjectName(QStringLiteral("rollFormat"));
    format_->setAccessibleName(QStringLiteral("形式"));
    FillFormats(*format_);
    format_->setCurrentIndex(format_->findData(int(ImageFormat::Tiff))); // as the tool's
    auto* write = new QPushButton(QStringLiteral("書き出し(&E)..."), box);
    write->setObjectName(QStringLiteral("rollExport"));
    connect(write, &QPushButton::clicked, this, &RollDialog::OnExport);
    auto* close = new QPushButton(QStringLiteral("閉じる"), box);
    close->setObjectName(QStringLiteral("rollClose"));
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    for (QWidget* control : {static_cast<QWidget*>(summary_), static_cast<QWidget*>(remove),
                             static_cast<QWidget*>(format_), static_cast<QWidget*>(write),
                             static_cast<QWidget*>(close)}) {
        column->addWidget(control);
    }
    return box;
}

bool RollDialog::Read(const std::vector<fs::path>& scans) {
    std::vector<std::pair<fs::path, Reason>> unread;
    {
        const WaitCursor wait;
        unread = session_.Open(scans);
    }
    for (const auto& [scan, why] : unread) {
        ask_.ShowMessage(kCannotRead, MessageButtons::Ok, MessageIcon::Default,
                         ReasonLine(scan, why));
    }
    if (session_.Strips().empty()) {
        return false;
    }
    AddStripViews();
    ShowFrames();
    list_->setFocus();
    list_->setCurrentRow(0); // the roll's first frame in the window at once
    return true;
}

void RollDialog::AddStripViews() {
    for (std::size_t s = 0; s < session_.Strips().size(); ++s) {
        const RollStrip& strip = session_.Strips()[s];
        auto* name = new QLabel(PathToUser(strip.scan.filename()), this);
        auto* view = new StripView(this);
        view->setObjectName(QStringLiteral("stripView%1").arg(s + 1));
        view->SetStrip(PictureOf(strip), strip.width, strip.height);
        view->FramesEdited = [this, s, view] {
            session_.SetFrames(s, view->Frames());
            ShowFrames();
        };
        view->FrameClicked = [this, s](std::size_t frame) {
            std::size_t row = frame;
            for (std::size_t before = 0; before < s; ++before) {
                row += session_.Strips()[before].frames.frames.size();
            }
            list_->setCurrentRow(int(row));
        };
        strips_->addWidget(name);
        strips_->addWidget(view, 1);
        views_.push_back(view);
    }
}

void RollDialog::ShowFrames() {
    const std::vector<RollFrame> frames = session_.Frames();
    const int kept = list_->currentRow();
    showing_ = true;
    list_->clear();
    for (const RollFrame& frame : frames) {
        list_->addItem(QStringLiteral("%1  %2  %3")
                           .arg(QString::fromStdString(frame.number),
                                PathToUser(session_.Strips()[frame.strip].scan.filename()),
                                RectText(frame.rect)));
    }
    QStringList summary{kSummary.arg(session_.Strips().size()).arg(frames.size())};
    for (std::size_t s = 0; s < views_.size(); ++s) {
        const RollStrip& strip = session_.Strips()[s];
        views_[s]->SetFrames(strip.frames.frames);
        views_[s]->Choose(std::nullopt);
        if (strip.frames.frames.empty()) {
            summary << kNoFrameOn.arg(PathToUser(strip.scan.filename()));
        }
    }
    summary_->setText(summary.join(QLatin1Char('\n')));
    showing_ = false;
    if (kept >= 0 && kept < list_->count()) {
        list_->setCurrentRow(kept); // shown anew: the frame was measured again
    }
}

void RollDialog::OnFrameChosen(int row) {
    if (showing_ || row < 0) {
        return;
    }
    const auto [strip, index] = session_.Place(std::size_t(row));
    for (std::size_t s = 0; s < views_.size(); ++s) {
        views_[s]->Choose(s == strip ? std::optional(index) : std::nullopt);
    }
    const RollFrame frame = session_.Frames()[std::size_t(row)];
    host_.showFrame(session_.Strips()[strip].scan, frame.rect, frame.film);
}

void RollDialog::OnRemove() {
    const int row = list_->currentRow();
    if (row < 0) {
        return;
    }
    const auto [strip, index] = session_.Place(std::size_t(row));
    std::vector<PixelRect> frames = session_.Strips()[strip].frames.frames;
    frames.erase(frames.begin() + std::ptrdiff_t(index));
    session_.SetFrames(strip, std::move(frames));
    list_->setCurrentRow(-1);
    ShowFrames();
}

void RollDialog::OnExport() {
    const std::vector<RollFrame> frames = session_.Frames();
    if (frames.empty()) {
        ask_.ShowMessage(kNothingToWrite, MessageButtons::Ok, MessageIcon::Information);
        return;
    }
    FileDialogRequest request;
    request.mode = FileDialogRequest::Mode::Folder;
    request.folderKey = QStringLiteral("rollOutput");
    const std::optional<QString> picked = ask_.AskFileName(request);
    if (!picked) {
        return;
    }
    const RollTarget target{PathFromUser(*picked),
                            session_.Scans(),
                            host_.positions(),
                            ImageFormat(format_->currentData().toInt()),
                            {}};
    SayExported(target.folder, frames.size(),
                ExportRollShown(this, target, session_.Fit()->roll, frames));
}

// The positives written are the frames less those a problem names.
void RollDialog::SayExported(const fs::path& folder, std::size_t frames,
                             const std::vector<RollProblem>& problems) {
    std::size_t failed = 0;
    bool stopped = false;
    QStringList lines;
    for (const RollProblem& problem : problems) {
        const bool positive = !problem.strip.empty() && !problem.output.empty();
        failed += positive ? 1 : 0;
        if (problem.why.Code == ReasonCode::Cancelled) {
            stopped = true;
        } else if (lines.size() < kMostProblemLines) {
            lines << ReasonLine(problem.output.empty() ? problem.strip : problem.output,
                                problem.replacesStrip ? Reason(ReasonCode::CannotCreate)
                                                      : problem.why);
        }
    }
    const QString written = (stopped ? kStopped : kWritten).arg(frames - failed);
    if (!lines.isEmpty()) {
        ask_.ShowMessage(kNotWritten + QLatin1Char(' ') + written, MessageButtons::Ok,
                         MessageIcon::Default, lines.join(QLatin1Char('\n')));
        return;
    }
    ask_.ShowMessage(written, MessageButtons::Ok, MessageIcon::Information, PathToUser(folder));
}
