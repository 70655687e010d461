// The resolution a page is scanned at, in dots per inch across (x) and
// down (y), as the device's options stand.
#pragma once

#include "image/ImageMeta.h"
#include "scan/OptionDevice.h"

#include <optional>

inline constexpr const char* kXResolutionOption = "x-resolution";
inline constexpr const char* kYResolutionOption = "y-resolution";

// Dots per inch across (x) and down (y), as the files written of the page keep it.
using ScanResolution = Resolution;

// The highest whole dpi a resolution option takes (Int or Fixed, a word list
// or a range); 0 without the option.
int HighestDpiOf(const std::optional<OptionDescriptor>& resolution);

// x-resolution and y-resolution where the device has them active, else
// resolution for both (a device with one resolution scans square pixels).
// Int and Fixed options alike; nullopt for a device that names none.
std::optional<ScanResolution> ResolutionOf(OptionDevice& device);
