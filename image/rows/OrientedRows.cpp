// Each orientation as a turn: whether upright rows are stored columns
// (5..8), and which stored axes run backwards. A held picture is filled a
// band of stored rows at a time, column by column, so that each write
// continues an upright row.
#include "image/rows/OrientedRows.h"

#include "image/rows/PixelMemory.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <new>
#include <utility>

namespace {

struct Turn {
    bool swap = false;  // upright row y is stored column y
    bool flipX = false; // stored columns counted from the right
    bool flipY = false; // stored rows counted from the bottom
};

// Indexed by orientation - 1; see OrientedRows.h for the maps.
constexpr Turn kTurns[] = {{false, false, false}, {false, true, false}, {false, true, true},
                           {false, false, true},  {true, false, false}, {true, false, true},
                           {true, true, true},    {true, true, false}};
constexpr std::int32_t kLastTurn = 8;

// Stored rows read at a time into a held picture.
constexpr std::int32_t kBandRows = 32;

void MirrorRow(const std::uint8_t* in, std::uint8_t* out, std::int32_t width, std::int64_t pixel) {
    for (std::int64_t x = 0; x < width; ++x) {
        std::memcpy(out + x * pixel, in + (width - 1 - x) * pixel, static_cast<std::size_t>(pixel));
    }
}

// What every turned view shares: the stored source it owns and the
// upright layout.
class TurnedRows : public RowSource {
public:
    TurnedRows(std::unique_ptr<RowSource> stored, const Turn& turn)
        : stored_(std::move(stored)), turn_(turn), layout_(stored_->Layout()) {
        if (turn.swap) {
            std::swap(layout_.Width, layout_.Height);
        }
        layout_.Stride = layout_.RowBytes();
    }

    const RowLayout& Layout() const override { return layout_; }
    const Palette& Colours() const override { return stored_->Colours(); }
    Reason Warning() const override { return stored_->Warning(); }
    ImageMeta Meta() const override {
        ImageMeta meta = stored_->Meta();
        if (turn_.swap && meta.resolution) {
            std::swap(meta.resolution->x, meta.resolution->y);
        }
        return meta;
    }

protected:
    std::unique_ptr<RowSource> stored_;
    Turn turn_;
    RowLayout layout_;
};

// Mirrored and upside-down rows, copied into the scratch in front of the
// stored rows as they pass.
class StreamedRows final : public TurnedRows {
public:
    using TurnedRows::TurnedRows;

    std::int64_t ScratchBytes(std::int32_t count) const override {
        return count * layout_.Stride + stored_->ScratchBytes(count);
    }
    bool Sequential() const override { return stored_->Sequential(); }
    std::int64_t HeldBytes() const override { return stored_->HeldBytes(); }

    FetchedRows Rows(std::int32_t first, std::int32_t count, std::uint8_t* scratch) const override {
        const RowLayout& stored = stored_->Layout();
        const std::int32_t storedFirst = turn_.flipY ? stored.Height - first - count : first;
        const FetchedRows fetched =
            stored_->Rows(storedFirst, count, scratch + count * layout_.Stride);
        if (fetched.Why) {
            return fetched;
        }
        const std::int64_t pixel = stored.Format.BytesPerPixel();
        for (std::int32_t k = 0; k < count; ++k) {
            const std::uint8_t* in =
                fetched.First + (turn_.flipY ? count - 1 - k : k) * stored.Stride;
            std::uint8_t* out = scratch + k * layout_.Stride;
            if (turn_.flipX) {
                MirrorRow(in, out, layout_.Width, pixel);
            } else {
                std::memcpy(out, in, static_cast<std::size_t>(layout_.Stride));
            }
        }
        return {scratch, {}};
    }
};

// A band of `count` stored rows from stored row `first` into the upright
// picture, for turns whose upright rows are stored columns. Pixel is the
// pixel's size in bytes, a constant for the copies.
template <std::size_t Pixel>
void TransposeBand(const std::uint8_t* rows, std::int64_t stride, std::int32_t first,
                   std::int32_t count, const Turn& turn, const RowLayout& stored,
                   std::uint8_t* picture, std::int64_t pictureStride) {
    const auto pixel = static_cast<std::int64_t>(Pixel);
    for (std::int32_t sx = 0; sx < stored.Width; ++sx) {
        const std::int64_t y = turn.flipX ? stored.Width - 1 - sx : sx;
        std::uint8_t* row = picture + y * pictureStride;
        for (std::int32_t k = 0; k < count; ++k) {
            const std::int64_t sy = first + k;
            const std::int64_t x = turn.flipY ? stored.Height - 1 - sy : sy;
            std::memcpy(row + x * pixel, rows + k * stride + sx * pixel, Pixel);
        }
    }
}

using BandCopy = void (*)(const std::uint8_t*, std::int64_t, std::int32_t, std::int32_t,
                          const Turn&, const RowLayout&, std::uint8_t*, std::int64_t);

// The transposing copy for a pixel of `bytes`: the sizes the readers give.
BandCopy TransposeFor(std::int64_t bytes) {
    switch (bytes) {
    case 1:
        return TransposeBand<1>;
    case 2:
        return TransposeBand<2>;
    case 3:
        return TransposeBand<3>;
    case 4:
        return TransposeBand<4>;
    case 6:
        return TransposeBand<6>;
    default:
        return TransposeBand<8>;
    }
}

// The whole picture read once, at the first rows asked for, and turned
// upright in memory; every later run comes from there, on any thread.
class HeldRows final : public TurnedRows {
public:
    using TurnedRows::TurnedRows;

