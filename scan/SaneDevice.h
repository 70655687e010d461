// An open SANE device, closed when the value goes. Made only by SaneSession.
#pragma once

#include "scan/OptionDevice.h"

#include <atomic>
#include <memory>
#include <optional>
#include <sane/sane.h>
#include <string_view>
#include <vector>

class SaneDevice : public OptionDevice {
public:
    OptionList Options() const override;

    // The option called `name` as the device describes it now.
    std::optional<OptionDescriptor> Find(std::string_view name) override;

    // Sets `name` from text as a user types it (see ParseOptionValue).
    Reason Set(std::string_view name, std::string_view text);
    // Sets `name` to a checked value: words (bool, int, fixed, tables) or text.
    Reason Set(std::string_view name, const OptionValue& value) override;

    // The words an option holds now (bool, int, fixed, tables), or nullopt.
    std::optional<std::vector<std::int32_t>> Words(std::string_view name) override;
    // The text a string option holds now, or nullopt.
    std::optional<std::string> Text(std::string_view name) override;
    void Reload() override { known_.reset(); }

    SANE_Handle Handle() const { return handle_.get(); }

private:
    friend class SaneSession;
    // `openCount` counts the session's open devices; this one is counted in it.
    SaneDevice(SANE_Handle handle, std::shared_ptr<std::atomic<int>> openCount)
        : handle_(handle, Closer{std::move(openCount)}) {}

    Reason Missing(std::string_view name) const;
    // The option's value as the backend gives it, or nullopt.
    std::optional<std::vector<std::uint8_t>> Get(const OptionDescriptor& option);
    Reason Write(const OptionDescriptor& option, const OptionValue& value);

    struct Closer {
        std::shared_ptr<std::atomic<int>> openCount;
        void operator()(SANE_Handle handle) const {
            sane_close(handle);
            --*openCount;
        }
    };
    std::unique_ptr<void, Closer> handle_;
    // Read once, and again whenever a set answers SANE_INFO_RELOAD_OPTIONS:
    // then other options may have come and gone, or changed their ranges.
    std::optional<OptionDescriptors> known_;
};
