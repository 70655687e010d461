// Views of a source that the writers and the window take: a scan's samples
// as the window's R, G, B, 255 levels, and any source upright.
#pragma once

#include "image/kernels/ScanLevels.h"
#include "image/rows/StoredRows.h"

#include <cstdint>
#include <vector>

// A source seen through another: the view's own layout, and what the view
// does not change (the colours, the order of reads, the memory held, the
// resolution and profile, the orientation, the warning)
// forwarded to the source, which must outlive the view.
class RowView : public RowSource {
public:
    explicit RowView(const RowSource& source) : source_(&source), layout_(source.Layout()) {}

    const RowLayout& Layout() const override { return layout_; }
    const Palette& Colours() const override { return source_->Colours(); }
    bool Sequential() const override { return source_->Sequential(); }
    std::int64_t HeldBytes() const override { return source_->HeldBytes(); }
    ImageMeta Meta() const override { return source_->Meta(); }
    std::int32_t Orientation() const override { return source_->Orientation(); }
    Reason Warning() const override { return source_->Warning(); }

protected:
    const RowSource* source_;
    RowLayout layout_;
};

// A grey or RGB scan source as kRgbx32 rows of 8-bit levels, read into the
// scratch behind the converted rows.
class LevelRows final : public RowView {
public:
    explicit LevelRows(const RowSource& source);

    std::int64_t ScratchBytes(std::int32_t count) const override;
    FetchedRows Rows(std::int32_t first, std::int32_t count, std::uint8_t* scratch) const override;

private:
    LevelKernel kernel_;
    std::vector<std::uint8_t> levels_;
};

// Stored rows in upright order (row 0 the image's top) whatever the source's:
// a bottom-up source's runs are read from the end and walked backwards.
class UprightRows final : public RowView {
public:
    explicit UprightRows(const RowSource& source);

    std::int64_t ScratchBytes(std::int32_t count) const override {
        return source_->ScratchBytes(count);
    }
    FetchedRows Rows(std::int32_t first, std::int32_t count, std::uint8_t* scratch) const override;
};

// True for the formats LevelRows takes.
bool IsScanFormat(const RowFormat& format);
