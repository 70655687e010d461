// A zoom step of an 8000 x 6000 (48-megapixel) preview (goal: 16 ms): the
// part an image area of 458 x 506 pixels shows, made at each √2 step from
// the fit to 800 %, at the fit and at 1:1 also for an area of twice that (a
// screen scaled by 2); and the halved levels made once a preview is rendered.
#include "image/preview/PreviewZoom.h"
#include "image/preview/ZoomedPreview.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>

namespace {

constexpr std::int32_t kWidth = 8000;
constexpr std::int32_t kHeight = 6000;
constexpr std::int32_t kAreaWidth = 458;
constexpr std::int32_t kAreaHeight = 506;

const PreviewImage& Preview() {
    static const PreviewImage preview = [] {
        PreviewImage image = *PreviewImage::Create(kWidth, kHeight);
        for (std::int32_t y = 0; y < kHeight; ++y) {
            std::uint32_t* row = image.Row(y);
            for (std::int32_t x = 0; x < kWidth; ++x) {
                row[x] = 0xFF000000u | static_cast<std::uint32_t>(x * 2654435761u ^ y * 40503u);
            }
        }
        return image;
    }();
    return preview;
}

const PreviewPyramid& Pyramid() {
    static const PreviewPyramid pyramid = *PreviewPyramid::Build(Preview());
    return pyramid;
}

PreviewGeometry Geometry(int scale) {
    PreviewGeometry g;
    g.ImageAreaWidth = kAreaWidth * scale;
    g.ImageAreaHeight = kAreaHeight * scale;
    g.ImageWidth = g.PreviewWidth = kWidth;
    g.ImageHeight = g.PreviewHeight = kHeight;
    CentrePreview(g);
    return g;
}

// The visible part at the zoom `steps` √2-steps from the fit (a huge count: 800 %).
void BM_ZoomStep(benchmark::State& state) {
    PreviewGeometry g = Geometry(static_cast<int>(state.range(1)));
    ZoomToFit(g);
    for (int i = 0; i < state.range(0); ++i) {
        ZoomAbout(g, SteppedZoom(g, 1), {g.ImageAreaWidth / 2, g.ImageAreaHeight / 2});
    }
    const std::int32_t left = std::max(0, -g.PreviewX);
    const std::int32_t top = std::max(0, -g.PreviewY);
    const ZoomWindow window{g.PreviewWidth,
                            g.PreviewHeight,
                            left,
                            top,
                            std::min(g.PreviewWidth - left, g.ImageAreaWidth),
                            std::min(g.PreviewHeight - top, g.ImageAreaHeight)};
    PreviewImage out = *PreviewImage::Create(window.width, window.height);
    for (auto _ : state) {
        benchmark::DoNotOptimize(RenderZoomWindow(Preview(), &Pyramid(), window, out));
    }
    state.counters["zoom_pct"] = g.Zoom * 100;
}
BENCHMARK(BM_ZoomStep)
    ->ArgsProduct({{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13}, {1}})
    ->Args({0, 2})
    ->Args({8, 2})
    ->Unit(benchmark::kMillisecond);

void BM_Levels(benchmark::State& state) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(PreviewPyramid::Build(Preview()));
    }
}
BENCHMARK(BM_Levels)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
