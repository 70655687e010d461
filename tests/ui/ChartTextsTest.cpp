// The chart dialog's summary below its figures: the held-out line, its
// warning only where the held-out mean is more than twice the self-fit
// mean, and the guidelines' levels only where the scan through what was
// fitted could be measured.
#include "ui/ChartTexts.h"

#include <gtest/gtest.h>

namespace chart_texts_test {

namespace {

struct SummaryCase {
    const char* name;
    double heldOutMean;
    bool delivered;
    bool warned;
};

const SummaryCase kCases[] = {
    {"HeldOutClose", 0.9, true, false},
    {"HeldOutJustAtTwice", 1.0, true, false},
    {"HeldOutAboveTwice", 1.1, true, true},
    {"NoScanThroughTheFit", 0.6, false, false},
};

class SummaryLines : public testing::TestWithParam<SummaryCase> {};

TEST_P(SummaryLines, WarnAndJudgeOnlyWhereTheyShould) {
    const SummaryCase& c = GetParam();
    Calibration calibration;
    calibration.summary = {0.5, 0.8, 1.2};
    calibration.heldOut = {c.heldOutMean, 1.5, 2.25};
    if (c.delivered) {
        calibration.delivered = ChartFigures{}; // every figure 0: every top level passed
    }
    const QString text = ChartSummaryText(calibration);
    EXPECT_NE(text.indexOf(QStringLiteral("\n交差検証（5 分割）の ΔE2000: 平均 %1、最大 2.25")
                               .arg(c.heldOutMean, 0, 'f', 2)),
              -1)
        << text.toStdString();
    EXPECT_EQ(text.contains(QStringLiteral("\n注意: 交差検証の平均が当てはめた平均の 2 倍")),
              c.warned);
    EXPECT_EQ(text.contains(QStringLiteral("\n合格した最高レベル: FADGI 2023 4 stars、ISO 19264-1 "
                                           "A、Metamorfoze Full")),
              c.delivered)
        << text.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Calibrations, SummaryLines, testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace

} // namespace chart_texts_test
