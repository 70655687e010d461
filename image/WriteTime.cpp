// SOURCE_DATE_EPOCH: a decimal count of seconds since 1970-01-01 00:00 UTC;
// anything else in it (a sign, a fraction, text) is ignored, as unset.
#include "image/WriteTime.h"

#include <charconv>
#include <cstdlib>
#include <cstring>
#include <system_error>

namespace {

constexpr const char* kSourceDateEpoch = "SOURCE_DATE_EPOCH";

} // namespace

WriteTime TimeOfWriting() {
    const char* fixed = std::getenv(kSourceDateEpoch);
    if (fixed != nullptr && *fixed != '\0') {
        long long seconds = 0;
        const char* end = fixed + std::strlen(fixed);
        const auto [at, error] = std::from_chars(fixed, end, seconds);
        if (error == std::errc{} && at == end && seconds >= 0) {
            return {static_cast<std::time_t>(seconds), true};
        }
    }
    return {std::time(nullptr), false};
}

std::tm CalendarOf(const WriteTime& time) {
    std::tm fields{};
    if (time.utc) {
        gmtime_r(&time.when, &fields);
    } else {
        localtime_r(&time.when, &fields);
    }
    return fields;
}
