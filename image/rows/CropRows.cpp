// A shared read: one thread reads bands of rows into a ring of slots, each
// crop's reader takes its rows from the bands as they come (the band's own
// memory where a run lies in one band, else a copy) and says how far it has
// read; a slot is filled again only once no crop needs the band it holds.
// Bands no crop needs are skipped where the source allows.
#include "image/rows/CropRows.h"

#include <algorithm>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <new>
#include <thread>

namespace {

// About this many bytes of the source's rows a band, and this many bands
// held at once: enough for crops read at different speeds to overlap.
constexpr std::int64_t kBandBytes = std::int64_t{4} << 20;
constexpr std::int64_t kBandSlots = 6;

struct Slot {
    std::int64_t band = -1;
    const std::uint8_t* rows = nullptr;
    std::unique_ptr<std::uint8_t[]> scratch;
};

// How far one crop's reader has come: `next` is the first upright row of
// the source it still needs, `asked` the first it has not asked for.
struct CropReader {
    PixelRect rect;
    std::int32_t next = 0;
    std::int32_t asked = 0;
    bool done = false;
};

class SharedRead {
public:
    SharedRead(const RowSource& upright, std::span<const PixelRect> crops,
               const CropControl& control);
    Reason Allocate();
    // Reads every band a crop needs, on the calling thread.
    void ReadAll();
    // Rows of crop `crop`, `stride` apart: where they lie in one band and
    // the source's own stride is asked for, the band's own rows (held from
    // being read over until the crop asks for more); else copied to `scratch`.
    FetchedRows Fetch(std::size_t crop, std::int32_t first, std::int32_t count,
                      std::uint8_t* scratch, std::int64_t stride);
    void Finished(std::size_t crop);
    const RowSource& Source() const { return source_; }

private:
    std::int32_t BandStart(std::int64_t band) const { return std::int32_t(band * bandRows_); }
    std::int32_t BandEnd(std::int64_t band) const {
        return std::int32_t(
            std::min<std::int64_t>((band + 1) * bandRows_, source_.Layout().Height));
    }
    bool Needs(const CropReader& reader, std::int64_t band) const {
        return !reader.done && reader.next < BandEnd(band) &&
               reader.rect.top + reader.rect.height > BandStart(band);
    }
    bool Needed(std::int64_t band) const {
        return std::any_of(readers_.begin(), readers_.end(),
                           [&](const CropReader& r) { return Needs(r, band); });
    }
    bool AllDone() const {
        return std::all_of(readers_.begin(), readers_.end(),
                           [](const CropReader& r) { return r.done; });
    }
    bool ReadBand(std::int64_t band);
    void Fail(Reason why);

    const RowSource& source_;
    CropControl control_;
    std::int32_t bandRows_ = 1;
    std::int64_t lastBand_ = 0; // past the last band any crop needs
    std::vector<Slot> slots_;
    std::vector<CropReader> readers_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::int64_t read_ = 0; // bands before this one are in their slots (or skipped)
    Reason failure_;        // stops every crop that needs a band not yet read
};

SharedRead::SharedRead(const RowSource& upright, std::span<const PixelRect> crops,
                       const CropControl& control)
    : source_(upright), control_(control) {
    const RowLayout& layout = upright.Layout();
    const std::int64_t stride = std::max<std::int64_t>(std::abs(layout.Stride), 1);
    bandRows_ = std::int32_t(std::clamp<std::int64_t>(kBandBytes / stride, 1, layout.Height));
    std::int32_t bottom = 0;
    for (const PixelRect& rect : crops) {
        readers_.push_back({rect, rect.top, rect.top, false});
        bottom = std::max(bottom, rect.top + rect.height);
    }
    lastBand_ = (bottom + bandRows_ - 1) / bandRows_;
}

Reason SharedRead::Allocate() {
    const std::int64_t bytes = source_.ScratchBytes(bandRows_);
    slots_.resize(std::size_t(std::min(kBandSlots, std::max<std::int64_t>(lastBand_, 1))));
    for (Slot& slot : slots_) {
        if (bytes > 0) {
            slot.scratch.reset(new (std::nothrow) std::uint8_t[std::size_t(bytes)]);
            if (!slot.scratch) {
                return Reason(ReasonCode::NoMemory, bytes);
            }
        }
    }
    return {};
}

void SharedRead::Fail(Reason why) {
    const std::lock_guard lock(mutex_);
    failure_ = std::move(why);
    changed_.notify_all();
}

// False once the read has stopped: a failure, a cancel, or no crop left.
bool SharedRead::ReadBand(std::int64_t band) {
    const auto slots = static_cast<std::int64_t>(slots_.size());
    Slot& slot = slots_[std::size_t(band % slots)];
    {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return AllDone() || band < slots || !Needed(band - slots); });
        if (AllDone()) {
            return false;
        }
        if (!source_.Sequential() && !Needed(band)) {
            read_ = band + 1;
            return true;
        }
    }
    if (control_.cancel != nullptr && control_.cancel->load()) {
        Fail(Reason(ReasonCode::Cancelled));
        return false;
    }
    const FetchedRows fetched =
        source_.Rows(BandStart(band), BandEnd(band) - BandStart(band), slot.scratch.get());
    if (fetched.Why) {
        Fail(fetched.Why);
        return false;
    }
    const std::lock_guard lock(mutex_);
    slot.band = band;
    slot.rows = fetched.First;
    read_ = band + 1;
    changed_.notify_all();
    return true;
}

