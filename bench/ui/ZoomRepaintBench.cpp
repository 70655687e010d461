// A zoom step in the real window with an 8000 x 6000 (48-megapixel) image
// (goal: 16 ms): the step, and the image area repainted at once, going back
// and forth between two neighbouring zooms: the fit and the next, 50 % and
// 71 %, 141 % and 200 % (each made anew: the view keeps only the last one).
#include "image/ReadImage.h"
#include "image/formats/BmpReader.h"
#include "image/rows/PixelMemory.h"
#include "platform/ScriptedAskUser.h"
#include "ui/CMyGraph.h"
#include "ui/ImageView.h"
#include "ui/TamrelDlg.h"

#include <QApplication>

#include <benchmark/benchmark.h>

namespace {

constexpr std::int32_t kWidth = 8000;
constexpr std::int32_t kHeight = 6000;

DecodedImage LargeImage() {
    auto block = *AllocatePixelBlock(std::uint64_t{kWidth} * kHeight, kImageBytesPerPixel);
    const std::size_t bytes = std::size_t{kWidth} * kHeight * kImageBytesPerPixel;
    for (std::size_t i = 0; i < bytes; ++i) {
        block.get()[i] = static_cast<std::uint8_t>(i * 2654435761u >> 13);
    }
    const ImageBuffer image{false, kWidth, kHeight, block.get()};
    return DecodedImage(image, std::move(block));
}

// range(0): √2-steps in from the fit (about 5.7 %) where the back and forth begins.
void BM_ZoomStepRepainted(benchmark::State& state) {
    ScriptedAskUser ask;
    CTamrelDlg dialog(&ask);
    dialog.Create();
    dialog.show();
    QApplication::processEvents();
    dialog.ReplaceImage(KeepLevels(LargeImage()), {});
    dialog.OnZoomToFit();
    const QSize client = dialog.ImageArea->ClientRect().size();
    const QPoint centre(client.width() / 2, client.height() / 2);
    if (state.range(0) > 0) {
        dialog.ZoomAt(static_cast<int>(state.range(0)), centre);
    }
    dialog.ImageArea->repaint();
    int step = 0;
    for (auto _ : state) {
        dialog.ZoomAt(step++ % 2 == 0 ? 1 : -1, centre);
        dialog.ImageArea->repaint();
    }
    ReleasePreview();
}
BENCHMARK(BM_ZoomStepRepainted)->Arg(0)->Arg(7)->Arg(10)->Unit(benchmark::kMillisecond);

} // namespace
