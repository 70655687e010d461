// Netpbm binary formats: "P5" or "P6", then width, height and maxval as
// ASCII decimals, then one whitespace byte; rows follow without padding,
// one byte per sample for maxval < 256 and two big-endian bytes otherwise.
#include "image/formats/PnmRows.h"

#include <algorithm>
#include <limits>
#include <vector>

namespace {

constexpr std::int64_t kHeadBytes = 4096; // room for long comment lines
constexpr std::uint8_t kMagic = 'P';
constexpr std::uint8_t kGreyKind = '5';
constexpr std::uint8_t kRgbKind = '6';
// P1..P4 are plain text and bitmaps, P7 the arbitrary map (PAM).
constexpr std::uint8_t kFirstKind = '1';
constexpr std::uint8_t kLastKind = '7';
constexpr std::uint8_t kComment = '#';
constexpr std::int64_t kMaxDimension = std::numeric_limits<std::int32_t>::max();

bool IsSpace(std::uint8_t c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

bool IsDigit(std::uint8_t c) {
    return c >= '0' && c <= '9';
}

class HeadReader {
public:
    explicit HeadReader(std::span<const std::uint8_t> head) : head_(head) {}

    // Skips whitespace and comments; false when the head ends.
    bool SkipGaps() {
        while (at_ < head_.size()) {
            if (head_[at_] == kComment) {
                while (at_ < head_.size() && head_[at_] != '\n' && head_[at_] != '\r') {
                    ++at_;
                }
            } else if (IsSpace(head_[at_])) {
                ++at_;
            } else {
                return true;
            }
        }
        return false;
    }

    // A decimal number held below `limit` + 1; its reason otherwise.
    Outcome<std::int64_t> Number(std::int64_t limit) {
        if (!SkipGaps()) {
            return Reason(ReasonCode::Truncated);
        }
        std::int64_t value = 0;
        const std::size_t start = at_;
        while (at_ < head_.size() && IsDigit(head_[at_])) {
            value = std::min(value * 10 + (head_[at_] - '0'), limit + 1);
            ++at_;
        }
        if (at_ == start || value < 1 || value > limit) {
            return Reason(ReasonCode::BadHeader);
        }
        if (at_ == head_.size()) {
            return Reason(ReasonCode::Truncated); // the byte that ends it is missing
        }
        return value;
    }

    // After maxval: exactly one whitespace byte, then the samples.
    Outcome<std::int64_t> DataOffset() {
        if (!IsSpace(head_[at_])) {
            return Reason(ReasonCode::BadHeader);
        }
        return static_cast<std::int64_t>(at_ + 1);
    }

private:
    std::span<const std::uint8_t> head_;
    std::size_t at_ = 2;
};

} // namespace

Outcome<PnmHeader> ParsePnmHeader(std::span<const std::uint8_t> head, bool wholeFile) {
    if (head.size() < 2 || head[0] != kMagic) {
        return Reason(ReasonCode::NotThisFormat, 0, "PNM");
    }
    if (head[1] < kFirstKind || head[1] > kLastKind) {
        return Reason(ReasonCode::NotThisFormat, 0, "PNM");
    }
    if (head[1] != kGreyKind && head[1] != kRgbKind) {
        return Reason(RefusedImage::PnmKind, std::string(1, char(head[1])));
    }
    PnmHeader header;
    header.Samples = head[1] == kGreyKind ? 1 : 3;
    HeadReader reader(head);
    const Outcome<std::int64_t> width = reader.Number(kMaxDimension);
    const Outcome<std::int64_t> height = width ? reader.Number(kMaxDimension) : width;
    const Outcome<std::int64_t> maxValue = height ? reader.Number(kMaxSample16) : height;
    if (!maxValue) {
        const bool cut = maxValue.Why().Code == ReasonCode::Truncated;
        return cut && !wholeFile ? Reason(ReasonCode::BadHeader) : maxValue.Why();
    }
    const Outcome<std::int64_t> offset = reader.DataOffset();
    if (!offset) {
        return offset.Why();
    }
    header.Width = static_cast<std::int32_t>(*width);
    header.Height = static_cast<std::int32_t>(*height);
    header.MaxValue = static_cast<std::int32_t>(*maxValue);
    header.DataOffset = *offset;
    return header;
}

PnmRows::PnmRows(const ByteSource& source, const PnmHeader& header)
    : source_(&source), dataOffset_(header.DataOffset) {
    const bool wide = header.MaxValue > kMaxSample8;
    if (header.Samples == 1) {
        layout_.Format = wide ? kGrey16Be : kGrey8;
    } else {
        layout_.Format = wide ? kRgb48Be : kRgb24;
    }
    layout_.Width = header.Width;
    layout_.Height = header.Height;
    layout_.Stride = layout_.RowBytes();
    layout_.MaxValue = header.MaxValue;
}

Outcome<PnmRows> PnmRows::Open(const ByteSource& source) {
    const std::int64_t length = source.Length();
    if (length < 0) {
        return Reason(ReasonCode::ReadFailed);
    }
    std::vector<std::uint8_t> head(static_cast<std::size_t>(std::min(length, kHeadBytes)));
    if (Reason failed = ReadAll(source, 0, head.data(), std::int64_t(head.size()))) {
        return failed;
    }
    const Outcome<PnmHeader> header = ParsePnmHeader(head, length <= kHeadBytes);
    if (!header) {
        return header.Why();
    }
    PnmRows rows(source, *header);
    // Rows below 6 * 2^31 bytes; divided, so that no product overflows.
    const std::int64_t room = length - header->DataOffset;
    if (room < 0 || header->Height > room / rows.layout_.Stride) {
        return Reason(ReasonCode::Truncated);
    }
    return rows;
}

FetchedRows PnmRows::Rows(std::int32_t first, std::int32_t count, std::uint8_t* scratch) const {
    const std::int64_t bytes = count * layout_.Stride;
    Reason failed = ReadAll(*source_, dataOffset_ + first * layout_.Stride, scratch, bytes);
    if (failed) {
        return {nullptr, std::move(failed)};
    }
    return {scratch, {}};
}
