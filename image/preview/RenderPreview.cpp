// Stored rows to preview rows, written in place: the row of the run's first
// stored row, then up (bottom-up source) or down the preview.
#include "image/preview/RenderPreview.h"

#include "image/rows/MemoryRows.h"

Reason RenderRows(const RowSource& source, const ToneMap& map, PreviewImage& preview,
                  const PipelineOptions& options) {
    const RowLayout& layout = source.Layout();
    const RowKernel kernel = PreviewKernel(layout.Format);
    if (kernel == nullptr || layout.Width != preview.Width() || layout.Height != preview.Height()) {
        return {ReasonCode::Unsupported, 0, "unsupported row format"};
    }
    if (!layout.HasRows()) {
        return {};
    }
    const Outcome<RowRuns> runs = RowRuns::Plan(source, 0, options);
    if (!runs) {
        return runs.Why();
    }
    const std::int64_t line = layout.BottomUp ? -preview.BytesPerLine() : preview.BytesPerLine();
    return runs->Run(
        [&](std::int32_t first, std::int32_t count, const std::uint8_t* rows, std::uint8_t*) {
            auto* out = reinterpret_cast<std::uint8_t*>(preview.Row(layout.UprightRow(first)));
            kernel({rows, layout.Stride, out, line, count, layout.Width}, map);
            return true;
        });
}

bool RenderPreview(const ImageBuffer& image, const GammaTableSet& tables, PreviewImage& preview) {
    if (image.Width != preview.Width() || image.Height != preview.Height()) {
        return false;
    }
    const std::int64_t rowBytes = std::int64_t{image.Width} * kImageBytesPerPixel;
    if (image.Pixels == nullptr && rowBytes * image.Height != 0) {
        return false;
    }
    return !RenderRows(RowsOf(image), ToneMap(tables), preview);
}

std::optional<PreviewImage> BuildPreview(const ImageBuffer& image, const GammaTableSet& tables) {
    auto preview = PreviewImage::Create(image.Width, image.Height);
    if (preview && !RenderPreview(image, tables, *preview)) {
        return std::nullopt;
    }
    return preview;
}
