// The calibration dialog as a user meets it: it opens with the handles on
// the chart found in the scan and 自動検出 puts them back after a move; it
// remembers the chart kind and each kind's reference, and a reference file
// that cannot be read leaves the working one (and is not remembered, or
// is forgotten once said); a
// screen reader hears the summary, the corners and the reference with
// their figures; a calibration that cannot be right shows its cause in
// the summary's place and leaves nothing to apply, save or offer.
#include "ui/ChartDialog.h"
#include "platform/ScriptedAskUser.h"
#include "platform/SettingsStore.h"
#include "tests/measure/SimulatedScanner.h"
#include "ui/ChartView.h"
#include "ui/ScanMemory.h"

#include <QAccessible>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <fstream>

namespace chart_dialog_test {

namespace {

constexpr int kWidth = 320;
constexpr int kHeight = 240;
constexpr double kPitch = 30;
constexpr int kWaitMs = 20000;

// A ColorChecker turned a quarter and a little on a light bed.
const ChartCorners kChecker =
    simscan::Centred(LayoutOf(ChartKind::ColorChecker24), 170, 115, kPitch, 92);

std::shared_ptr<const ChartScan> CheckerScan(bool black = false) {
    simscan::Scanner scanner;
    scanner.noise = 0.3;
    scanner.bed = {90, 0, 0};
    scanner.card = {20, 0, 0};
    auto scan = std::make_shared<ChartScan>(
        simscan::Scan(scanner, LayoutOf(ChartKind::ColorChecker24), BuiltInColorChecker(), kChecker,
                      kWidth, kHeight));
    if (black) {
        std::fill(scan->rgb.begin(), scan->rgb.end(), std::uint16_t{0});
    }
    return scan;
}

class ChartDialogTest : public testing::Test {
protected:
    ChartDialogTest() {
        std::ofstream(Path("it8.txt").toStdString())
            << simscan::Cgats(simscan::It8Patches(false), false);
        std::ofstream(Path("broken.txt").toStdString()) << "CGATS.17\nBEGIN_DATA\nA01 1 2\n";
    }

    std::unique_ptr<ChartDialog> Open(std::shared_ptr<const ChartScan> scan) {
        return std::make_unique<ChartDialog>(nullptr, ChartDialogContext{std::move(scan),
                                                                         QStringLiteral("scan"),
                                                                         &settings,
                                                                         &memory,
                                                                         &ask,
                                                                         QStringLiteral("test:0"),
                                                                         {}});
    }
    QString Path(const char* name) const { return folder.filePath(QLatin1String(name)); }

    template <class Part> static Part* Find(const ChartDialog& dialog, const char* name) {
        return dialog.findChild<Part*>(QLatin1String(name));
    }
    static QString Text(const ChartDialog& dialog, const char* name) {
        return Find<QLabel>(dialog, name)->text();
    }
    // Lets the calibration run until the summary holds `words`.
    static bool AwaitSummary(const ChartDialog& dialog, const QString& words) {
        return QTest::qWaitFor([&] { return Text(dialog, "chartSummary").contains(words); },
                               kWaitMs);
    }
    static QString Spoken(const ChartDialog& dialog, const char* name) {
        QWidget* part = Find<QWidget>(dialog, name);
        return QAccessible::queryAccessibleInterface(part)->text(QAccessible::Name);
    }

