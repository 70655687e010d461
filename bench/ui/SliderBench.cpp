// One slider notification end to end: read the sliders, refresh the labels,
// store the channel, recompute its table, and repaint the curve plot.
#include "image/preview/PreviewState.h"
#include "platform/ScriptedAskUser.h"
#include "res/Resource.h"
#include "ui/CMyGraph.h"
#include "ui/HistogramView.h"
#include "ui/TamrelDlg.h"

#include <QApplication>
#include <QSlider>

#include <benchmark/benchmark.h>

namespace {

void BM_SliderNotification(benchmark::State& state) {
    ScriptedAskUser ask;
    CTamrelDlg dialog(&ask);
    dialog.Create();
    dialog.show();
    QApplication::processEvents();
    auto* gamma = dialog.Controls().ItemAs<QSlider>(IDC_SLIDER_GAMMA);
    int position = gamma->minimum();
    for (auto _ : state) {
        position = position < gamma->maximum() ? position + 1 : gamma->minimum();
        gamma->setValue(position);   // the notification: exchange, labels, table, invalidate
        dialog.GraphArea->repaint(); // the repaint it asks for, done now
    }
}
BENCHMARK(BM_SliderNotification)->Unit(benchmark::kMicrosecond);

// The same with the output histogram on: each move also recounts the levels
// after the changed table and draws them under the curves.
void BM_SliderNotificationWithOutputHistogram(benchmark::State& state) {
    LevelHistogram levels;
    for (std::size_t c = 0; c < kChannelCount; ++c) {
        for (std::size_t level = 0; level < kLevelCount; ++level) {
            levels.channels[c][level] = (level * 7919 + c * 104729) % 200000 + 1;
        }
    }
    theHistogramView = {true, true, PictureCounts{levels, std::nullopt}};
    BM_SliderNotification(state);
    theHistogramView = {};
}
BENCHMARK(BM_SliderNotificationWithOutputHistogram)->Unit(benchmark::kMicrosecond);

// The same over a 16-bit picture: each move makes the three 65536-entry
// curves and folds every sample's count onto the column it shows at.
void BM_SliderNotificationWithWideOutputHistogram(benchmark::State& state) {
    WideCounts samples;
    for (std::size_t c = 0; c < kChannelCount; ++c) {
        for (std::size_t v = 0; v < kWideSamples; ++v) {
            samples.Channels[c][v] = (v * 7919 + c * 104729) % 2000 + 1;
        }
    }
    static const std::uint16_t kPixel[3] = {1000, 20000, 40000};
    thePreviewState.Loaded = KeptImage(nullptr, reinterpret_cast<const std::uint8_t*>(kPixel),
                                       {1, 1, kRgb48, false, sizeof kPixel, kMaxSample16});
    theHistogramView = {true, true, PictureCounts{{}, std::move(samples)}};
    BM_SliderNotification(state);
    theHistogramView = {};
    thePreviewState.Loaded = KeptImage();
}
BENCHMARK(BM_SliderNotificationWithWideOutputHistogram)->Unit(benchmark::kMicrosecond);

} // namespace
