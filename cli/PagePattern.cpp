// The user's text never reaches printf as a format: it is split into
// literal text and one conversion whose every character was checked, and
// only that conversion formats the number.
#include "cli/PagePattern.h"

#include <algorithm>
#include <array>
#include <cstdio>

namespace {

constexpr std::string_view kFlags = "-+ 0";
constexpr std::string_view kDigits = "0123456789";
constexpr std::size_t kMaxDigits = 2; // a width or precision of at most 99
constexpr std::size_t kNameRoom = 128;

// Skips up to kMaxDigits digits at `at`; false when there are more.
bool SkipNumber(std::string_view text, std::size_t& at) {
    const std::size_t start = at;
    while (at < text.size() && kDigits.find(text[at]) != std::string_view::npos) {
        ++at;
    }
    return at - start <= kMaxDigits;
}

// The conversion starting at the '%' at `at`, its length in `length`, or an
// error naming it.
std::string ReadConversion(std::string_view text, std::size_t at, std::size_t& length) {
    std::size_t end = at + 1;
    while (end < text.size() && kFlags.find(text[end]) != std::string_view::npos) {
        ++end;
    }
    bool fits = SkipNumber(text, end);
    if (end < text.size() && text[end] == '.') {
        ++end;
        fits = SkipNumber(text, end) && fits;
    }
    if (end >= text.size() || text[end] != 'd') {
        const std::string_view seen = text.substr(at, end + 1 - at);
        return "only %d (with flags, width and precision) and %% may stand in it, not " +
               std::string(seen);
    }
    if (!fits) {
        return "a width or precision of more than two digits in " +
               std::string(text.substr(at, end + 1 - at));
    }
    length = end + 1 - at;
    return {};
}

} // namespace

PatternParse ParsePagePattern(std::string_view text) {
    PagePattern pattern;
    bool found = false;
    for (std::size_t at = 0; at < text.size();) {
        std::string& literal = found ? pattern.suffix : pattern.prefix;
        if (text[at] != '%') {
            literal += text[at++];
            continue;
        }
        if (at + 1 < text.size() && text[at + 1] == '%') {
            literal += '%';
            at += 2;
            continue;
        }
        std::size_t length = 0;
        if (std::string error = ReadConversion(text, at, length); !error.empty()) {
            return {std::nullopt, error};
        }
        if (found) {
            return {std::nullopt, "it must hold exactly one %d, not two or more"};
        }
        pattern.conversion = std::string(text.substr(at, length));
        found = true;
        at += length;
    }
    if (!found) {
        return {std::nullopt, "it must hold one %d for the page number, e.g. page%03d.tif"};
    }
    return {pattern, {}};
}

std::string PageName(const PagePattern& pattern, int number) {
    std::array<char, kNameRoom> digits{};
    // The conversion is one checked %[-+ 0]*[0-9]{0,2}(.[0-9]{0,2})?d: at
    // most 99 characters for an int.
    const int written =
        std::snprintf(digits.data(), digits.size(), pattern.conversion.c_str(), number);
    const std::size_t length = written > 0 ? static_cast<std::size_t>(written) : 0;
    return pattern.prefix + std::string(digits.data(), std::min(length, digits.size() - 1)) +
           pattern.suffix;
}
