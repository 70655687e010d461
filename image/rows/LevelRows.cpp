// Level rows first in the scratch, the source's own rows after them; the
// upright view of a bottom-up source reverses each run by a negative stride.
#include "image/rows/LevelRows.h"

namespace {

constexpr std::int64_t kLevelBytes = 4;

} // namespace

bool IsScanFormat(const RowFormat& format) {
    return LevelKernelFor(format) != nullptr;
}

LevelRows::LevelRows(const RowSource& source)
    : RowView(source), kernel_(LevelKernelFor(layout_.Format)),
      levels_(SampleLevels8(layout_.MaxValue, layout_.Format.BitsPerSample)) {
    layout_.Format = kRgbx32;
    layout_.Stride = std::int64_t{layout_.Width} * kLevelBytes;
    layout_.MaxValue = kMaxSample8;
}

std::int64_t LevelRows::ScratchBytes(std::int32_t count) const {
    return count * layout_.Stride + source_->ScratchBytes(count);
}

FetchedRows LevelRows::Rows(std::int32_t first, std::int32_t count, std::uint8_t* scratch) const {
    FetchedRows stored = source_->Rows(first, count, scratch + count * layout_.Stride);
    if (stored.Why) {
        return stored;
    }
    kernel_({stored.First, source_->Layout().Stride, scratch, layout_.Stride, count, layout_.Width},
            levels_);
    return {scratch, {}};
}

UprightRows::UprightRows(const RowSource& source) : RowView(source) {
    if (layout_.BottomUp) {
        layout_.BottomUp = false;
        layout_.Stride = -layout_.Stride;
    }
}

FetchedRows UprightRows::Rows(std::int32_t first, std::int32_t count, std::uint8_t* scratch) const {
    const RowLayout& stored = source_->Layout();
    if (!stored.BottomUp) {
        return source_->Rows(first, count, scratch);
    }
    FetchedRows rows = source_->Rows(stored.Height - first - count, count, scratch);
    if (!rows.Why) {
        rows.First += (count - 1) * stored.Stride;
    }
    return rows;
}
