// Everything a scan dialog shows of one device with one source chosen: the
// resolutions, modes and depths, the sources, the bed and the area set now,
// and how to take a quick preview of the whole bed.
#pragma once

#include "scan/ScanSource.h"

#include "io/Reason.h"
#include "scan/BedGeometry.h"
#include "scan/DeviceChoices.h"
#include "scan/ScanJob.h"
#include "scan/ScanSize.h"

#include <optional>
#include <string>
#include <vector>

inline constexpr const char* kPreviewOption = "preview";
inline constexpr int kLowestPreviewDpi = 50;

struct DeviceOffer {
    DeviceChoices choices;
    std::vector<std::string> sources; // empty: the device has no source option
    std::string source;               // the one chosen (or the device's own)
    std::optional<BedGeometry> bed;   // none: the area cannot be chosen
    std::optional<ScanArea> area;     // the area the device holds now
    PixelRoundings rounding;          // how the device counts an area's pixels
    bool hasPreview = false;          // a settable preview switch
    int previewDpi = 0;               // lowest resolution of at least 50 dpi
    std::string colourMode;           // the device's spelling of Color, or empty
};

struct OfferRead {
    Reason reason;
    DeviceOffer offer;
};

// Opens `device`, selects `source` when given (the other options depend on
// it) and reads what it offers.
OfferRead ReadOffer(const SaneSession& session, const std::string& device,
                    const std::string& source);

// The offered resolution nearest to 300 dpi, at which the device's rounding
// of pixels is probed; 0 for none.
int ProbeDpiOf(const DeviceChoices& choices);

// The lowest resolution of at least 50 dpi the option takes (its highest when
// all are lower); 0 without a resolution option.
int PreviewDpiOf(const std::optional<OptionDescriptor>& resolution);

// Appends the source chosen to the settings' options, followed again by the
// mode, depth and resolution already in them, which a change of source may
// reset. Call after those three are set and before the area.
void AddSourceFirst(ScanSettings& settings, const DeviceOffer& offer);

// A linear 8-bit colour scan of the whole bed at the preview resolution,
// with the device's preview switch on where it has one.
ScanSettings PreviewSettings(const std::string& device, const DeviceOffer& offer);
