// The order of a scan: device, settings, tables, page; the first failure
// ends it with its reason, and the device is closed whatever happened.
#include "scan/ScanJob.h"

#include "curve/FilmTables.h"
#include "scan/DeviceTables.h"
#include "scan/OptionListing.h"
#include "scan/PreparedScan.h"
#include "scan/ScanSource.h"
#include "scan/SoftwareCurves.h"

#include <cerrno>

namespace {

Reason PickDevice(const SaneSession& session, std::string& device) {
    if (!device.empty()) {
        return {};
    }
    const DeviceList list = session.Devices();
    if (list.reason) {
        return list.reason;
    }
    if (list.devices.empty()) {
        return {ReasonCode::CannotOpen, ENODEV, "no scanner found"};
    }
    device = list.devices.front().name;
    return {};
}

// A resolution the device does not take is the caller's choice, not a
// failure of the device: the reason names what the device takes.
Reason SetResolution(SaneDevice& device, const std::string& dpi) {
    const Reason reason = device.Set(kResolutionOption, dpi);
    const std::optional<OptionDescriptor> option =
        reason.Code == ReasonCode::Unsupported ? device.Find(kResolutionOption) : std::nullopt;
    if (!option || !option->active) {
        return reason;
    }
    return {ReasonCode::Unsupported, 0,
            std::string(kResolutionOption) + ": " + dpi + " is not one the device takes (" +
                ConstraintText(*option) + ")"};
}

Reason ApplyOptions(SaneDevice& device, const ScanSettings& settings, bool& refused) {
    std::vector<std::pair<std::string, std::string>> first;
    if (settings.mode) {
        first.emplace_back(kModeOption, *settings.mode);
    }
    if (settings.depth) {
        first.emplace_back(kDepthOption, std::to_string(*settings.depth));
    }
    for (const auto& [name, value] : first) {
        if (Reason reason = device.Set(name, value)) {
            return reason;
        }
    }
    if (settings.resolution) {
        if (Reason reason = SetResolution(device, *settings.resolution)) {
            refused = reason.Code == ReasonCode::Unsupported;
            return reason;
        }
    }
    for (const auto& [name, value] : settings.options) {
        if (Reason reason = device.Set(name, value)) {
            return reason;
        }
    }
    return {};
}

// A refused source, resolution or area is the caller's choice, not a
// failure of the device: `refused` says so.
Reason ApplySettings(SaneDevice& device, const ScanSettings& settings, bool& refused) {
    if (settings.source) {
        if (Reason reason = SetSource(device, *settings.source)) {
            refused = reason.Code == ReasonCode::Unsupported;
            return reason;
        }
    }
    if (Reason reason = ApplyOptions(device, settings, refused)) {
        return reason;
    }
    if (settings.area) {
        if (Reason reason = SetScanArea(device, *settings.area)) {
            refused = reason.Code == ReasonCode::Unsupported;
            return reason;
        }
    }
    return {};
}

// Where the device takes no tables for these curves it scans linearly and
// the rows are mapped afterwards.
Reason LoadTables(SaneDevice& device, const ScanSettings& settings, ScanOutcome& outcome) {
    if (!settings.curves) {
        return LoadLinear(device);
    }
    const TablesLoad load = LoadCurveTables(device, *settings.curves);
    if (load.reason) {
        return load.reason;
    }
    outcome.curvesInSoftware = load.loaded == TablesLoaded::NotTaken;
    outcome.narrowNegative = !outcome.curvesInSoftware && HasFilm(*settings.curves) &&
                             load.entries <= kWindowShape.entries;
    return outcome.curvesInSoftware ? LoadLinear(device) : Reason{};
}

} // namespace

std::optional<SaneDevice> PrepareScan(const SaneSession& session, const ScanSettings& settings,
                                      ScanOutcome& outcome) {
    outcome.device = settings.device;
    if ((outcome.reason = PickDevice(session, outcome.device))) {
        return std::nullopt;
    }
    DeviceOpen open = session.Open(outcome.device);
    if ((outcome.reason = open.reason)) {
        return std::nullopt;
    }
    SaneDevice& device = *open.device;
    if ((outcome.reason = ApplySettings(device, settings, outcome.settingRefused)) ||
        (outcome.reason = LoadTables(device, settings, outcome))) {
        return std::nullopt;
    }
    outcome.resolution = ResolutionOf(device);
    return std::move(open.device);
}

Reason ScanThroughCurves(SaneDevice& device, const ScanSettings& settings, bool inSoftware,
                         const std::atomic<bool>& cancel, const ScanProgress& progress,
                         const PageUse& use, AfterPage after) {
    if (!inSoftware) {
        return ScanPage(device, cancel, progress, use, after);
    }
    return ScanPage(
        device, cancel, progress,
        [&](const SampleLayout& layout, const PageReader& read) {
            const RowCurves curves(*settings.curves, layout);
            return use(layout, [&](const PageRowSink& sink) {
                return read([&](std::span<std::uint8_t> rows) {
                    curves.Map(rows);
                    return sink(rows);
                });
            });
        },
        after);
}

ScanOutcome RunScanJob(const SaneSession& session, const ScanSettings& settings,
                       const std::atomic<bool>& cancel, const ScanProgress& progress,
                       const ScanUse& use) {
    ScanOutcome outcome;
    std::optional<SaneDevice> device = PrepareScan(session, settings, outcome);
    if (device) {
        outcome.reason =
            ScanThroughCurves(*device, settings, outcome.curvesInSoftware, cancel, progress,
                              [&](const SampleLayout& layout, const PageReader& read) {
                                  return use(layout, outcome.resolution, read);
                              });
    }
    return outcome;
}

ScanOutcome RunScanJob(const SaneSession& session, const ScanSettings& settings,
                       const std::atomic<bool>& cancel, const ScanProgress& progress) {
    SampleImage image;
    const PageUse collect = CollectInto(image);
    ScanOutcome outcome =
        RunScanJob(session, settings, cancel, progress,
                   [&](const SampleLayout& layout, const std::optional<ScanResolution>&,
                       const PageReader& read) { return collect(layout, read); });
    if (!outcome.reason) {
        outcome.image = std::move(image);
    }
    return outcome;
}
