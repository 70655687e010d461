// The curves at the scan's depth are the ones the rows went through: 256
// entries of 0..255 for 8-bit samples, 65536 of 0..65535 for 16-bit ones.
#include "scan/ScanProfile.h"

#include "curve/ChannelCurve.h"
#include "curve/FilmTables.h"
#include "image/formats/ChannelTables.h"
#include "image/formats/ColourProfile.h"
#include "image/rows/SampleImage.h"
#include "io/WholeFile.h"

namespace {

// A profile holds its own size in a 32-bit field; none this program takes
// comes near this.
constexpr std::int64_t kMaxProfileBytes = std::int64_t{64} << 20;
constexpr std::size_t kEntries8 = 256;
constexpr std::size_t kEntries16 = 65536;

} // namespace

Outcome<std::vector<std::uint8_t>> ReadProfileFile(const std::filesystem::path& path) {
    WholeFile file = ReadWholeFile(path, kMaxProfileBytes, "an ICC profile");
    if (file.why) {
        return file.why;
    }
    if (Reason refused = CheckProfile(file.bytes)) {
        return refused;
    }
    return std::move(file.bytes);
}

Outcome<std::vector<std::uint8_t>> ScanFileProfile(std::span<const std::uint8_t> inputProfile,
                                                   const std::optional<ChannelParamsSet>& curves,
                                                   int depth) {
    if (!curves) {
        return std::vector<std::uint8_t>(inputProfile.begin(), inputProfile.end());
    }
    if (inputProfile.empty()) {
        return std::vector<std::uint8_t>{};
    }
    const bool wide = depth == kWordDepth;
    const int maxLevel = SampleLayout{0, 0, kRgbChannels, depth}.MaxLevel();
    std::array<std::vector<std::uint16_t>, kChannelCount> tables;
    std::array<std::span<const std::uint16_t>, kChannelCount> spans;
    // A negative's file holds its positive: the profile is rewritten for the
    // curve alone, the positive's linear light taken in the scanner's colorants.
    const ChannelParamsSet positive = CurvesAlone(*curves);
    for (std::size_t c = 0; c < kChannelCount; ++c) {
        tables[c].resize(wide ? kEntries16 : kEntries8);
        ComputeChannelCurve(positive[c], tables[c], maxLevel);
        spans[c] = tables[c];
    }
    // A grey page goes through the green curve, and its grey profile stays
    // grey; the writer makes it RGB for colour rows.
    const ChannelTables channelTables = ChannelTablesOf(spans, maxLevel);
    const auto levels = static_cast<std::size_t>(maxLevel) + 1;
    return ProfileFits(inputProfile, 1)
               ? GreyProfileAfterTables(inputProfile, channelTables, levels)
               : ProfileAfterTables(inputProfile, channelTables, levels);
}
