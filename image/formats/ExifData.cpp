// The TIFF structure inside EXIF: "II" (little-endian) or "MM"
// (big-endian), the number 42, then the offset of the first image file
// directory (IFD0), all offsets counted from the "II"/"MM". A directory is a
// 16-bit count of 12-byte entries: tag, type, count, and the value itself
// when it fits in 4 bytes, else the offset of the value.
#include "image/formats/ExifData.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace {

constexpr std::string_view kExifHeader{"Exif\0\0", 6};
constexpr std::uint32_t kTiffMagic = 42;
constexpr std::size_t kEntryBytes = 12;
constexpr std::size_t kCountBytes = 2;
constexpr std::size_t kValueAt = 8; // within an entry
constexpr std::uint16_t kOrientationTag = 274;
constexpr std::uint16_t kXResolutionTag = 282;
constexpr std::uint16_t kYResolutionTag = 283;
constexpr std::uint16_t kResolutionUnitTag = 296;
constexpr std::uint16_t kShortType = 3;
constexpr std::uint16_t kRationalType = 5;
constexpr std::uint16_t kUnitInch = 2;
constexpr std::uint16_t kUnitCentimetre = 3;
constexpr std::int32_t kLastExifOrientation = 8;
constexpr double kExifCentimetresPerInch = 2.54;

// The TIFF structure's bytes, read in its own byte order; every read
// outside them gives nullopt.
class TiffBytes {
public:
    explicit TiffBytes(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    bool Start() {
        if (bytes_.size() < 2 || bytes_[0] != bytes_[1] || (bytes_[0] != 'I' && bytes_[0] != 'M')) {
            return false;
        }
        big_ = bytes_[0] == 'M';
        return Number(2, 2) == kTiffMagic;
    }

    std::optional<std::uint32_t> Number(std::size_t at, std::size_t size) const {
        if (at > bytes_.size() || size > bytes_.size() - at) {
            return std::nullopt;
        }
        std::uint32_t value = 0;
        for (std::size_t i = 0; i < size; ++i) {
            const std::uint32_t byte = bytes_[at + (big_ ? i : size - 1 - i)];
            value = value << 8 | byte;
        }
        return value;
    }

private:
    std::span<const std::uint8_t> bytes_;
    bool big_ = false;
};

struct Entry {
    std::uint16_t type = 0;
    std::size_t valueAt = 0; // where the entry's 4-byte value field stands
};

// numerator / denominator at `offset`; nullopt unless both are positive.
std::optional<double> Rational(const TiffBytes& tiff, const Entry& entry) {
    const std::optional<std::uint32_t> offset = tiff.Number(entry.valueAt, 4);
    if (entry.type != kRationalType || !offset) {
        return std::nullopt;
    }
    const std::optional<std::uint32_t> numerator = tiff.Number(*offset, 4);
    const std::optional<std::uint32_t> denominator = tiff.Number(std::size_t{*offset} + 4, 4);
    if (!numerator || !denominator || *numerator == 0 || *denominator == 0) {
        return std::nullopt;
    }
    return double(*numerator) / double(*denominator);
}

std::optional<std::uint32_t> Short(const TiffBytes& tiff, const Entry& entry) {
    return entry.type == kShortType ? tiff.Number(entry.valueAt, 2) : std::nullopt;
}

// The first directory's entries for the four tags read here.
std::array<std::optional<Entry>, 4> FindEntries(const TiffBytes& tiff) {
    constexpr std::array<std::uint16_t, 4> kTags = {kOrientationTag, kXResolutionTag,
                                                    kYResolutionTag, kResolutionUnitTag};
    std::array<std::optional<Entry>, 4> found;
    const std::optional<std::uint32_t> directory = tiff.Number(4, 4);
    const std::optional<std::uint32_t> count = directory ? tiff.Number(*directory, 2) : directory;
    for (std::uint32_t i = 0; count && i < *count; ++i) {
        const std::size_t at = std::size_t{*directory} + kCountBytes + i * kEntryBytes;
        const std::optional<std::uint32_t> tag = tiff.Number(at, 2);
        const std::optional<std::uint32_t> type = tiff.Number(at + 2, 2);
        if (!tag || !type) {
            break; // the directory runs past the block
        }
        const auto which = std::find(kTags.begin(), kTags.end(), *tag);
        if (which != kTags.end()) {
            found[std::size_t(which - kTags.begin())] =
                Entry{static_cast<std::uint16_t>(*type), at + kValueAt};
        }
    }
    return found;
}

std::optional<Resolution> ResolutionOf(const TiffBytes& tiff,
                                       const std::array<std::optional<Entry>, 4>& entries) {
    const std::optional<double> x = entries[1] ? Rational(tiff, *entries[1]) : std::nullopt;
    const std::optional<double> y = entries[2] ? Rational(tiff, *entries[2]) : std::nullopt;
    const std::uint32_t unit =
        entries[3] ? Short(tiff, *entries[3]).value_or(0) : std::uint32_t{kUnitInch};
    if (!x || !y || (unit != kUnitInch && unit != kUnitCentimetre)) {
        return std::nullopt; // unit 1 gives an aspect ratio only
    }
    const double scale = unit == kUnitCentimetre ? kExifCentimetresPerInch : 1.0;
    return Resolution{*x * scale, *y * scale};
}

} // namespace

ExifFacts ReadExif(std::span<const std::uint8_t> app1) {
    ExifFacts facts;
    if (app1.size() < kExifHeader.size() ||
        !std::equal(kExifHeader.begin(), kExifHeader.end(), app1.begin())) {
        return facts;
    }
    TiffBytes tiff(app1.subspan(kExifHeader.size()));
    if (!tiff.Start()) {
        return facts;
    }
    const std::array<std::optional<Entry>, 4> entries = FindEntries(tiff);
    const std::uint32_t orientation =
        entries[0] ? Short(tiff, *entries[0]).value_or(kUpright) : std::uint32_t{kUpright};
    if (orientation >= std::uint32_t{kUpright} &&
        orientation <= std::uint32_t{kLastExifOrientation}) {
        facts.orientation = static_cast<std::int32_t>(orientation);
    }
    facts.resolution = ResolutionOf(tiff, entries);
    return facts;
}
