// libsane's start and end, its device list and opening a device.
#include "scan/SaneSession.h"

#include "scan/SaneReason.h"

namespace {

std::string TextOf(SANE_String_Const text) {
    return text != nullptr ? text : "";
}

} // namespace

SaneSession::SaneSession() {
    SANE_Int version = 0;
    failure_ = SaneReason(sane_init(&version, nullptr));
}

SaneSession::~SaneSession() {
    if (!failure_) {
        sane_exit();
    }
}

bool SaneSession::Restart() {
    if (*openCount_ != 0) {
        return false;
    }
    if (!failure_) {
        sane_exit();
    }
    SANE_Int version = 0;
    failure_ = SaneReason(sane_init(&version, nullptr));
    return true;
}

DeviceList SaneSession::Devices() const {
    if (failure_) {
        return {failure_, {}};
    }
    const SANE_Device** list = nullptr;
    const Reason reason = SaneReason(sane_get_devices(&list, SANE_FALSE));
    if (reason) {
        return {reason, {}};
    }
    DeviceList found;
    for (; list != nullptr && *list != nullptr; ++list) {
        const SANE_Device& device = **list;
        found.devices.push_back({TextOf(device.name), TextOf(device.vendor), TextOf(device.model),
                                 TextOf(device.type)});
    }
    return found;
}

// SANE says only "Invalid argument" for a name no backend knows; a name
// that is not among the devices found is told as such, with the ones that are.
Reason SaneSession::UnknownDevice(const std::string& name, const Reason& reason) const {
    const DeviceList list = Devices();
    if (reason.Value != SANE_STATUS_INVAL || list.reason) {
        return reason;
    }
    std::string found;
    for (const DeviceInfo& device : list.devices) {
        if (device.name == name) {
            return reason;
        }
        found += (found.empty() ? "" : ", ") + device.name;
    }
    return {ReasonCode::DeviceError, reason.Value,
            "no such device (SANE finds " + (found.empty() ? std::string("none") : found) + ")"};
}

DeviceOpen SaneSession::Open(const std::string& name) const {
    if (failure_) {
        return {failure_, std::nullopt};
    }
    SANE_Handle handle = nullptr;
    const Reason reason = SaneReason(sane_open(name.c_str(), &handle));
    if (reason) {
        return {UnknownDevice(name, reason), std::nullopt};
    }
    ++*openCount_;
    return {{}, SaneDevice(handle, openCount_)};
}
