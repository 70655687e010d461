// A scanner given by its option descriptors and values, whose options can be
// set: it keeps the descriptors its caller read until told to reload, as a
// SANE device does, and can refuse a top-left edge past the bottom-right.
#pragma once

#include "scan/OptionDevice.h"

#include <functional>
#include <map>
#include <string>
#include <utility>

namespace scantest {

class SettableDevice : public OptionDevice {
public:
    // Called after a value was stored; it may change the descriptors.
    using AfterSet = std::function<void(SettableDevice&, const std::string& name)>;

    explicit SettableDevice(OptionDescriptors options) : options_(std::move(options)) {
        for (std::size_t i = 0; i < options_.size(); ++i) {
            options_[i].index = static_cast<int>(i) + 1;
        }
    }

    OptionList Options() const override { return {{}, options_}; }
    std::optional<OptionDescriptor> Find(std::string_view name) override {
        if (!known_) {
            known_ = options_;
        }
        return FindOption(*known_, name);
    }
    Reason Set(std::string_view name, const OptionValue& value) override {
        const std::optional<OptionDescriptor> option = Find(name);
        if (!option) {
            return {ReasonCode::Unsupported, 0, std::string(name) + ": no such option"};
        }
        if (Reason reason = CheckOptionValue(*option, value)) {
            return reason;
        }
        if (strictEdges && CrossesEdge(std::string(name), value)) {
            return {ReasonCode::DeviceError, 0, std::string(name) + ": crosses the other edge"};
        }
        values_[std::string(name)] = value;
        sets.push_back(std::string(name));
        if (afterSet) {
            afterSet(*this, std::string(name));
        }
        return {};
    }
    std::optional<std::vector<std::int32_t>> Words(std::string_view name) override {
        const auto found = values_.find(std::string(name));
        if (found == values_.end() || found->second.words.empty()) {
            return std::nullopt;
        }
        return found->second.words;
    }
    std::optional<std::string> Text(std::string_view name) override {
        const auto found = values_.find(std::string(name));
        if (found == values_.end() || !found->second.words.empty()) {
            return std::nullopt;
        }
        return found->second.text;
    }
    void Reload() override { known_.reset(); }

    void Store(const std::string& name, OptionValue value) { values_[name] = std::move(value); }
    // Replaces the constraint of `name` without telling the caller, as a
    // backend does when another option changes its range.
    void Constrain(const std::string& name, OptionConstraint constraint) {
        for (OptionDescriptor& option : options_) {
            if (option.name == name) {
                option.constraint = std::move(constraint);
            }
        }
    }

    AfterSet afterSet;
    bool strictEdges = false;
    std::vector<std::string> sets; // the names set, in order

private:
    // A top-left edge may not pass the bottom-right one, nor the other way.
    bool CrossesEdge(const std::string& name, const OptionValue& value) {
        static const std::map<std::string, std::pair<std::string, bool>> kOther = {
            {"tl-x", {"br-x", true}},
            {"tl-y", {"br-y", true}},
            {"br-x", {"tl-x", false}},
            {"br-y", {"tl-y", false}}};
        const auto other = kOther.find(name);
        if (other == kOther.end()) {
            return false;
        }
        const auto words = Words(other->second.first);
        if (!words) {
            return false;
        }
        return other->second.second ? value.words.front() >= words->front()
                                    : value.words.front() <= words->front();
    }

    OptionDescriptors options_;
    std::optional<OptionDescriptors> known_;
    std::map<std::string, OptionValue> values_;
};

// A single number option with a range, in `unit`.
inline OptionDescriptor NumberOption(const char* name, OptionType type, OptionUnit unit,
                                     OptionRange range) {
    OptionDescriptor option;
    option.name = name;
    option.type = type;
    option.unit = unit;
    option.size = kOptionWordSize;
    option.constraint = range;
    return option;
}

inline OptionDescriptor ListOption(const char* name, OptionStringList values) {
    OptionDescriptor option;
    option.name = name;
    option.type = OptionType::String;
    option.size = 32;
    option.constraint = std::move(values);
    return option;
}

} // namespace scantest