    std::int64_t ScratchBytes(std::int32_t) const override { return 0; }
    bool Sequential() const override { return false; }
    std::int64_t HeldBytes() const override {
        return stored_->HeldBytes() + layout_.Stride * layout_.Height +
               stored_->ScratchBytes(kBandRows);
    }

    FetchedRows Rows(std::int32_t first, std::int32_t, std::uint8_t*) const override {
        std::call_once(loaded_, [this] { failure_ = Load(); });
        if (failure_) {
            return {nullptr, failure_};
        }
        return {picture_.get() + first * layout_.Stride, {}};
    }

private:
    Reason Load() const;
    void Place(const std::uint8_t* rows, std::int32_t first, std::int32_t count) const;

    mutable std::once_flag loaded_;
    mutable Reason failure_;
    mutable MallocPtr<std::uint8_t> picture_;
};

Reason HeldRows::Load() const {
    const RowLayout& stored = stored_->Layout();
    auto picture = AllocatePixelBlock(std::uint64_t(layout_.Stride), std::uint64_t(layout_.Height));
    const std::int64_t scratchBytes = stored_->ScratchBytes(kBandRows);
    std::unique_ptr<std::uint8_t[]> scratch(
        scratchBytes > 0 ? new (std::nothrow) std::uint8_t[std::size_t(scratchBytes)] : nullptr);
    if (!picture || (scratchBytes > 0 && !scratch)) {
        return Reason(ReasonCode::NoMemory, layout_.Stride * layout_.Height + scratchBytes);
    }
    picture_ = std::move(*picture);
    for (std::int32_t first = 0; first < stored.Height; first += kBandRows) {
        const std::int32_t count = std::min(kBandRows, stored.Height - first);
        const FetchedRows fetched = stored_->Rows(first, count, scratch.get());
        if (fetched.Why) {
            return fetched.Why;
        }
        Place(fetched.First, first, count);
    }
    return {};
}

void HeldRows::Place(const std::uint8_t* rows, std::int32_t first, std::int32_t count) const {
    const RowLayout& stored = stored_->Layout();
    if (turn_.swap) {
        TransposeFor(stored.Format.BytesPerPixel())(rows, stored.Stride, first, count, turn_,
                                                    stored, picture_.get(), layout_.Stride);
        return;
    }
    for (std::int32_t k = 0; k < count; ++k) {
        const std::int64_t y = turn_.flipY ? stored.Height - 1 - (first + k) : first + k;
        std::uint8_t* out = picture_.get() + y * layout_.Stride;
        if (turn_.flipX) {
            MirrorRow(rows + k * stored.Stride, out, layout_.Width, stored.Format.BytesPerPixel());
        } else {
            std::memcpy(out, rows + k * stored.Stride, static_cast<std::size_t>(layout_.Stride));
        }
    }
}

} // namespace

std::unique_ptr<RowSource> TurnedUpright(std::unique_ptr<RowSource> stored) {
    const std::int32_t orientation = stored->Orientation();
    const RowLayout& layout = stored->Layout();
    if (orientation <= kUpright || orientation > kLastTurn || layout.BottomUp ||
        !layout.HasRows()) {
        return stored;
    }
    const Turn& turn = kTurns[orientation - 1];
    if (!turn.swap && (!turn.flipY || !stored->Sequential())) {
        return std::make_unique<StreamedRows>(std::move(stored), turn);
    }
    return std::make_unique<HeldRows>(std::move(stored), turn);
}
