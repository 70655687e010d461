// The scan dialog's choices kept from run to run: the last device, and per
// device (by its SANE name) the resolution, mode, depth, source and area.
// The area kept by earlier versions (from the bed's corner) is read until
// the device's choices are kept again, which writes the area in its new
// form and drops the old one.
#pragma once

#include "scan/ScanArea.h"

#include <QString>

#include <optional>

class SettingsStore;

struct RememberedScan {
    std::optional<int> resolution; // dpi
    QString mode;                  // as the device spells it
    std::optional<int> depth;
    QString source;
    std::optional<ScanArea> area; // millimetres on the device's axes
    // The area as earlier versions kept it: millimetres from the bed's
    // corner (see AreaFromBedCorner); read only where `area` was never kept.
    std::optional<ScanArea> cornerArea;
};

class ScanMemory {
public:
    explicit ScanMemory(SettingsStore& settings) : settings_(settings) {}

    QString LastDevice() const;
    RememberedScan For(const QString& device) const;
    // Keeps the choices of `device` and makes it the last device.
    void Keep(const QString& device, const RememberedScan& choices);

private:
    SettingsStore& settings_;
};
