// The characters are checked first: std::from_chars alone would take a
// leading minus, and stop short at a second point rather than fail.
#include "cli/NumberList.h"

#include <charconv>

namespace {

// The whole text as a T; nothing when any of it is left over.
template <typename T> std::optional<T> ParseAll(std::string_view text) {
    T value{};
    const auto [stop, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || stop != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

} // namespace

std::optional<std::int32_t> WholeNumber(std::string_view text) {
    if (text.empty() || text.find_first_not_of("0123456789") != std::string_view::npos) {
        return std::nullopt;
    }
    return ParseAll<std::int32_t>(text);
}

std::optional<double> PlainDecimal(std::string_view text, Sign sign) {
    const std::string_view digits =
        sign == Sign::MinusAllowed && text.starts_with('-') ? text.substr(1) : text;
    if (digits.empty() || digits.find_first_not_of("0123456789.") != std::string_view::npos) {
        return std::nullopt;
    }
    return ParseAll<double>(text);
}
