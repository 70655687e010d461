// The stored rows of a binary PNM file (P5 grey, P6 RGB): its header read and
// checked against the file's length once, then any run of rows read at its
// place, 16-bit samples as stored (big-endian; the kernels swap them).
#pragma once

#include "image/Outcome.h"
#include "image/rows/ByteSource.h"
#include "image/rows/StoredRows.h"

#include <cstdint>
#include <span>

struct PnmHeader {
    std::int32_t Samples = 3; // 1 for P5, 3 for P6
    std::int32_t Width = 0;
    std::int32_t Height = 0;
    std::int32_t MaxValue = 0;
    std::int64_t DataOffset = 0; // the first sample's position
};

// Parses "P5"/"P6", width, height and maxval, separated by whitespace and
// '#' comments running to the end of a line, then the one whitespace byte
// before the samples. NotThisFormat ("PNM") without a P magic and a kind
// digit 1..7; Refused (PnmKind) for the other kinds (plain text, bitmaps, PAM); BadHeader for a
// missing or zero number, a maxval outside 1..65535 or a size past 2^31 - 1; Truncated when the
// head ends first.
Outcome<PnmHeader> ParsePnmHeader(std::span<const std::uint8_t> head, bool wholeFile);

class PnmRows final : public RowSource {
public:
    // The header's reason, Truncated when the samples end past the file, or
    // ReadFailed. `source` must outlive the rows and not change.
    static Outcome<PnmRows> Open(const ByteSource& source);

    const RowLayout& Layout() const override { return layout_; }
    const Palette& Colours() const override { return kNoColours; }
    std::int64_t ScratchBytes(std::int32_t count) const override { return count * layout_.Stride; }
    FetchedRows Rows(std::int32_t first, std::int32_t count, std::uint8_t* scratch) const override;

private:
    PnmRows(const ByteSource& source, const PnmHeader& header);

    static constexpr Palette kNoColours{};
    const ByteSource* source_;
    std::int64_t dataOffset_;
    RowLayout layout_;
};
