// What the dialog shows of a calibration: the boxes in the colours of their
// CIEDE2000 (green below 1, yellow below 3, red above; white while nothing
// is measured), the table of patches, sortable on every column by value,
// and the summary in Japanese, or the one problem that stopped it.
#include "measure/ChartPicture.h"
#include "ui/CalibrationRunner.h"
#include "ui/ChartDialog.h"
#include "ui/ChartView.h"

#include <QLabel>
#include <QPushButton>
#include <QTableWidget>

namespace {

constexpr int kDecimals = 2;
const QString kChannelNames[] = {QStringLiteral("赤"), QStringLiteral("緑"), QStringLiteral("青")};

// A cell that sorts by its number, not by its text.
class NumberItem : public QTableWidgetItem {
public:
    explicit NumberItem(double value)
        : QTableWidgetItem(QString::number(value, 'f', kDecimals)), value_(value) {
        setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    }
    bool operator<(const QTableWidgetItem& other) const override {
        const auto* number = dynamic_cast<const NumberItem*>(&other);
        return number ? value_ < number->value_ : QTableWidgetItem::operator<(other);
    }

private:
    double value_;
};

QString Fixed(double value) {
    return QString::number(value, 'f', kDecimals);
}

QString ProblemText(const CalibrationProblem& p) {
    const QString patch = QString::fromStdString(p.patch);
    switch (p.fault) {
    case CalibrationFault::Degenerate:
        return QStringLiteral("四隅が凸の四角形になっていません。");
    case CalibrationFault::OutsideScan:
        return QStringLiteral(
                   "%1 の読み取り枠が画像の外にはみ出しています。四隅を確かめてください。")
            .arg(patch);
    case CalibrationFault::NoPixels:
        return QStringLiteral("チャートが小さすぎます（%1 の読み取り枠に画素がありません）。")
            .arg(patch);
    case CalibrationFault::MissingPatch:
        return QStringLiteral("基準ファイルにパッチ %1 がありません。").arg(patch);
    case CalibrationFault::GreyClipped:
        return QStringLiteral("%1 が最大レベルで飽和しています。露出か White を下げてスキャンして"
                              "ください。")
            .arg(patch);
    case CalibrationFault::GreysOutOfOrder:
        return QStringLiteral("%1 が %2 より明るくなっています。チャートのリニアスキャン（ガンマ "
                              "1.0）ですか?")
            .arg(patch, QString::fromStdString(p.other));
    case CalibrationFault::ProfileFailed:
        break;
    }
    return QStringLiteral("プロファイルを作れません（%1）。").arg(QString::fromStdString(p.detail));
}

QString SummaryText(const Calibration& c) {
    QString text =
        QStringLiteral("ΔE2000（%1 パッチ）: 平均 %2、90%: %3、最大 %4\n")
            .arg(c.patches.size())
            .arg(Fixed(c.summary.mean), Fixed(c.summary.percentile90), Fixed(c.summary.largest));
    text += QStringLiteral("グレーの曲線からのずれ（出力レベル、平均 / 最大）:\n");
    for (std::size_t ch = 0; ch < kChannelCount; ++ch) {
        const ToneFit& f = c.fits[ch];
        text += QStringLiteral("  %1: 校正前 %2 / %3 → 校正後 %4 / %5\n")
                    .arg(kChannelNames[ch], Fixed(f.before.mean), Fixed(f.before.largest),
                         Fixed(f.after.mean), Fixed(f.after.largest));
    }
    text += QStringLiteral("Black / White / Alpha / Gamma:");
    for (std::size_t ch = 0; ch < kChannelCount; ++ch) {
        text += QStringLiteral("\n  %1:").arg(kChannelNames[ch]);
        for (const Param p : kAllParams) {
            text += QString::fromStdString(FormatValue(p, PositionToValue(p, c.positions[ch][p])));
        }
    }
    return text + AssessmentLines(c);
}

void FillTable(QTableWidget* table, const Calibration& c) {
    table->setUpdatesEnabled(false);
    table->setSortingEnabled(false);
    table->setRowCount(int(c.patches.size()));
    for (int row = 0; row < table->rowCount(); ++row) {
        const PatchResult& p = c.patches[std::size_t(row)];
        table->setItem(row, 0, new QTableWidgetItem(QString::fromStdString(p.id)));
        const double values[] = {p.reference.L, p.reference.a, p.reference.b, p.profiled.L,
                                 p.profiled.a,  p.profiled.b,  p.deltaE};
        for (int column = 0; column < int(std::size(values)); ++column) {
            auto* item = new NumberItem(values[column]);
            if (column + 1 == int(std::size(values))) {
                const auto [r, g, b] = MarkColour(MarkOf(p.deltaE));
                item->setBackground(QColor(r, g, b));
            }
            table->setItem(row, column + 1, item);
        }
    }
    table->setSortingEnabled(true);
    table->setUpdatesEnabled(true);
}

} // namespace

void ChartDialog::ShowOutcome(const CalibrationJob& job, const CalibrationOutcome& outcome) {
    if (job.chart != Chart() || job.reference != reference_) {
        return; // the chart or its reference changed meanwhile
    }
    if (const auto* problem = std::get_if<CalibrationProblem>(&outcome)) {
        ShowProblem(ProblemText(*problem));
        return;
    }
    ShowResult(std::get<Calibration>(outcome));
}

void ChartDialog::ShowResult(const Calibration& result) {
    result_ = result;
    FillTable(table_, result);
    summary_->setText(SummaryText(result));
    apply_->setEnabled(true);
    save_->setEnabled(true);
    ShowMarks();
}

void ChartDialog::ShowProblem(const QString& text) {
    result_.reset();
    table_->setRowCount(0);
    summary_->setText(text);
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
