// One parameter line: ';' in the very first byte makes a comment; otherwise
// key and value are split at the first '=', trimmed of space, HT, VT and FF,
// the value must be digits only, and the key must match exactly.
#include "io/ParamLine.h"

#include <algorithm>
#include <limits>
#include <optional>

namespace {

constexpr char kCommentMark = ';';
constexpr char kSeparator = '=';
// CR and LF never reach a line; they end it.
constexpr std::string_view kWhitespace = " \t\v\f";
// Saturating here puts any longer number outside every range.
constexpr std::int64_t kLargestValue = std::numeric_limits<std::int32_t>::max();
constexpr int kDecimalBase = 10;

std::string_view Trim(std::string_view text) {
    const std::size_t first = text.find_first_not_of(kWhitespace);
    if (first == std::string_view::npos) {
        return {};
    }
    const std::size_t last = text.find_last_not_of(kWhitespace);
    return text.substr(first, last - first + 1);
}

// Non-empty and decimal digits only: no sign, point, inner space or comment.
std::optional<std::int32_t> ParseDigits(std::string_view text) {
    if (text.empty()) {
        return std::nullopt;
    }
    std::int64_t value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        value = std::min(value * kDecimalBase + (c - '0'), kLargestValue);
    }
    return static_cast<std::int32_t>(value);
}

} // namespace

void AcceptParamValue(std::string_view key, std::int32_t value, PendingParams& pending,
                      FoundKeys& found) {
    const auto* match = std::find_if(kParamKeys.begin(), kParamKeys.end(),
                                     [key](const ParamKey& k) { return key == k.name; });
    // Out of range neither sets nor clears: an earlier good value stays.
    if (match == kParamKeys.end() || !IsInRange(match->param, value)) {
        return;
    }
    pending[match->channel][match->param] = value;
    found |= match->bit;
}

std::optional<KeyAndValue> SplitParamLine(std::string_view line) {
    // A zero byte ends the text, as it ends a C string.
    line = line.substr(0, line.find('\0'));
    // The comment test comes before any trimming: " ;x=1" is not a comment.
    if (line.empty() || line.front() == kCommentMark) {
        return std::nullopt;
    }
    const std::size_t separator = line.find(kSeparator);
    if (separator == std::string_view::npos) {
        return std::nullopt;
    }
    const std::string_view key = Trim(line.substr(0, separator));
    if (key.empty()) {
        return std::nullopt;
    }
    return KeyAndValue{key, Trim(line.substr(separator + 1))};
}

void ParseParamLine(std::string_view line, PendingParams& pending, FoundKeys& found) {
    const std::optional<KeyAndValue> split = SplitParamLine(line);
    if (!split) {
        return;
    }
    const std::optional<std::int32_t> value = ParseDigits(split->value);
    if (!value) {
        return;
    }
    AcceptParamValue(split->key, *value, pending, found);
}
