// The reader chosen, the view the kernel reads (levels for 8-bit work,
// rows in the order the writer counts them), then one pipeline to the
// writer the format table names.
#include "image/ApplyImage.h"

#include "image/formats/ChannelTables.h"
#include "image/formats/FileRows.h"
#include "image/formats/RunRelay.h"
#include "image/kernels/ScanLevels.h"
#include "image/rows/LevelRows.h"

#include <algorithm>
#include <functional>
#include <optional>
#include <string_view>

namespace {

using Convert = std::function<void(const RowBlock&)>;

constexpr std::string_view kGreyNameRefusal =
    "a .pgm holds grey only, and this image comes out in colour (a colour input, or "
    "tables that differ): name a .ppm or .pnm output";

// The samples an output is made of: grey (1) or colour (3), 8 or 16 bits.
struct OutputSamples {
    std::int32_t channels = kColourChannels;
    std::int32_t bits = kNarrowBits;
};

// One channel for a grey input through equal tables where `format` holds
// grey, else three.
std::int32_t OutputChannels(const RowLayout& layout, ImageFormat format,
                            const ApplyTables& tables) {
    const bool grey = layout.Format.Samples == 1 && !layout.Format.Indexed;
    return grey && EntryOf(format).HoldsGrey && KeepsGrey(tables) ? 1 : kColourChannels;
}

// Where the rows go: a file of the format, or a page of a document.
using RowTarget =
    std::function<Reason(const RowShape& shape, const RowProducer& produce, const WriteOptions&)>;

// Every stored row of `view` through `convert` into rows of `shape`, read
// in the view's order. Where the output counts its rows from the other end,
// each run's rows are placed reversed and the run numbered from there (the
// writers that take rows in order count them as an upright view does).
Reason Produce(const RowSource& view, const RowShape& shape, const Convert& convert,
               PipelineOptions pipeline, const RowRunSink& sink) {
    const RowLayout& layout = view.Layout();
    const bool flip = layout.BottomUp != shape.BottomUp;
    const std::int64_t rowBytes = shape.RowBytes();
    const Outcome<RowRuns> runs = RowRuns::Plan(view, rowBytes, pipeline);
    if (!runs) {
        return runs.Why();
    }
    return runs->Run(
        [&](std::int32_t first, std::int32_t count, const std::uint8_t* rows, std::uint8_t* out) {
            RowBlock block{rows, layout.Stride, out, rowBytes, count, layout.Width};
            std::int32_t at = first;
            if (flip) {
                block.Out = out + (count - 1) * rowBytes;
                block.OutStride = -rowBytes;
                at = layout.Height - first - count;
            }
            convert(block);
            return sink(at, count, out);
        });
}

// The rows as the writer asks: in order on one thread, or in runs on every
// core; a decoder that gives its rows in order only has its runs relayed to
// the writer's threads. Runs of the writer's size are met where the rows
// are counted from the same end.
RowProducer ProducerOf(const RowSource& view, const RowShape& shape, const Convert& convert,
                       const PipelineOptions& options) {
    return [&view, &shape, &convert, &options](const RowRunSink& sink,
                                               const RunRequest& request) -> Reason {
        PipelineOptions pipeline = options;
        if (request.InOrder) {
            pipeline.Workers = 1;
            return Produce(view, shape, convert, pipeline, sink);
        }
        const bool sameEnd = view.Layout().BottomUp == shape.BottomUp;
        if (request.RowsPerRun <= 0 || !sameEnd) {
            return Produce(view, shape, convert, pipeline, sink);
        }
        pipeline.RowsPerRun = request.RowsPerRun;
        if (!view.Sequential()) {
            return Produce(view, shape, convert, pipeline, sink);
        }
        pipeline.Workers = 1;
        return RelayRuns(
            shape,
            [&](const RowRunSink& relayed, const RunRequest&) {
                return Produce(view, shape, convert, pipeline, relayed);
            },
            sink, request.RowsPerRun, pipeline.MinPixelsToSplit);
    };
}

// Every row of `rows` through `convert` into the writer of `format`, as
// `channels` samples a pixel where the format holds them: read as stored
// for a bottom-up output, upright for the others.
Reason WriteConverted(const RowSource& rows, ImageFormat format, const OutputSamples& samples,
                      const Convert& convert, const RowTarget& target, const ApplyOptions& options,
                      const ImageMeta& meta) {
    const RowLayout& layout = rows.Layout();
    const RowShape shape =
        WriterShape(format, layout.Width, layout.Height, samples.channels, samples.bits);
    if (options.GreyOnly && !shape.Grey()) {
        return {ReasonCode::Unsupported, 0, std::string(kGreyNameRefusal)};
    }
    const UprightRows upright(rows);
    const RowSource& view = shape.BottomUp ? rows : upright;
    return target(shape, ProducerOf(view, shape, convert, options.Pipeline),
                  {options.Compression, meta, options.Quality});
}

// The tables the output's profile is rewritten for: the ones the samples
// went through, or a negative's curves alone.
ChannelTables ProfileTablesOf(const ApplyTables& tables, bool levels) {
    if (!tables.PositiveWide[kRed].empty()) {
        return ChannelTablesOf(tables.PositiveWide, kMaxSample16);
    }
    return levels ? ChannelTablesOf(*tables.Levels) : ChannelTablesOf(tables.Wide, kMaxSample16);
}

// The input's resolution, and its profile rewritten for the tables the
// samples went through where the output keeps a profile (the tables are
// gathered only then: a copy of 65536 entries a channel); its curves hold
// one entry per level of the written samples where those are 8 bits.
Outcome<ImageMeta> OutputMeta(const RowSource& rows, ImageFormat format, const ApplyTables& tables,
                              bool levels, const OutputSamples& written) {
    ImageMeta meta = rows.Meta();
    if (meta.profile.empty() || !EntryOf(format).HoldsProfile) {
        meta.profile.clear();
        return meta;
    }
    const ChannelTables profileTables = ProfileTablesOf(tables, levels);
    const std::size_t entries = written.bits == kWideBits ? kLevels16 : kLevels8;
    Outcome<std::vector<std::uint8_t>> profile =
        written.channels == 1 ? GreyProfileAfterTables(meta.profile, profileTables, entries)
                              : ProfileAfterTables(meta.profile, profileTables, entries);
    if (!profile) {
        return profile.Why();
    }
    meta.profile = std::move(*profile);
    return meta;
}

// A 16-bit input to an output whose writer takes 16 bits goes through the
// 65536-entry curves, composed with the input's scale and the output's byte
// order (a JPEG's writer then rounds the samples to 8 bits).
Reason ApplyWide(const RowSource& rows, ImageFormat format, const RowTarget& target,
                 const ApplyTables& tables, const ApplyOptions& options) {
    const RowLayout& layout = rows.Layout();
    const bool bigEndian = EntryOf(format).Words == std::endian::big;
    const WideTables wide = ComposeWideTables(tables.Wide, layout.MaxValue, bigEndian);
    const OutputSamples samples{OutputChannels(layout, format, tables), kWideBits};
    const WideKernel kernel = WideKernelFor(layout.Format, samples.channels);
    // A JPEG rounds the samples to 8 bits.
    const OutputSamples written{samples.channels,
                                EntryOf(format).HoldsWide ? kWideBits : kNarrowBits};
    const Outcome<ImageMeta> meta = OutputMeta(rows, format, tables, false, written);
    if (!meta) {
        return meta.Why();
    }
    return WriteConverted(
        rows, format, samples, [&](const RowBlock& block) { kernel(block, wide); }, target, options,
        *meta);
}

// The kernel from the 8-bit rows to the output's samples.
RowKernel NarrowKernel(const RowFormat& stored, ImageFormat format, const OutputSamples& samples,
                       const ApplyOptions& options) {
    if (samples.channels == 1) {
        return GreyKernel(stored);
    }
    return EntryOf(format).Order == SampleOrder::Bgr ? BgrKernel(stored, options.Pipeline.Wide)
                                                     : RgbKernel(stored, options.Pipeline.Wide);
}

Reason ApplyRows(const RowSource& rows, ImageFormat format, const RowTarget& target,
                 const ApplyTables& tables, const ApplyOptions& options) {
    const RowLayout& layout = rows.Layout();
    if (!layout.HasRows()) {
        return {ReasonCode::Unsupported, 0, std::string(kNoPixels)};
    }
    const bool scan = IsScanFormat(layout.Format);
    if (scan && layout.Format.BitsPerSample == kWideBits && TakesWideRows(format)) {
        return ApplyWide(rows, format, target, tables, options);
    }
    // 8-bit R, G, B samples of full scale are their own levels: the kernels
    // read them as stored, sparing a pass through the level rows.
    const bool ownLevels = layout.Format == kRgb24 && layout.MaxValue == kMaxSample8;
    std::optional<LevelRows> levels;
    if (scan && !ownLevels) {
        levels.emplace(rows);
    }
    const RowSource& eight = levels ? static_cast<const RowSource&>(*levels) : rows;
    const ToneMap map(*tables.Levels, eight.Colours());
    const OutputSamples samples{OutputChannels(layout, format, tables), kNarrowBits};
    const Outcome<ImageMeta> meta = OutputMeta(rows, format, tables, true, samples);
    if (!meta) {
        return meta.Why();
    }
    const RowKernel kernel = NarrowKernel(eight.Layout().Format, format, samples, options);
    if (kernel == nullptr) {
        return {ReasonCode::Unsupported, 0, "unsupported row format"};
    }
    return WriteConverted(
        eight, format, samples, [&](const RowBlock& block) { kernel(block, map); }, target, options,
        *meta);
}

// The rows as a file of `format` through its writer, or as the next page of
// a document.
RowTarget FileTarget(ImageFormat format, const Replacement& output) {
    return [format, &output](const RowShape& shape, const RowProducer& produce,
                             const WriteOptions& written) {
        return WriteRows(format, shape, produce, output, written);
    };
}

RowTarget PageTarget(PageWriter& pages) {
    return [&pages](const RowShape& shape, const RowProducer& produce,
                    const WriteOptions& written) { return pages.AddPage(shape, produce, written); };
}

Reason ApplyTo(const ByteSource& input, ImageFormat inFormat, ImageFormat outFormat,
               const RowTarget& target, const ApplyTables& tables, const ApplyOptions& options) {
    const Outcome<std::unique_ptr<RowSource>> rows = OpenRows(inFormat, input);
    if (!rows) {
        return rows.Why();
    }
    return ApplyRows(**rows, outFormat, target, tables, options);
}

} // namespace

