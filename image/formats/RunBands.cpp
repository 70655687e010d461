// One lock guards the bands being gathered, the encoded bands waiting for
// their turn and the turn itself; encoding, copying and handing on happen
// outside it. Whichever thread finds the next band's turn come hands it on,
// and every later one already encoded, while the others go back to work.
#include "image/formats/RunBands.h"

#include <algorithm>
#include <cstring>
#include <new>

std::int32_t BandPlan::RowsOf(std::int32_t band) const {
    return std::min(bandRows, height - band * bandRows);
}

RunBands::RunBands(const BandPlan& plan, BandEncode encode, BandEmit emit)
    : plan_(plan), encode_(std::move(encode)), emit_(std::move(emit)) {}

bool RunBands::Take(std::int32_t first, std::int32_t count, const std::uint8_t* rows) {
    const std::int32_t end = first + count;
    for (std::int32_t band = first / plan_.bandRows; band * plan_.bandRows < end; ++band) {
        const std::int32_t bandFirst = band * plan_.bandRows;
        const std::int32_t bandEnd = bandFirst + plan_.RowsOf(band);
        const std::int32_t from = std::max(first, bandFirst);
        const std::int32_t to = std::min(end, bandEnd);
        const std::uint8_t* at = rows + (from - first) * plan_.rowBytes;
        const bool whole = from == bandFirst && to == bandEnd;
        if (!(whole ? Encode(band, {at, std::size_t((to - from) * plan_.rowBytes)})
                    : Gather(band, from, to - from, at))) {
            return false;
        }
    }
    return true;
}

bool RunBands::Done() {
    const std::lock_guard lock(mutex_);
    return !failed_ && next_ == plan_.Bands();
}

// The rows go into the band's copy; the thread whose rows complete it
// encodes it. The copy stays put in the map while others fill their rows.
bool RunBands::Gather(std::int32_t band, std::int32_t first, std::int32_t count,
                      const std::uint8_t* rows) {
    const auto bandBytes = static_cast<std::size_t>(plan_.RowsOf(band) * plan_.rowBytes);
    Gathering* gathering = nullptr;
    {
        const std::lock_guard lock(mutex_);
        if (failed_) {
            return false;
        }
        const auto [at, added] = gathering_.try_emplace(band);
        if (added) {
            at->second.rows.reset(new (std::nothrow) std::uint8_t[bandBytes]);
            if (!at->second.rows) {
                gathering_.erase(at);
                failed_ = true;
                return false;
            }
        }
        gathering = &at->second;
    }
    const std::int64_t offset = (first - band * plan_.bandRows) * plan_.rowBytes;
    std::memcpy(gathering->rows.get() + offset, rows, std::size_t(count * plan_.rowBytes));
    std::unique_ptr<std::uint8_t[]> whole;
    {
        const std::lock_guard lock(mutex_);
        gathering->received += count;
        if (gathering->received < plan_.RowsOf(band)) {
            return !failed_;
        }
        whole = std::move(gathering->rows);
        gathering_.erase(band);
    }
    return Encode(band, {whole.get(), bandBytes});
}

bool RunBands::Encode(std::int32_t band, std::span<const std::uint8_t> rows) {
    std::vector<std::uint8_t> bytes;
    {
        const std::lock_guard lock(mutex_);
        if (failed_) {
            return false;
        }
        if (!spare_.empty()) {
            bytes = std::move(spare_.back());
            spare_.pop_back();
        }
    }
    if (!encode_(band, rows, bytes)) {
        const std::lock_guard lock(mutex_);
        failed_ = true;
        return false;
    }
    return Emit(band, std::move(bytes));
}

bool RunBands::Emit(std::int32_t band, std::vector<std::uint8_t> bytes) {
    std::unique_lock lock(mutex_);
    done_.emplace(band, std::move(bytes));
    if (emitting_) {
        return !failed_; // the thread handing bands on takes this one in its turn
    }
    emitting_ = true;
    while (!failed_) {
        auto waiting = done_.extract(next_);
        if (waiting.empty()) {
            break;
        }
        const std::int32_t index = next_;
        lock.unlock();
        const bool ok = emit_(index, waiting.mapped());
        lock.lock();
        spare_.push_back(std::move(waiting.mapped()));
        failed_ = failed_ || !ok;
        ++next_;
    }
    emitting_ = false;
    return !failed_;
}