void SharedRead::ReadAll() {
    for (std::int64_t band = 0; band < lastBand_; ++band) {
        if (!ReadBand(band)) {
            return;
        }
        if (control_.rowsRead) {
            control_.rowsRead(BandEnd(band), BandEnd(lastBand_ - 1));
        }
    }
}

FetchedRows SharedRead::Fetch(std::size_t crop, std::int32_t first, std::int32_t count,
                              std::uint8_t* scratch, std::int64_t stride) {
    const RowLayout& layout = source_.Layout();
    CropReader& reader = readers_[crop];
    const std::int64_t left = reader.rect.left * layout.Format.BytesPerPixel();
    std::int32_t row = reader.rect.top + first;
    std::unique_lock lock(mutex_);
    if (row != reader.asked) {
        return {nullptr, Reason(ReasonCode::ReadFailed)}; // rows come once each, in order
    }
    reader.asked = row + count;
    reader.next = row; // the rows handed out before are done with
    changed_.notify_all();
    for (const std::int32_t end = row + count; row < end;) {
        const std::int64_t band = row / bandRows_;
        changed_.wait(lock, [&] { return read_ > band || failure_; });
        if (read_ <= band) {
            return {nullptr, failure_};
        }
        const Slot& slot = slots_[std::size_t(band % std::int64_t(slots_.size()))];
        const std::uint8_t* at = slot.rows + (row - BandStart(band)) * layout.Stride + left;
        if (stride == layout.Stride && end <= BandEnd(band)) {
            return {at, {}}; // held until the next rows are asked for
        }
        lock.unlock();
        const std::int32_t stop = std::min(end, BandEnd(band));
        for (; row < stop; ++row, at += layout.Stride) {
            std::memcpy(scratch + (row - reader.rect.top - first) * stride, at,
                        std::size_t(reader.rect.width * layout.Format.BytesPerPixel()));
        }
        lock.lock();
        reader.next = row;
        changed_.notify_all();
    }
    return {scratch, {}};
}

void SharedRead::Finished(std::size_t crop) {
    const std::lock_guard lock(mutex_);
    readers_[crop].done = true;
    changed_.notify_all();
}

// One crop's rows out of the shared read: the band's own rows where the
// source's stride runs forward, else packed copies of Width pixels a row.
class SharedCrop final : public RowView {
public:
    SharedCrop(SharedRead& read, std::size_t index, const PixelRect& rect)
        : RowView(read.Source()), read_(&read), index_(index) {
        layout_.Width = rect.width;
        layout_.Height = rect.height;
        if (layout_.Stride <= 0) {
            layout_.Stride = rect.width * layout_.Format.BytesPerPixel();
        }
    }
    bool Sequential() const override { return true; }
    std::int64_t ScratchBytes(std::int32_t count) const override { return count * layout_.Stride; }
    FetchedRows Rows(std::int32_t first, std::int32_t count, std::uint8_t* scratch) const override {
        return read_->Fetch(index_, first, count, scratch, layout_.Stride);
    }

private:
    SharedRead* read_;
    std::size_t index_;
};

Reason UseGuarded(const CropUse& use, std::size_t index, const RowSource& rows) {
    try {
        return use(index, rows);
    } catch (const std::bad_alloc&) {
        return Reason(ReasonCode::NoMemory);
    }
}

} // namespace

std::vector<Reason> UseCrops(const RowSource& source, std::span<const PixelRect> crops,
                             const CropUse& use, const CropControl& control) {
    const RowLayout& layout = source.Layout();
    for (const PixelRect& rect : crops) {
        if (!FitsImage(rect, layout.Width, layout.Height)) {
            return std::vector<Reason>(crops.size(), Reason(ReasonCode::BadHeader));
        }
    }
    if (crops.empty()) {
        return {};
    }
    const UprightRows upright(source);
    SharedRead read(upright, crops, control);
    if (Reason failed = read.Allocate()) {
        return std::vector<Reason>(crops.size(), failed);
    }
    std::vector<Reason> reasons(crops.size());
    std::vector<std::thread> threads;
    for (std::size_t i = 0; i < crops.size(); ++i) {
        try {
            threads.emplace_back([&, i] {
                const SharedCrop rows(read, i, crops[i]);
                reasons[i] = UseGuarded(use, i, rows);
                read.Finished(i);
            });
        } catch (const std::system_error&) {
            reasons[i] = Reason(ReasonCode::NoMemory);
            read.Finished(i);
        }
    }
    read.ReadAll();
    for (std::thread& thread : threads) {
        thread.join();
    }
    return reasons;
}
