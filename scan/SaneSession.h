// One use of libsane, from sane_init to sane_exit: the devices it finds and
// the devices it opens. Open devices must be closed (destroyed) before their
// session ends, since sane_exit closes every handle behind their backs.
// Backends keep the devices they found until sane_exit, so a session asks
// them afresh only through Restart.
#pragma once

#include "io/Reason.h"
#include "scan/SaneDevice.h"

#include <atomic>
#include <memory>
#include <optional>
#include <string>
#include <vector>

struct DeviceInfo {
    std::string name; // what a front end's --device takes, e.g. "test:0"
    std::string vendor;
    std::string model;
    std::string type; // "flatbed scanner", "virtual device", ...
};

struct DeviceList {
    Reason reason;
    std::vector<DeviceInfo> devices;
};

struct DeviceOpen {
    Reason reason;
    std::optional<SaneDevice> device; // present exactly when there is no reason
};

class SaneSession {
public:
    SaneSession();
    ~SaneSession();
    SaneSession(const SaneSession&) = delete;
    SaneSession& operator=(const SaneSession&) = delete;

    // Why sane_init failed; a failed session finds and opens nothing.
    const Reason& Failure() const { return failure_; }

    // Every device the configured backends find, the network's included.
    DeviceList Devices() const;
    DeviceOpen Open(const std::string& name) const;

    // sane_exit and sane_init, so that the backends look for devices anew
    // (one configured or plugged in since shows up). Only while no device of
    // this session is open: false, and nothing done, while one is.
    bool Restart();

private:
    Reason UnknownDevice(const std::string& name, const Reason& reason) const;

    Reason failure_;
    std::shared_ptr<std::atomic<int>> openCount_ = std::make_shared<std::atomic<int>>(0);
};
