// Two probes per axis suffice: a count ending in .75 is cut to n by
// rounding down and raised to n + 1 by the others; one ending in .25 is
// raised to n + 1 only by rounding up. Candidate sizes are taken on the
// axis's own steps, so the device holds exactly the area probed.
#include "scan/RoundingProbe.h"

#include "scan/ScanJob.h"

#include <array>
#include <cmath>
#include <optional>

namespace {

constexpr double kFirstProbeMm = 10;
constexpr double kProbeStrideMm = 0.37; // walks the fractions quickly whatever the dpi
constexpr int kProbeCandidates = 400;
constexpr double kLowFraction[2] = {0.1, 0.4};  // what only rounding up raises
constexpr double kHighFraction[2] = {0.6, 0.9}; // what only rounding down cuts

// Exact pixels of `words` (two edges) on an axis at `dpi`.
double ExactPixels(const BedGeometry& bed, const BedAxis& axis, std::int32_t low, std::int32_t high,
                   int dpi) {
    return (bed.Mm(axis, high) - bed.Mm(axis, low)) / kMmPerInch * dpi;
}

// The far edge of a probe from the axis's start whose exact count has a
// fraction within [band[0], band[1]]; none on a bed too small for one.
std::optional<std::int32_t> ProbeEdge(const BedGeometry& bed, const BedAxis& axis, int dpi,
                                      const double (&band)[2]) {
    const std::int32_t start = axis.range.min;
    const double stride = std::max(kProbeStrideMm, bed.StepMm(axis));
    for (int i = 0; i < kProbeCandidates; ++i) {
        const std::int32_t edge = bed.Word(axis, bed.Mm(axis, start) + kFirstProbeMm + i * stride);
        const double exact = ExactPixels(bed, axis, start, edge, dpi);
        const double fraction = exact - std::floor(exact);
        if (edge > start && fraction >= band[0] && fraction <= band[1]) {
            return edge;
        }
    }
    return std::nullopt;
}

// The page size the device announces for the area `words`, or none.
std::optional<SANE_Parameters> Announced(SaneDevice& device,
                                         const std::array<std::int32_t, 4>& words) {
    const char* names[] = {kTopLeftXOption, kTopLeftYOption, kBottomRightXOption,
                           kBottomRightYOption};
    // The corner first: at the lowest words it never passes the far edges.
    for (std::size_t i = 0; i < words.size(); ++i) {
        if (device.Set(names[i], OptionValue{{words[i]}, {}})) {
            return std::nullopt;
        }
    }
    SANE_Parameters p{};
    if (sane_get_parameters(device.Handle(), &p) != SANE_STATUS_GOOD || p.pixels_per_line <= 0) {
        return std::nullopt;
    }
    return p;
}

struct Saved {
    std::vector<std::pair<const char*, std::vector<std::int32_t>>> words;
};

Saved Save(SaneDevice& device) {
    Saved saved;
    for (const char* name : {kResolutionOption, kTopLeftXOption, kTopLeftYOption,
                             kBottomRightXOption, kBottomRightYOption}) {
        if (auto words = device.Words(name)) {
            saved.words.emplace_back(name, std::move(*words));
        }
    }
    return saved;
}

void Restore(SaneDevice& device, const Saved& saved) {
    for (int pass = 0; pass < 2; ++pass) { // the edges cannot cross on the way
        for (const auto& [name, words] : saved.words) {
            device.Set(name, OptionValue{words, {}});
        }
    }
}

} // namespace

PixelRounding RoundingOf(double highExact, std::int64_t highAnnounced, double lowExact,
                         std::int64_t lowAnnounced) {
    if (highAnnounced <= static_cast<std::int64_t>(std::floor(highExact))) {
        return PixelRounding::Down;
    }
    return lowAnnounced > static_cast<std::int64_t>(std::floor(lowExact)) ? PixelRounding::Up
                                                                          : PixelRounding::Nearest;
}

PixelRoundings ProbeRounding(SaneDevice& device, const BedGeometry& bed, int dpi) {
    const auto highX = ProbeEdge(bed, bed.x, dpi, kHighFraction);
    const auto highY = ProbeEdge(bed, bed.y, dpi, kHighFraction);
    const auto lowX = ProbeEdge(bed, bed.x, dpi, kLowFraction);
    const auto lowY = ProbeEdge(bed, bed.y, dpi, kLowFraction);
    const auto resolution = device.Find(kResolutionOption);
    if (!highX || !highY || !lowX || !lowY || !resolution || dpi <= 0) {
        return {};
    }
    const Saved saved = Save(device);
    const std::int32_t dpiWord = resolution->type == OptionType::Fixed ? FixedOf(dpi) : dpi;
    PixelRoundings found;
    if (!device.Set(kResolutionOption, OptionValue{{dpiWord}, {}})) {
        const std::int32_t x0 = bed.x.range.min;
        const std::int32_t y0 = bed.y.range.min;
        const auto high = Announced(device, {x0, y0, *highX, *highY});
        const auto low = Announced(device, {x0, y0, *lowX, *lowY});
        if (high && low && high->lines > 0 && low->lines > 0) {
            found.across =
                RoundingOf(ExactPixels(bed, bed.x, x0, *highX, dpi), high->pixels_per_line,
                           ExactPixels(bed, bed.x, x0, *lowX, dpi), low->pixels_per_line);
            found.down = RoundingOf(ExactPixels(bed, bed.y, y0, *highY, dpi), high->lines,
                                    ExactPixels(bed, bed.y, y0, *lowY, dpi), low->lines);
        }
    }
    Restore(device, saved);
    return found;
}