    QTemporaryDir folder;
    SettingsStore settings{folder.filePath(QStringLiteral("Tamrel.conf"))};
    ScanMemory memory{settings};
    ScriptedAskUser ask;
};

// Every corner within a quarter of a patch of the chart's.
void ExpectOnTheChart(const ChartCorners& corners) {
    for (std::size_t i = 0; i < corners.size(); ++i) {
        EXPECT_NEAR(corners[i].x, kChecker[i].x, kPitch / 4) << "corner " << i + 1;
        EXPECT_NEAR(corners[i].y, kChecker[i].y, kPitch / 4) << "corner " << i + 1;
    }
}

TEST_F(ChartDialogTest, OpensOnTheFoundChartAndFindsItAgainAfterAMove) {
    const auto dialog = Open(CheckerScan());
    ChartView* view = Find<ChartView>(*dialog, "chartView");
    ExpectOnTheChart(view->Corners());
    ASSERT_TRUE(AwaitSummary(*dialog, QStringLiteral("ΔE2000（24 パッチ）")));
    ChartCorners moved = view->Corners();
    moved[2] = {moved[2].x + kPitch, moved[2].y + kPitch};
    view->SetCorners(moved);
    view->CornersChanged(moved); // as a drag of the third handle reports it
    const QString movedText = Text(*dialog, "chartCorners");
    EXPECT_NE(movedText.indexOf(QString::number(moved[2].x, 'f', 1)), -1)
        << movedText.toStdString();
    Find<QPushButton>(*dialog, "chartFind")->click();
    ExpectOnTheChart(view->Corners());
    EXPECT_NE(Text(*dialog, "chartCorners"), movedText);
    EXPECT_TRUE(Find<QLabel>(*dialog, "chartFindNote")->isHidden());
}

TEST_F(ChartDialogTest, RemembersTheChartKindAndItsReference) {
    {
        const auto dialog = Open(CheckerScan());
        Find<QComboBox>(*dialog, "chartKind")->setCurrentIndex(1); // IT8.7/2
        ask.QueueFileName(Path("it8.txt"));
        Find<QPushButton>(*dialog, "chartBrowse")->click();
        EXPECT_EQ(Text(*dialog, "chartReference"), QStringLiteral("it8.txt"));
    }
    const auto again = Open(CheckerScan());
    EXPECT_EQ(Find<QComboBox>(*again, "chartKind")->currentText(), QStringLiteral("IT8.7/2"));
    EXPECT_EQ(Text(*again, "chartReference"), QStringLiteral("it8.txt"));
    EXPECT_EQ(ask.MessageTexts(), QStringList());
}

TEST_F(ChartDialogTest, AReferenceThatCannotBeReadLeavesTheWorkingOne) {
    {
        const auto dialog = Open(CheckerScan());
        Find<QComboBox>(*dialog, "chartKind")->setCurrentIndex(1);
        ask.QueueFileName(Path("it8.txt"));
        Find<QPushButton>(*dialog, "chartBrowse")->click();
        ask.QueueFileName(Path("broken.txt"));
        Find<QPushButton>(*dialog, "chartBrowse")->click();
        EXPECT_EQ(ask.MessageTexts(), QStringList(QStringLiteral("基準ファイルを読めません。")));
        EXPECT_EQ(Text(*dialog, "chartReference"), QStringLiteral("it8.txt"));
        // The IT8's reference is still at work: its calibration comes, and
        // the summary asks for no reference.
        EXPECT_TRUE(QTest::qWaitFor(
            [&] { return !Text(*dialog, "chartSummary").contains(QStringLiteral("選んで")); },
            kWaitMs));
    }
    ask.Clear();
    const auto again = Open(CheckerScan());
    EXPECT_EQ(Text(*again, "chartReference"), QStringLiteral("it8.txt"));
    EXPECT_EQ(ask.MessageTexts(), QStringList());
}

// A remembered file gone since is said once, then forgotten.
TEST_F(ChartDialogTest, ARememberedReferenceGoneSinceIsSaidOnce) {
    settings.SetValue(QStringLiteral("chart/kind"), QStringLiteral("colorchecker"));
    settings.SetValue(QStringLiteral("chart/reference/colorchecker"), Path("gone.txt"));
    Open(CheckerScan()).reset();
    EXPECT_EQ(ask.MessageTexts(), QStringList(QStringLiteral("基準ファイルを読めません。")));
    ask.Clear();
    const auto again = Open(CheckerScan());
    EXPECT_EQ(ask.MessageTexts(), QStringList());
    EXPECT_NE(Text(*again, "chartReference").indexOf(QStringLiteral("内蔵の値")), -1);
}

TEST_F(ChartDialogTest, TheSummaryTheCornersAndTheReferenceAreSpokenWithTheirFigures) {
    const auto dialog = Open(CheckerScan());
    ASSERT_TRUE(AwaitSummary(*dialog, QStringLiteral("平均")));
    const QString summary = Text(*dialog, "chartSummary");
    const QString mean = summary.section(QStringLiteral("平均 "), 1).section(QChar(u'、'), 0, 0);
    EXPECT_TRUE(Spoken(*dialog, "chartSummary").startsWith(QStringLiteral("校正の結果：")));
    EXPECT_NE(Spoken(*dialog, "chartSummary").indexOf(QStringLiteral("平均 ") + mean), -1);
    // The held-out figures and the guidelines' levels are heard with the rest.
    EXPECT_NE(Spoken(*dialog, "chartSummary")
                  .indexOf(QStringLiteral("交差検証（5 分割）の ΔE2000: 平均 ")),
              -1);
    EXPECT_NE(
        Spoken(*dialog, "chartSummary").indexOf(QStringLiteral("合格した最高レベル: FADGI 2023 ")),
        -1)
        << Spoken(*dialog, "chartSummary").toStdString();
    const ChartCorners corners = Find<ChartView>(*dialog, "chartView")->Corners();
    EXPECT_NE(Spoken(*dialog, "chartCorners").indexOf(QString::number(corners[3].y, 'f', 1)), -1)
        << Spoken(*dialog, "chartCorners").toStdString();
    EXPECT_NE(Spoken(*dialog, "chartReference").indexOf(QStringLiteral("内蔵の値")), -1);
}

// A black scan: no chart is found, and at the corners put in its place the
// greys do not differ.
TEST_F(ChartDialogTest, ACalibrationThatCannotBeRightIsShownAndOffersNothing) {
    const auto dialog = Open(CheckerScan(true));
    EXPECT_NE(Text(*dialog, "chartFindNote").indexOf(QStringLiteral("見つかりません")), -1);
    ASSERT_TRUE(AwaitSummary(*dialog, QStringLiteral("明るさの差がありません")))
        << Text(*dialog, "chartSummary").toStdString();
    EXPECT_FALSE(Find<QPushButton>(*dialog, "chartApply")->isEnabled());
    EXPECT_FALSE(Find<QPushButton>(*dialog, "chartSave")->isEnabled());
    EXPECT_FALSE(dialog->Result());
    Find<QPushButton>(*dialog, "chartSave")->click();
    EXPECT_TRUE(ask.FileDialogs().empty());
    EXPECT_TRUE(memory.ProfileOf(QStringLiteral("test:0")).isEmpty());
}

} // namespace

} // namespace chart_dialog_test
