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

DeviceOpen SaneSession::Open(const std::string& name) const {
    if (failure_) {
        return {failure_, std::nullopt};
    }
    SANE_Handle handle = nullptr;
    const Reason reason = SaneReason(sane_open(name.c_str(), &handle));
    if (reason) {
        return {reason, std::nullopt};
    }
    return {{}, SaneDevice(handle)};
}
