// Reading a device's options: option 0 holds how many there are, option 0
// included; each of the others is described by the backend.
#include "scan/SaneDevice.h"

#include "scan/SaneDescriptor.h"
#include "scan/SaneReason.h"

namespace {

constexpr SANE_Int kCountOption = 0;

} // namespace

OptionList SaneDevice::Options() const {
    SANE_Int count = 0;
    const Reason reason = SaneReason(
        sane_control_option(handle_.get(), kCountOption, SANE_ACTION_GET_VALUE, &count, nullptr));
    if (reason) {
        return {reason, {}};
    }
    OptionList list;
    for (SANE_Int index = kCountOption + 1; index < count; ++index) {
        const SANE_Option_Descriptor* sane = sane_get_option_descriptor(handle_.get(), index);
        if (sane != nullptr) {
            list.options.push_back(DescriptorOf(index, *sane));
        }
    }
    return list;
}
