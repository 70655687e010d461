// Reading a device's options: option 0 holds how many there are, option 0
// included; each of the others is described by the backend.
#include "scan/SaneDevice.h"

#include "scan/SaneDescriptor.h"
#include "scan/SaneReason.h"

#include <algorithm>
#include <cstring>
#include <vector>

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

std::optional<OptionDescriptor> SaneDevice::Find(std::string_view name) {
    if (!known_) {
        OptionList list = Options();
        if (list.reason) {
            return std::nullopt;
        }
        known_ = std::move(list.options);
    }
    return FindOption(*known_, name);
}

Reason SaneDevice::Missing(std::string_view name) const {
    return {ReasonCode::Unsupported, 0, std::string(name) + ": the device has no such option"};
}

Reason SaneDevice::Set(std::string_view name, std::string_view text) {
    const std::optional<OptionDescriptor> option = Find(name);
    if (!option) {
        return Missing(name);
    }
    const ParsedValue parsed = ParseOptionValue(*option, text);
    return parsed.reason ? parsed.reason : Write(*option, parsed.value);
}

Reason SaneDevice::Set(std::string_view name, const OptionValue& value) {
    const std::optional<OptionDescriptor> option = Find(name);
    if (!option) {
        return Missing(name);
    }
    const Reason reason = CheckOptionValue(*option, value);
    return reason ? reason : Write(*option, value);
}

// The backend may round the value (SANE_INFO_INEXACT), which a front end
// accepts; it may also change other options, which the next Find sees.
Reason SaneDevice::Write(const OptionDescriptor& option, const OptionValue& value) {
    std::vector<std::uint8_t> buffer(std::max<std::size_t>(option.size, 1));
    if (option.type == OptionType::String) {
        std::copy(value.text.begin(), value.text.end(), buffer.begin());
    } else {
        std::copy_n(reinterpret_cast<const std::uint8_t*>(value.words.data()),
                    value.words.size() * sizeof(SANE_Word), buffer.begin());
    }
    SANE_Int info = 0;
    const Reason reason = SaneReason(sane_control_option(
        handle_.get(), option.index, SANE_ACTION_SET_VALUE, buffer.data(), &info));
    if ((info & SANE_INFO_RELOAD_OPTIONS) != 0) {
        known_.reset();
    }
    if (reason) {
        return {reason.Code, reason.Value, option.name + ": " + reason.Text};
    }
    return {};
}

std::optional<std::vector<std::uint8_t>> SaneDevice::Get(const OptionDescriptor& option) {
    if (!option.active || option.type == OptionType::Button || option.type == OptionType::Group) {
        return std::nullopt;
    }
    std::vector<std::uint8_t> bytes(std::max<std::size_t>(option.size, sizeof(SANE_Word)));
    if (sane_control_option(handle_.get(), option.index, SANE_ACTION_GET_VALUE, bytes.data(),
                            nullptr) != SANE_STATUS_GOOD) {
        return std::nullopt;
    }
    return bytes;
}

std::optional<std::vector<std::int32_t>> SaneDevice::Words(std::string_view name) {
    const std::optional<OptionDescriptor> option = Find(name);
    if (!option || option->type == OptionType::String) {
        return std::nullopt;
    }
    const auto bytes = Get(*option);
    if (!bytes) {
        return std::nullopt;
    }
    std::vector<std::int32_t> words(std::max<std::size_t>(option->WordCount(), 1));
    std::memcpy(words.data(), bytes->data(), words.size() * sizeof(SANE_Word));
    return words;
}

// A string value ends at its first zero byte, or at the option's size.
std::optional<std::string> SaneDevice::Text(std::string_view name) {
    const std::optional<OptionDescriptor> option = Find(name);
    if (!option || option->type != OptionType::String) {
        return std::nullopt;
    }
    const auto bytes = Get(*option);
    if (!bytes) {
        return std::nullopt;
    }
    const auto end = std::find(bytes->begin(), bytes->end(), std::uint8_t{0});
    return std::string(bytes->begin(), end);
}
