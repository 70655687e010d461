// Stored rows to preview rows, written in place: the row of the run's first
// stored row, then up (bottom-up source) or down the preview.
#include "image/preview/RenderPreview.h"

#include "image/rows/MemoryRows.h"

#include <functional>

namespace {

// Every run of stored rows through `render` into its upright place.
Reason RenderStoredRuns(const RowSource& source, PreviewImage& preview,
                        const PipelineOptions& options,
                        const std::function<void(const RowBlock&)>& render) {
    const RowLayout& layout = source.Layout();
    if (layout.Width != preview.Width() || layout.Height != preview.Height()) {
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
            render({rows, layout.Stride, out, line, count, layout.Width});
            return true;
        });
}

const Reason kUnrenderable{ReasonCode::Unsupported, 0, "unsupported row format"};

} // namespace

Reason RenderRows(const RowSource& source, const ToneMap& map, PreviewImage& preview,
                  const PipelineOptions& options) {
    const RowKernel kernel = PreviewKernel(source.Layout().Format);
    if (kernel == nullptr) {
        return kUnrenderable;
    }
    return RenderStoredRuns(source, preview, options,
                            [&](const RowBlock& block) { kernel(block, map); });
}

Reason RenderWideRows(const RowSource& source, const WideToneMap& map, PreviewImage& preview) {
    const WidePreviewKernel kernel = WidePreviewKernelFor(source.Layout().Format);
    if (kernel == nullptr) {
        return kUnrenderable;
    }
    return RenderStoredRuns(source, preview, {},
                            [&](const RowBlock& block) { kernel(block, map); });
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

std::optional<WideToneMap> ToneMapFor(const KeptImage& picture, const PictureTables& tables) {
    if (!picture.Wide()) {
        return std::nullopt;
    }
    return WideToneMap(tables.Curves, picture.Layout().MaxValue);
}

bool RenderPicture(const KeptImage& picture, const PictureTables& tables, const WideToneMap* map,
                   PreviewImage& preview) {
    if (!picture.Wide()) {
        return !RenderRows(picture.Rows(), ToneMap(tables.Levels), preview);
    }
    return map != nullptr && !RenderWideRows(picture.Rows(), *map, preview);
}

std::optional<PreviewImage> BuildPicture(const KeptImage& picture, const PictureTables& tables,
                                         const WideToneMap* map) {
    auto preview = PreviewImage::Create(picture.Width(), picture.Height());
    if (preview && !RenderPicture(picture, tables, map, *preview)) {
        return std::nullopt;
    }
    return preview;
}
