// The order of a scan: device, settings, tables, page; the first failure
// ends it with its reason, and the device is closed whatever happened.
#include "scan/ScanJob.h"

#include "scan/DeviceTables.h"
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

Reason ApplySettings(SaneDevice& device, const ScanSettings& settings) {
    std::vector<std::pair<std::string, std::string>> all;
    if (settings.mode) {
        all.emplace_back(kModeOption, *settings.mode);
    }
    if (settings.depth) {
        all.emplace_back(kDepthOption, std::to_string(*settings.depth));
    }
    if (settings.resolution) {
        all.emplace_back(kResolutionOption, *settings.resolution);
    }
    all.insert(all.end(), settings.options.begin(), settings.options.end());
    for (const auto& [name, value] : all) {
        if (Reason reason = device.Set(name, value)) {
            return reason;
        }
    }
    return {};
}

// Where the device takes no tables for these curves it scans linearly and
// the rows are mapped afterwards.
Reason LoadTables(SaneDevice& device, const ScanSettings& settings, bool& inSoftware) {
    if (!settings.curves) {
        return LoadLinear(device);
    }
    const TablesLoad load = LoadCurveTables(device, *settings.curves);
    if (load.reason) {
        return load.reason;
    }
    inSoftware = load.loaded == TablesLoaded::NotTaken;
    return inSoftware ? LoadLinear(device) : Reason{};
}

constexpr const char* kXResolutionOption = "x-resolution";
constexpr const char* kYResolutionOption = "y-resolution";
constexpr double kFixedOne = 65536.0; // SANE_Fixed: 16.16

// An Int option's value, or a Fixed one's in units; nullopt without one.
std::optional<double> NumberOption(SaneDevice& device, const char* name) {
    const std::optional<OptionDescriptor> option = device.Find(name);
    const std::optional<std::vector<std::int32_t>> words = device.Words(name);
    if (!option || !words || words->empty() || words->front() <= 0) {
        return std::nullopt;
    }
    const double value = words->front();
    return option->type == OptionType::Fixed ? value / kFixedOne : value;
}

std::optional<Resolution> DeviceResolution(SaneDevice& device) {
    if (const std::optional<double> both = NumberOption(device, kResolutionOption)) {
        return Resolution{*both, *both};
    }
    const std::optional<double> x = NumberOption(device, kXResolutionOption);
    const std::optional<double> y = NumberOption(device, kYResolutionOption);
    if (x && y) {
        return Resolution{*x, *y};
    }
    return std::nullopt;
}

} // namespace

ScanOutcome RunScanJob(const SaneSession& session, const ScanSettings& settings,
                       const std::atomic<bool>& cancel, const ScanProgress& progress,
                       const ScanUse& use) {
    ScanOutcome outcome;
    outcome.device = settings.device;
    if ((outcome.reason = PickDevice(session, outcome.device))) {
        return outcome;
    }
    DeviceOpen open = session.Open(outcome.device);
    if ((outcome.reason = open.reason)) {
        return outcome;
    }
    SaneDevice& device = *open.device;
    if ((outcome.reason = ApplySettings(device, settings)) ||
        (outcome.reason = LoadTables(device, settings, outcome.curvesInSoftware))) {
        return outcome;
    }
    outcome.resolution = DeviceResolution(device);
    if (!outcome.curvesInSoftware) {
        outcome.reason = ScanPage(device, cancel, progress,
                                  [&](const SampleLayout& layout, const PageReader& read) {
                                      return use(layout, outcome.resolution, read);
                                  });
        return outcome;
    }
    outcome.reason =
        ScanPage(device, cancel, progress, [&](const SampleLayout& layout, const PageReader& read) {
            const RowCurves curves(*settings.curves, layout);
            return use(layout, outcome.resolution, [&](const PageRowSink& sink) {
                return read([&](std::span<std::uint8_t> rows) {
                    curves.Map(rows);
                    return sink(rows);
                });
            });
        });
    return outcome;
}

ScanOutcome RunScanJob(const SaneSession& session, const ScanSettings& settings,
                       const std::atomic<bool>& cancel, const ScanProgress& progress) {
    SampleImage image;
    const PageUse collect = CollectInto(image);
    ScanOutcome outcome =
        RunScanJob(session, settings, cancel, progress,
                   [&](const SampleLayout& layout, const std::optional<Resolution>&,
                       const PageReader& read) { return collect(layout, read); });
    if (!outcome.reason) {
        outcome.image = std::move(image);
    }
    return outcome;
}
