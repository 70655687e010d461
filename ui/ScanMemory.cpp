// Keys: scan/lastDevice, and devices/NAME/{resolution,mode,depth,source,
// scanArea} with NAME percent-encoded (device names hold ':' and may hold
// '/'); the area is "left,top,right,bottom" in millimetres on the device's
// axes. devices/NAME/area, as earlier versions wrote it, holds the same four
// edges from the bed's corner. A value that does not read as its kind is
// ignored, as if it had never been stored.
#include "ui/ScanMemory.h"

#include "platform/SettingsStore.h"

#include <QStringList>

namespace {

constexpr int kAreaEdges = 4;
const QString kLastDeviceKey = QStringLiteral("scan/lastDevice");
constexpr const char* kAreaKey = "scanArea";
constexpr const char* kCornerAreaKey = "area";

QString DeviceKey(const QString& device, const char* what) {
    return QStringLiteral("devices/") + SettingsKeyPart(device) + QLatin1Char('/') +
           QLatin1String(what);
}

std::optional<int> PositiveInt(const QVariant& value) {
    bool ok = false;
    const int number = value.toString().toInt(&ok);
    return ok && number > 0 ? std::optional<int>(number) : std::nullopt;
}

std::optional<ScanArea> AreaOf(const QString& text) {
    const QStringList parts = text.split(QLatin1Char(','));
    if (parts.size() != kAreaEdges) {
        return std::nullopt;
    }
    double edges[kAreaEdges] = {};
    for (int i = 0; i < kAreaEdges; ++i) {
        bool ok = false;
        edges[i] = parts[i].toDouble(&ok);
        if (!ok || edges[i] < 0) {
            return std::nullopt;
        }
    }
    if (edges[2] <= edges[0] || edges[3] <= edges[1]) {
        return std::nullopt;
    }
    return ScanArea{edges[0], edges[1], edges[2], edges[3]};
}

QString TextOf(const ScanArea& area) {
    return QStringLiteral("%1,%2,%3,%4")
        .arg(area.left, 0, 'g', 10)
        .arg(area.top, 0, 'g', 10)
        .arg(area.right, 0, 'g', 10)
        .arg(area.bottom, 0, 'g', 10);
}

} // namespace

QString ScanMemory::LastDevice() const {
    return settings_.Value(kLastDeviceKey).toString();
}

RememberedScan ScanMemory::For(const QString& device) const {
    RememberedScan kept;
    kept.resolution = PositiveInt(settings_.Value(DeviceKey(device, "resolution")));
    kept.mode = settings_.Value(DeviceKey(device, "mode")).toString();
    kept.depth = PositiveInt(settings_.Value(DeviceKey(device, "depth")));
    kept.source = settings_.Value(DeviceKey(device, "source")).toString();
    kept.area = AreaOf(settings_.Value(DeviceKey(device, kAreaKey)).toString());
    if (!kept.area) {
        kept.cornerArea = AreaOf(settings_.Value(DeviceKey(device, kCornerAreaKey)).toString());
    }
    return kept;
}

void ScanMemory::Keep(const QString& device, const RememberedScan& choices) {
    settings_.SetValue(kLastDeviceKey, device);
    if (choices.resolution) {
        settings_.SetValue(DeviceKey(device, "resolution"), *choices.resolution);
    }
    if (!choices.mode.isEmpty()) {
        settings_.SetValue(DeviceKey(device, "mode"), choices.mode);
    }
    if (choices.depth) {
        settings_.SetValue(DeviceKey(device, "depth"), *choices.depth);
    }
    if (!choices.source.isEmpty()) {
        settings_.SetValue(DeviceKey(device, "source"), choices.source);
    }
    if (choices.area) {
        settings_.SetValue(DeviceKey(device, kAreaKey), TextOf(*choices.area));
        settings_.Remove(DeviceKey(device, kCornerAreaKey));
    }
}
