// The scan dialog's bed view: one step of a drag of the area's corner,
// repainted at once (goal: 16 ms), and a new preview of an A4 bed at 75 dpi
// made from the scanned page and drawn (goal: 0.5 s after the last byte).
#include "bench/support/SendMouse.h"
#include "image/preview/ScanThumbnail.h"
#include "ui/ScanAreaView.h"

#include <QApplication>

#include <benchmark/benchmark.h>

namespace {

using benchsupport::SendMouse;

constexpr double kBedWidthMm = 216;
constexpr double kBedHeightMm = 297;
constexpr int kPreviewDpi = 75;
constexpr int kViewWidth = 340;
constexpr int kViewHeight = 440;

// An A4 page at the preview resolution, 8-bit colour, with some pattern.
SampleImage PreviewPage() {
    SampleImage page;
    page.layout = {static_cast<std::int32_t>(kBedWidthMm / 25.4 * kPreviewDpi),
                   static_cast<std::int32_t>(kBedHeightMm / 25.4 * kPreviewDpi), kRgbChannels,
                   kByteDepth};
    page.bytes.resize(page.layout.RowBytes() * static_cast<std::size_t>(page.layout.height));
    for (std::size_t i = 0; i < page.bytes.size(); ++i) {
        page.bytes[i] = static_cast<std::uint8_t>(i * 7 % 251);
    }
    return page;
}

QImage ImageOf(const Thumbnail& thumb) {
    return QImage(reinterpret_cast<const uchar*>(thumb.pixels.data()), thumb.width, thumb.height,
                  static_cast<qsizetype>(thumb.width) * 4, QImage::Format_RGB32)
        .copy();
}

void BM_DragStepRepainted(benchmark::State& state) {
    ScanAreaView view(nullptr);
    view.resize(kViewWidth, kViewHeight);
    view.SetBed(ScanArea{0, 0, kBedWidthMm, kBedHeightMm});
    view.SetPreview(ImageOf(ThumbnailOf(PreviewPage())));
    view.SetArea({20, 20, 120, 150});
    view.show();
    QApplication::processEvents();
    view.repaint();
    // A press outside the area draws a new one; its corner then goes back and forth.
    SendMouse(&view, QEvent::MouseButtonPress, QPointF(10, 10), Qt::LeftButton, Qt::LeftButton);
    int step = 0;
    for (auto _ : state) {
        const double x = 150 + (step % 40) * 3;
        const double y = 200 + (step % 40) * 3;
        SendMouse(&view, QEvent::MouseMove, QPointF(x, y), Qt::NoButton, Qt::LeftButton);
        view.repaint(view.rect()); // the worst case: what the dialog would repaint, and more
        ++step;
    }
    SendMouse(&view, QEvent::MouseButtonRelease, QPointF(150, 200), Qt::LeftButton, Qt::NoButton);
}
BENCHMARK(BM_DragStepRepainted)->Unit(benchmark::kMillisecond);

void BM_PreviewMadeAndDrawn(benchmark::State& state) {
    ScanAreaView view(nullptr);
    view.resize(kViewWidth, kViewHeight);
    view.SetBed(ScanArea{0, 0, kBedWidthMm, kBedHeightMm});
    view.SetArea({20, 20, 120, 150});
    view.show();
    QApplication::processEvents();
    const SampleImage page = PreviewPage();
    for (auto _ : state) {
        view.SetPreview(ImageOf(ThumbnailOf(page)));
        view.repaint();
    }
}
BENCHMARK(BM_PreviewMadeAndDrawn)->Unit(benchmark::kMillisecond);

} // namespace
