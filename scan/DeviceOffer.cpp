// The source is set first: a feeder's bed, resolutions and modes may differ
// from the flatbed's, and the device reloads its options when it changes.
#include "scan/DeviceOffer.h"

#include "scan/RoundingProbe.h"

#include <algorithm>
#include <cstdlib>

namespace {

constexpr int kFixedShift = 16;

int DpiOf(const OptionDescriptor& option, std::int32_t word) {
    return option.type == OptionType::Fixed ? word >> kFixedShift : word;
}

std::int32_t WordOfDpi(const OptionDescriptor& option, int dpi) {
    return option.type == OptionType::Fixed ? dpi << kFixedShift : dpi;
}

std::optional<ScanArea> AreaNow(SaneDevice& device, const BedGeometry& bed) {
    const auto tlx = device.Words(kTopLeftXOption);
    const auto tly = device.Words(kTopLeftYOption);
    const auto brx = device.Words(kBottomRightXOption);
    const auto bry = device.Words(kBottomRightYOption);
    if (!tlx || !tly || !brx || !bry || tlx->empty() || tly->empty() || brx->empty() ||
        bry->empty()) {
        return std::nullopt;
    }
    return Constrained(bed,
                       AreaOfWords(bed, {tlx->front(), tly->front(), brx->front(), bry->front()}));
}

void ReadSources(SaneDevice& device, DeviceOffer& offer) {
    const auto source = device.Find(kSourceOption);
    if (!source || !source->active) {
        return;
    }
    if (const auto* list = std::get_if<OptionStringList>(&source->constraint)) {
        offer.sources = *list;
    }
}

} // namespace

int ProbeDpiOf(const DeviceChoices& choices) {
    constexpr int kUsualDpi = 300;
    int best = 0;
    for (const int dpi : choices.resolutions) {
        if (best == 0 || std::abs(dpi - kUsualDpi) < std::abs(best - kUsualDpi)) {
            best = dpi;
        }
    }
    return best;
}

int PreviewDpiOf(const std::optional<OptionDescriptor>& resolution) {
    if (!resolution) {
        return 0;
    }
    if (const auto* list = std::get_if<OptionWordList>(&resolution->constraint)) {
        std::vector<int> dpis;
        for (const std::int32_t word : *list) {
            dpis.push_back(DpiOf(*resolution, word));
        }
        std::sort(dpis.begin(), dpis.end());
        const auto found = std::lower_bound(dpis.begin(), dpis.end(), kLowestPreviewDpi);
        return found != dpis.end() ? *found : (dpis.empty() ? 0 : dpis.back());
    }
    if (const auto* range = std::get_if<OptionRange>(&resolution->constraint)) {
        const std::int64_t step = std::max<std::int32_t>(range->quant, 1);
        const std::int64_t wanted = std::clamp<std::int64_t>(
            WordOfDpi(*resolution, kLowestPreviewDpi), range->min, range->max);
        // Up to the next step, so the resolution is the one the device scans at.
        std::int64_t word = range->min + (wanted - range->min + step - 1) / step * step;
        word = word > range->max ? word - step : word;
        return DpiOf(*resolution, static_cast<std::int32_t>(word));
    }
    return 0;
}

namespace {

// The bed, the area set now and how the device rounds an area, once the
// choices are known (the rounding is probed at one of its resolutions).
void ReadBed(SaneDevice& scanner, DeviceOffer& offer) {
    const OptionList options = scanner.Options();
    if (!options.reason) {
        const BedRead bed = BedGeometryOf(options.options);
        if (!bed.reason) {
            offer.bed = bed.bed;
        }
    }
    if (offer.bed) {
        offer.area = AreaNow(scanner, *offer.bed);
        offer.rounding = ProbeRounding(scanner, *offer.bed, ProbeDpiOf(offer.choices));
    }
}

// What else a preview is scanned with: the device's own preview switch
// where it has one, and a mode of colour.
void ReadPreview(SaneDevice& scanner, DeviceOffer& offer) {
    const auto preview = scanner.Find(kPreviewOption);
    offer.hasPreview =
        preview && preview->active && preview->settable && preview->type == OptionType::Bool;
    for (const std::string& mode : offer.choices.modes) {
        if (mode != "Gray" && mode != "gray") {
            offer.colourMode = mode;
        }
    }
}

} // namespace

OfferRead ReadOffer(const SaneSession& session, const std::string& device,
                    const std::string& source) {
    OfferRead read;
    DeviceOpen open = session.Open(device);
    if ((read.reason = open.reason)) {
        return read;
    }
    SaneDevice& scanner = *open.device;
    DeviceOffer& offer = read.offer;
    ReadSources(scanner, offer);
    if (!source.empty() && !offer.sources.empty()) {
        if ((read.reason = scanner.Set(kSourceOption, source))) {
            return read;
        }
    }
    if (!offer.sources.empty()) {
        // Without a choice the list's first entry, the one devices start with.
        offer.source = source.empty() ? offer.sources.front() : source;
    }
    offer.choices = ChoicesOf(scanner);
    offer.previewDpi = PreviewDpiOf(scanner.Find(kResolutionOption));
    ReadBed(scanner, offer);
    ReadPreview(scanner, offer);
    return read;
}

void AddSourceFirst(ScanSettings& settings, const DeviceOffer& offer) {
    if (offer.sources.empty() || offer.source.empty()) {
        return;
    }
    settings.options.emplace_back(kSourceOption, offer.source);
    // A scan job sets mode, depth and resolution before the other options;
    // a device may reset them when its source changes, so they follow the
    // source once more.
    if (settings.mode) {
        settings.options.emplace_back(kModeOption, *settings.mode);
    }
    if (settings.depth) {
        settings.options.emplace_back(kDepthOption, std::to_string(*settings.depth));
    }
    if (settings.resolution) {
        settings.options.emplace_back(kResolutionOption, *settings.resolution);
    }
}

ScanSettings PreviewSettings(const std::string& device, const DeviceOffer& offer) {
    ScanSettings settings;
    settings.device = device;
    if (!offer.colourMode.empty()) {
        settings.mode = offer.colourMode;
    }
    if (std::find(offer.choices.depths.begin(), offer.choices.depths.end(), 8) !=
        offer.choices.depths.end()) {
        settings.depth = 8;
    }
    if (offer.previewDpi > 0) {
        settings.resolution = std::to_string(offer.previewDpi);
    }
    AddSourceFirst(settings, offer);
    if (offer.hasPreview) {
        settings.options.emplace_back(kPreviewOption, "yes");
    }
    if (offer.bed) {
        settings.area = offer.bed->Whole();
    }
    return settings;
}
