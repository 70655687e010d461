// The producer is asked for runs of one band each, on every core; each band
// is encoded on the thread that made its rows, straight from them while
// they are still in the cache, and the bands are handed on in order, each
// followed by its restart marker (the last by the end of image).
#include "image/formats/JpegWriter.h"

#include "image/formats/ColourProfile.h"
#include "image/formats/JpegBands.h"
#include "image/formats/RunBands.h"

#include <algorithm>
#include <atomic>
#include <string>

namespace {

constexpr unsigned kByteShift = 8;
constexpr unsigned kWordShift = 16;

// A 16-bit level's nearest 8-bit level, round(v * 255 / 65535), is x / 65535
// for x = v * 255 + 32767; for every such x that quotient is
// (x + (x >> 16) + 1) >> 16 (checked below for every level), which takes no
// division and no table lookup.
constexpr std::uint8_t Narrow(std::uint32_t v) {
    const std::uint32_t x = v * kMaxSample8 + kMaxSample16 / 2;
    return static_cast<std::uint8_t>((x + (x >> kWordShift) + 1) >> kWordShift);
}

constexpr bool NarrowIsTheRoundedQuotient() {
    for (std::uint32_t v = 0; v <= kMaxSample16; ++v) {
        if (Narrow(v) != (v * kMaxSample8 + kMaxSample16 / 2) / std::uint32_t{kMaxSample16}) {
            return false;
        }
    }
    return true;
}
static_assert(NarrowIsTheRoundedQuotient());

template <bool BigEndian>
void NarrowSamples(const std::uint8_t* in, std::uint8_t* out, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint32_t high = in[2 * i + (BigEndian ? 0 : 1)];
        const std::uint32_t low = in[2 * i + (BigEndian ? 1 : 0)];
        out[i] = Narrow(high << kByteShift | low);
    }
}

// The rows as packed 8-bit rows: as they are, or narrowed into `scratch`.
std::span<const std::uint8_t> NarrowRows(const RowShape& shape, std::span<const std::uint8_t> rows,
                                         std::vector<std::uint8_t>& scratch) {
    if (shape.Bits == kNarrowBits) {
        return rows;
    }
    scratch.resize(rows.size() / 2);
    if (shape.Words == std::endian::big) {
        NarrowSamples<true>(rows.data(), scratch.data(), scratch.size());
    } else {
        NarrowSamples<false>(rows.data(), scratch.data(), scratch.size());
    }
    return scratch;
}

Reason Refusal(const RowShape& shape) {
    if (shape.Width <= 0 || shape.Height <= 0) {
        return {ReasonCode::Unsupported, 0, std::string(kNoPixels)};
    }
    if (shape.Width > kJpegMostSide || shape.Height > kJpegMostSide) {
        return {ReasonCode::Unsupported, 0,
                "a JPEG holds at most " + std::to_string(kJpegMostSide) + " pixels each way"};
    }
    return {};
}

JpegSettings SettingsOf(const RowShape& shape, const WriteOptions& options) {
    JpegSettings s;
    s.width = shape.Width;
    s.height = shape.Height;
    s.channels = shape.Channels;
    s.quality = std::clamp(options.Quality.value_or(kDefaultQuality), kLeastQuality, kMostQuality);
    s.density = options.Meta.resolution;
    if (ProfileFits(options.Meta.profile, shape.Channels)) {
        s.icc = options.Meta.profile;
    }
    return s;
}

} // namespace

Reason EncodeJpeg(const RowShape& shape, const RowProducer& produce, const WriteOptions& options,
                  const ByteSink& sink, std::int64_t bandBytes) {
    if (Reason refused = Refusal(shape)) {
        return refused;
    }
    const JpegSettings settings = SettingsOf(shape, options);
    const JpegBandPlan plan = PlanJpegBands(settings, bandBytes);
    const std::int32_t bands = plan.Bands(shape.Height);
    std::atomic<bool> encoderFailed{false};
    RunBands encoder(
        {shape.RowBytes(), plan.bandRows, shape.Height},
        [&](std::int32_t index, std::span<const std::uint8_t> rows,
            std::vector<std::uint8_t>& out) {
            thread_local std::vector<std::uint8_t> narrowed;
            if (!EncodeJpegBand(settings, plan, index, NarrowRows(shape, rows, narrowed), out)) {
                encoderFailed = true;
                return false;
            }
            return true;
        },
        [&](std::int32_t index, std::span<const std::uint8_t> band) {
            return sink(band) && sink(JpegBandEnd(index, bands));
        });
    const Reason produced =
        produce([&](std::int32_t first, std::int32_t count,
                    const std::uint8_t* rows) { return encoder.Take(first, count, rows); },
                {.InOrder = false, .RowsPerRun = plan.bandRows});
    if (produced && produced.Code != ReasonCode::WriteFailed) {
        return produced;
    }
    if (encoderFailed) {
        return {ReasonCode::DamagedData, 0, "libjpeg-turbo failed to encode"};
    }
    return produced || !encoder.Done() ? Reason(ReasonCode::WriteFailed) : Reason();
}

Reason WriteJpeg(const RowShape& shape, const RowProducer& produce, const Replacement& output,
                 const WriteOptions& options) {
    if (Reason refused = Refusal(shape)) {
        return refused; // the output is left alone
    }
    return WriteInOrder(
        output, [&](const ByteSink& sink) { return EncodeJpeg(shape, produce, options, sink); });
}
