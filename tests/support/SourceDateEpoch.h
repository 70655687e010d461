// SOURCE_DATE_EPOCH set, or unset (nullptr), for one scope; the old value
// comes back after.
#pragma once

#include <cstdlib>
#include <optional>
#include <string>

class SourceDateEpoch {
public:
    explicit SourceDateEpoch(const char* value) {
        if (const char* old = std::getenv(kName)) {
            old_ = old;
        }
        value ? ::setenv(kName, value, 1) : ::unsetenv(kName);
    }
    ~SourceDateEpoch() { old_ ? ::setenv(kName, old_->c_str(), 1) : ::unsetenv(kName); }
    SourceDateEpoch(const SourceDateEpoch&) = delete;
    SourceDateEpoch& operator=(const SourceDateEpoch&) = delete;

private:
    static constexpr const char* kName = "SOURCE_DATE_EPOCH";
    std::optional<std::string> old_;
};
