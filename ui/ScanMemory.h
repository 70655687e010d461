// The scan dialog's choices kept from run to run: the last device, and per
// device (by its SANE name) the resolution, mode, depth, source and area.
#pragma once

#include "scan/BedGeometry.h"

#include <QString>

#include <optional>

class SettingsStore;

struct RememberedScan {
    std::optional<int> resolution; // dpi
    QString mode;                  // as the device spells it
    std::optional<int> depth;
    QString source;
    std::optional<BedArea> area; // millimetres from the bed's corner
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
