// The reader chosen, the view the kernel reads (levels for 8-bit work,
// upright rows for the RGB formats), then one pipeline to the writer.
#include "image/ApplyImage.h"

#include "image/formats/ChannelTables.h"
#include "image/formats/PngWriter.h"
#include "image/formats/PnmWriter.h"
#include "image/kernels/ScanLevels.h"
#include "image/rows/LevelRows.h"
#include "io/File.h"

#include <functional>
#include <optional>
#include <system_error>

namespace {

constexpr std::int32_t kWideBits = 16;

using Convert = std::function<void(const RowBlock&)>;

Reason Write(OutputKind kind, const RgbShape& shape, const RgbProducer& produce,
             const Replacement& output, const ApplyOptions& options, const ImageMeta& meta) {
    switch (kind) {
    case OutputKind::Png:
        return WritePng(shape, produce, output, meta);
    case OutputKind::Tiff:
        return WriteTiff(shape, options.Compression, produce, output, meta);
    default:
        return WritePnm(shape, produce, output);
    }
}

// Every row of the upright `view` through `convert` into the writer.
Reason WriteRgb(const RowSource& view, std::int32_t bits, const Convert& convert, OutputKind kind,
                const Replacement& output, const ApplyOptions& options, const ImageMeta& meta) {
    const RowLayout& layout = view.Layout();
    const RgbShape shape{layout.Width, layout.Height, bits};
    const RgbProducer produce = [&](const RgbRunSink& sink, bool inOrder) -> Reason {
        PipelineOptions pipeline = options.Pipeline;
        if (inOrder) {
            pipeline.Workers = 1;
        }
        const Outcome<RowRuns> runs = RowRuns::Plan(view, shape.RowBytes(), pipeline);
        if (!runs) {
            return runs.Why();
        }
        return runs->Run([&](std::int32_t first, std::int32_t count, const std::uint8_t* rows,
                             std::uint8_t* out) {
            convert({rows, layout.Stride, out, shape.RowBytes(), count, layout.Width});
            return sink(first, count, out);
        });
    };
    return Write(kind, shape, produce, output, options, meta);
}

// The input's resolution, and its profile rewritten for the tables the
// samples went through (BMP and PNM keep no profile).
Outcome<ImageMeta> OutputMeta(const RowSource& rows, OutputKind kind, const ChannelTables& tables) {
    ImageMeta meta = rows.Meta();
    if (meta.profile.empty() || kind == OutputKind::Bmp || kind == OutputKind::Pnm) {
        meta.profile.clear();
        return meta;
    }
    Outcome<std::vector<std::uint8_t>> profile = ProfileAfterTables(meta.profile, tables);
    if (!profile) {
        return profile.Why();
    }
    meta.profile = std::move(*profile);
    return meta;
}

Reason ApplyRows(const RowSource& rows, OutputKind kind, const Replacement& output,
                 const ApplyTables& tables, const ApplyOptions& options) {
    const RowLayout& layout = rows.Layout();
    if (!layout.HasRows()) {
        return {ReasonCode::Unsupported, 0, std::string(kNoPixels)};
    }
    const bool scan = IsScanFormat(layout.Format);
    if (scan && layout.Format.BitsPerSample == kWideBits && kind != OutputKind::Bmp) {
        const WideTables wide =
            ComposeWideTables(tables.Wide, layout.MaxValue, kind != OutputKind::Tiff);
        const WideKernel kernel = WideKernelFor(layout.Format);
        const Outcome<ImageMeta> meta =
            OutputMeta(rows, kind, ChannelTablesOf(tables.Wide, kMaxSample16));
        if (!meta) {
            return meta.Why();
        }
        const UprightRows view(rows);
        return WriteRgb(
            view, kWideBits, [&](const RowBlock& block) { kernel(block, wide); }, kind, output,
            options, *meta);
    }
    std::optional<LevelRows> levels;
    if (scan) {
        levels.emplace(rows);
    }
    const RowSource& eight = scan ? static_cast<const RowSource&>(*levels) : rows;
    const ToneMap map(*tables.Levels, eight.Colours());
    const Outcome<ImageMeta> meta = OutputMeta(rows, kind, ChannelTablesOf(*tables.Levels));
    if (!meta) {
        return meta.Why();
    }
    if (kind == OutputKind::Bmp) {
        return WriteBmp24(eight, map, output, options.Pipeline, *meta);
    }
    const RowKernel kernel = RgbKernel(eight.Layout().Format);
    if (kernel == nullptr) {
        return {ReasonCode::Unsupported, 0, "unsupported row format"};
    }
    const UprightRows view(eight);
    return WriteRgb(
        view, 8, [&](const RowBlock& block) { kernel(block, map); }, kind, output, options, *meta);
}

} // namespace

Reason ApplyImage(const ByteSource& input, ImageKind inKind, OutputKind outKind,
                  const Replacement& output, const ApplyTables& tables,
                  const ApplyOptions& options) {
    const Outcome<std::unique_ptr<RowSource>> rows = OpenRows(inKind, input);
    if (!rows) {
        return rows.Why();
    }
    return ApplyRows(**rows, outKind, output, tables, options);
}

Reason ApplyImageFile(const std::filesystem::path& input, const std::filesystem::path& output,
                      OutputKind outKind, const ApplyTables& tables, const ApplyOptions& options) {
    std::error_code error;
    const std::optional<File> file = File::OpenForReading(input, error);
    if (!file) {
        return Reason(ReasonCode::CannotOpen, error.value());
    }
    return ApplyImage(
        FileSource(*file), ImageKindOf(input), outKind,
        [&](const PositionedContents& c) { return WriteFileAtomically(output, c); }, tables,
        options);
}
