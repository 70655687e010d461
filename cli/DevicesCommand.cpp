// devices: the scanners libsane finds, one per line; with --options DEVICE
// that device's options, one per line.
#include "cli/CommandSupport.h"
#include "cli/Commands.h"
#include "cli/Messages.h"
#include "scan/OptionListing.h"
#include "scan/SaneSession.h"

#include <ostream>

namespace {

constexpr char kFieldSeparator = '\t';

// "name<TAB>vendor<TAB>model<TAB>type": names never hold tabs, models hold spaces.
std::string DeviceLines(const std::vector<DeviceInfo>& devices) {
    std::string text;
    for (const DeviceInfo& device : devices) {
        text += device.name + kFieldSeparator + device.vendor + kFieldSeparator + device.model +
                kFieldSeparator + device.type + '\n';
    }
    return text;
}

// "name<TAB>value<TAB>constraint": option names never hold tabs.
std::string OptionLines(const std::vector<OptionLine>& options) {
    std::string text;
    for (const OptionLine& option : options) {
        text += option.name + kFieldSeparator + option.value + kFieldSeparator + option.constraint +
                '\n';
    }
    return text;
}

int ListDeviceOptions(const std::string& name, std::ostream& out, std::ostream& err) {
    const SaneSession session;
    DeviceOpen open = session.Open(name);
    if (open.reason) {
        err << FileError(std::filesystem::path(name), open.reason.Text);
        return kExitFailed;
    }
    const OptionListing listing = ListOptions(*open.device);
    if (listing.reason) {
        err << FileError(std::filesystem::path(name), listing.reason.Text);
        return kExitFailed;
    }
    return PrintAll(OptionLines(listing.lines), out, err);
}

} // namespace

int RunDevices(const CliCommand& command, std::ostream& out, std::ostream& err) {
    if (command.optionsOf) {
        return ListDeviceOptions(*command.optionsOf, out, err);
    }
    const SaneSession session;
    const DeviceList list = session.Devices();
    if (list.reason) {
        err << FileError(std::filesystem::path(kLibraryName), list.reason.Text);
        return kExitFailed;
    }
    return PrintAll(DeviceLines(list.devices), out, err);
}
