// The figures carry two decimals, the corners one, as the tool prints them.
#include "ui/ChartTexts.h"

#include "curve/ChannelParams.h"
#include "measure/HeldOut.h"
#include "measure/Plausibility.h"
#include "measure/Verdict.h"

#include <QStringList>

namespace {

constexpr int kFigureDecimals = 2;
constexpr int kCornerDecimals = 1;
const QString kChannelWords[] = {QStringLiteral("赤"), QStringLiteral("緑"), QStringLiteral("青")};

QString Figure(double value, int decimals = kFigureDecimals) {
    return QString::number(value, 'f', decimals);
}

QString Utf8(std::string_view text) {
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

QString CornerProblem(const CalibrationProblem& p) {
    const QString patch = QString::fromStdString(p.patch);
    if (p.fault == CalibrationFault::OutsideScan) {
        return QStringLiteral(
                   "%1 の読み取り枠が画像の外にはみ出しています。四隅を確かめてください。")
            .arg(patch);
    }
    if (p.fault == CalibrationFault::NoPixels) {
        return QStringLiteral("チャートが小さすぎます（%1 の読み取り枠に画素がありません）。")
            .arg(patch);
    }
    return QStringLiteral("四隅が凸の四角形になっていません。");
}

QString GreyProblem(const CalibrationProblem& p, const ChartLayout& layout) {
    const QString patch = QString::fromStdString(p.patch);
    const QString other = QString::fromStdString(p.other);
    switch (p.fault) {
    case CalibrationFault::GreyClipped:
        return QStringLiteral("%1 が最大レベルで飽和しています。露出か White を下げてスキャンして"
                              "ください。")
            .arg(patch);
    case CalibrationFault::GreysFlat:
        return QStringLiteral("グレーのパッチ %1〜%2 に明るさの差がありません（明度の幅 %3）。"
                              "四隅の位置にチャートがありますか? 真っ黒なスキャンではありませんか?")
            .arg(Utf8(layout.patches[layout.greys.front()].id),
                 Utf8(layout.patches[layout.greys.back()].id), Figure(p.figure, 1));
    case CalibrationFault::GreysAlike:
        return QStringLiteral("%1 が %2 と同じ明るさです。シャドウがつぶれていませんか? "
                              "露出を上げてスキャンしてください。")
            .arg(patch, other);
    default:
        break;
    }
    return QStringLiteral("%1 が %2 より明るくなっています。チャートのリニアスキャン（ガンマ "
                          "1.0）ですか?")
        .arg(patch, other);
}

// The held-out figures, their warning when they run far above the self-fit,
// and each guideline's highest level passed by the scan through what was
// fitted (none where that scan could not be made).
QString HeldOutAndVerdictLines(const Calibration& c) {
    QString text = QStringLiteral("\n交差検証（%1 分割）の ΔE2000: 平均 %2、最大 %3")
                       .arg(kFolds)
                       .arg(Figure(c.heldOut.mean), Figure(c.heldOut.largest));
    if (HeldOutFarAbove(c)) {
        text += QStringLiteral("\n注意: 交差検証の平均が当てはめた平均の %1 倍を超えています。"
                               "チャートにない色では誤差がもっと大きくなります。")
                    .arg(kHeldOutWarning);
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

} // namespace

QString ChartProblemText(const CalibrationProblem& p, ChartKind chart) {
    const ChartLayout& layout = LayoutOf(chart);
    switch (p.fault) {
    case CalibrationFault::Degenerate:
    case CalibrationFault::OutsideScan:
    case CalibrationFault::NoPixels:
        return CornerProblem(p);
    case CalibrationFault::MissingPatch:
        return QStringLiteral("基準ファイルにパッチ %1 がありません。")
            .arg(QString::fromStdString(p.patch));
    case CalibrationFault::PatchesMixed:
        return QStringLiteral("%1 / %2 個の読み取り枠が一様ではありません（最初は %3）。"
                              "四隅がパッチの格子の角にありません。")
            .arg(p.count)
            .arg(layout.patches.size())
            .arg(QString::fromStdString(p.patch));
    case CalibrationFault::FitImplausible:
        return QStringLiteral("基準値とスキャンが合いません（ΔE2000 の平均 %1。本物のチャートと"
                              "その基準値なら %2 以下です）。%3 の基準ファイルですか?")
            .arg(Figure(p.figure, 1), Figure(kImplausibleMean, 0), Utf8(layout.title));
    case CalibrationFault::ProfileFailed:
        return QStringLiteral("プロファイルを作れません（%1）。")
            .arg(QString::fromStdString(p.detail));
    default:
        break;
    }
    return GreyProblem(p, layout);
}

QString ChartSummaryText(const Calibration& c) {
    QString text =
        QStringLiteral("ΔE2000（%1 パッチ）: 平均 %2、90%: %3、最大 %4\n")
            .arg(c.patches.size())
            .arg(Figure(c.summary.mean), Figure(c.summary.percentile90), Figure(c.summary.largest));
    text += QStringLiteral("グレーの曲線からのずれ（出力レベル、平均 / 最大）:\n");
    for (std::size_t ch = 0; ch < kChannelCount; ++ch) {
        const ToneFit& f = c.fits[ch];
        text += QStringLiteral("  %1: 校正前 %2 / %3 → 校正後 %4 / %5\n")
                    .arg(kChannelWords[ch], Figure(f.before.mean), Figure(f.before.largest),
                         Figure(f.after.mean), Figure(f.after.largest));
    }
    text += QStringLiteral("Black / White / Alpha / Gamma:");
    for (std::size_t ch = 0; ch < kChannelCount; ++ch) {
        text += QStringLiteral("\n  %1:").arg(kChannelWords[ch]);
        for (const Param p : kAllParams) {
            text += QString::fromStdString(FormatValue(p, PositionToValue(p, c.positions[ch][p])));
        }
    }
    return text + HeldOutAndVerdictLines(c);
}

QString ChartNotFoundText(ChartKind chart, const ChartNotFound& found) {
    const ChartLayout& layout = LayoutOf(chart);
    QString text = QStringLiteral("%1 が見つかりません（%2 × %3 のパッチの格子を探しました）。")
                       .arg(Utf8(layout.title))
                       .arg(layout.columns)
                       .arg(layout.rows);
    if (found.columns > 0) {
        text +=
            QStringLiteral("見つかったのは %1 × %2 の格子です。チャートの種類を確かめてください。")
                .arg(found.columns)
                .arg(found.rows);
    }
    return text + QStringLiteral("四隅のハンドルをパッチの格子の角へドラッグしてください。");
}

QString ChartCornersText(const ChartCorners& corners) {
    QStringList numbers;
    for (const ImagePoint& p : corners) {
        numbers << Figure(p.x, kCornerDecimals) << Figure(p.y, kCornerDecimals);
    }
    return QStringLiteral("四隅: ") + numbers.join(QLatin1Char(','));
}