bool KeepsGrey(const ApplyTables& tables) {
    const auto same = [](std::span<const std::uint16_t> a, std::span<const std::uint16_t> b) {
        return std::equal(a.begin(), a.end(), b.begin(), b.end());
    };
    const GammaTableSet& levels = *tables.Levels;
    return levels[kRed] == levels[kGreen] && levels[kGreen] == levels[kBlue] &&
           same(tables.Wide[kRed], tables.Wide[kGreen]) &&
           same(tables.Wide[kGreen], tables.Wide[kBlue]);
}

Reason ApplyImage(const ByteSource& input, ImageFormat inFormat, ImageFormat outFormat,
                  const Replacement& output, const ApplyTables& tables,
                  const ApplyOptions& options) {
    return ApplyTo(input, inFormat, outFormat, FileTarget(outFormat, output), tables, options);
}

Reason ApplyImageToPage(const ByteSource& input, ImageFormat inFormat, ImageFormat outFormat,
                        PageWriter& pages, const ApplyTables& tables, const ApplyOptions& options) {
    return ApplyTo(input, inFormat, outFormat, PageTarget(pages), tables, options);
}

Reason ApplyFileToPage(const std::filesystem::path& input, ImageFormat outFormat, PageWriter& pages,
                       const ApplyTables& tables, const ApplyOptions& options, Reason* warning) {
    return UseFileRows(
        input, ReadFormatOf(input),
        [&](const RowSource& rows) {
            return ApplyRows(rows, outFormat, PageTarget(pages), tables, options);
        },
        warning);
}

Reason ApplyRowsFile(const RowSource& rows, const std::filesystem::path& output,
                     ImageFormat outFormat, const ApplyTables& tables,
                     const ApplyOptions& options) {
    const Replacement replace = [&](const PositionedContents& c) {
        return WriteFileAtomically(output, c);
    };
    return ApplyRows(rows, outFormat, FileTarget(outFormat, replace), tables, options);
}

Reason ApplyImageFile(const std::filesystem::path& input, const std::filesystem::path& output,
                      ImageFormat outFormat, const ApplyTables& tables, const ApplyOptions& options,
                      Reason* warning) {
    return UseFileRows(
        input, ReadFormatOf(input),
        [&](const RowSource& rows) {
            return ApplyRowsFile(rows, output, outFormat, tables, options);
        },
        warning);
}
