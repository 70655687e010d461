// The chart dialog over a 1600 x 1100 IT8 scan: one step of a drag of the
// grid's top-left corner with the view repainted at once (goal: 16 ms),
// while calibrations of the corners' latest place run on the worker; and
// the time from a corner's move until its calibration is shown.
#include "bench/support/SendMouse.h"
#include "measure/PatchSampling.h"
#include "platform/ScriptedAskUser.h"
#include "platform/SettingsStore.h"
#include "tests/measure/SimulatedScanner.h"
#include "ui/ChartDialog.h"
#include "ui/ChartView.h"
#include "ui/ScanMemory.h"

#include <QApplication>
#include <QComboBox>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <fstream>

namespace {

using benchsupport::SendMouse;

constexpr int kWidth = 1600;
constexpr int kHeight = 1100;

std::shared_ptr<const ChartScan> Scan() {
    static const auto scan = [] {
        simscan::Scanner scanner;
        scanner.noise = 0.5;
        const ChartLayout& layout = LayoutOf(ChartKind::It8);
        return std::make_shared<const ChartScan>(
            simscan::Scan(scanner, layout, ChartReference(simscan::It8Patches(false)),
                          InitialCorners(layout, kWidth, kHeight, 0.08), kWidth, kHeight));
    }();
    return scan;
}

// The dialog on the IT8 chart with its reference, shown and measured once.
struct Dialog {
    QTemporaryDir folder;
    SettingsStore settings{folder.filePath(QStringLiteral("Tamrel.conf"))};
    ScanMemory memory{settings};
    ScriptedAskUser ask;
    std::unique_ptr<ChartDialog> dialog;
    ChartView* view = nullptr;

    Dialog() {
        const std::string text = simscan::Cgats(simscan::It8Patches(false), false);
        const QString reference = folder.filePath(QStringLiteral("it8.txt"));
        std::ofstream(reference.toStdString()) << text;
        settings.SetValue(QStringLiteral("chart/reference/it8"), reference);
        dialog = std::make_unique<ChartDialog>(
            nullptr,
            ChartDialogContext{Scan(), QStringLiteral("bench"), &settings, &memory, &ask, {}, {}});
        dialog->show();
        dialog->findChild<QComboBox*>(QStringLiteral("chartKind"))->setCurrentIndex(1); // IT8
        view = dialog->findChild<ChartView*>(QStringLiteral("chartView"));
        AwaitResult();
    }
    void AwaitResult() {
        while (!dialog->Result() || dialog->Result()->chart != ChartKind::It8) {
            QApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
        }
    }
    // The top-left corner in the view.
    QPointF Corner() const {
        const ViewMapping mapping =
            FitMapping({0, 0, double(kWidth), double(kHeight)}, view->width(), view->height());
        const ImagePoint at = view->Corners()[0];
        const PointF v = mapping.ToView(PointF{at.x, at.y});
        return {v.x, v.y};
    }
};

void BM_CornerDragStepRepainted(benchmark::State& state) {
    Dialog d;
    const QPointF start = d.Corner();
    SendMouse(d.view, QEvent::MouseButtonPress, start, Qt::LeftButton, Qt::LeftButton);
    int step = 0;
    for (auto _ : state) {
        const QPointF at = start + QPointF(step % 20, (step % 20) / 2.0);
        SendMouse(d.view, QEvent::MouseMove, at, Qt::NoButton, Qt::LeftButton);
        d.view->repaint();
        ++step;
    }
    SendMouse(d.view, QEvent::MouseButtonRelease, start, Qt::LeftButton, Qt::NoButton);
    state.counters["calibrated"] = d.dialog->Result() ? 1 : 0;
}
BENCHMARK(BM_CornerDragStepRepainted)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_CornerMovedUntilItsCalibrationIsShown(benchmark::State& state) {
    Dialog d;
    const QPointF start = d.Corner();
    int step = 0;
    for (auto _ : state) {
        const QPointF at = start + QPointF(step % 2 ? 2 : -2, 0);
        SendMouse(d.view, QEvent::MouseButtonPress, d.Corner(), Qt::LeftButton, Qt::LeftButton);
        SendMouse(d.view, QEvent::MouseMove, at, Qt::NoButton, Qt::LeftButton);
        SendMouse(d.view, QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);
        const std::vector<PatchResult> before = d.dialog->Result()->patches;
        while (d.dialog->Result()->patches[0].sample.outline == before[0].sample.outline) {
            QApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
        }
        ++step;
    }
}
BENCHMARK(BM_CornerMovedUntilItsCalibrationIsShown)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
