// devices: the scanners libsane finds, one per line.
#include "cli/CommandSupport.h"
#include "cli/Commands.h"
#include "cli/Messages.h"
#include "scan/SaneSession.h"

#include <ostream>

namespace {

// What names the library in an error line, where a file would stand.
constexpr std::string_view kLibraryName = "libsane";
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

} // namespace

int RunDevices(std::ostream& out, std::ostream& err) {
    const SaneSession session;
    const DeviceList list = session.Devices();
    if (list.reason) {
        err << FileError(std::filesystem::path(kLibraryName), list.reason.Text);
        return kExitFailed;
    }
    return PrintAll(DeviceLines(list.devices), out, err);
}
