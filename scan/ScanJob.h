// A whole scan as a front end asks for it: which device, its settings, the
// tables (or a linear scan), and the page that comes back.
#pragma once

#include "curve/ChannelParams.h"
#include "image/ImageMeta.h"
#include "scan/SaneSession.h"
#include "scan/ScanArea.h"
#include "scan/ScanPage.h"
#include "scan/ScanResolution.h"

#include <optional>
#include <string>
#include <utility>
#include <vector>

inline constexpr const char* kResolutionOption = "resolution";
inline constexpr const char* kModeOption = "mode";
inline constexpr const char* kDepthOption = "depth";

struct ScanSettings {
    std::string device; // empty: the first device SANE lists
    std::optional<std::string> resolution;
    std::optional<std::string> mode; // "Color" or "Gray", in any letter case
    std::optional<int> depth;
    std::optional<std::string> source; // one of the device's sources, in any letter case
    std::optional<ScanArea> area;      // millimetres on the bed; absent: the device's own
    std::vector<std::pair<std::string, std::string>> options; // any option by name, in order
    std::optional<ChannelParamsSet> curves;                   // nullopt: a linear (gamma 1.0) scan
};

struct ScanOutcome {
    Reason reason;
    std::string device;            // the device used, or asked for
    bool curvesInSoftware = false; // the device took no tables; the rows were mapped
    // A negative's curves went into device tables of 256 entries or fewer,
    // which cannot hold a dense negative's shadows.
    bool narrowNegative = false;
    // The source, the resolution or the area asked for is not one the
    // device offers; the reason names what it does offer.
    bool settingRefused = false;
    std::optional<ScanResolution> resolution; // as set for the page; absent: the device names none
    SampleImage image;
};

// What is done with a page once its shape and resolution are known.
using ScanUse =
    std::function<Reason(const SampleLayout& layout,
                         const std::optional<ScanResolution>& resolution, const PageReader& read)>;

// Opens the device, sets source, mode, depth, resolution, the other options
// and the area in that order (source and mode first, since they change what
// the others accept; the area last, since a device measuring it in pixels
// needs the resolution), loads the tables, scans one page and closes the
// device.
ScanOutcome RunScanJob(const SaneSession& session, const ScanSettings& settings,
                       const std::atomic<bool>& cancel, const ScanProgress& progress = {});

// The same with the page handed to `use` as it is read (the rows already
// through the curves where the device took none); `image` stays empty.
ScanOutcome RunScanJob(const SaneSession& session, const ScanSettings& settings,
                       const std::atomic<bool>& cancel, const ScanProgress& progress,
                       const ScanUse& use);
