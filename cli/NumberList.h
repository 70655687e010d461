// Plain numbers as command-line values take them, alone ("0.5") or as a
// comma-separated list of a fixed length ("0,0,4000,40"). No plus sign,
// exponent or blanks anywhere.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

// The N fields of "A,B,...", empty ones included; nothing when the text
// holds other than N - 1 commas.
template <std::size_t N>
std::optional<std::array<std::string_view, N>> SplitFields(std::string_view text) {
    std::array<std::string_view, N> fields{};
    std::size_t start = 0;
    for (std::size_t field = 0; field + 1 < N; ++field) {
        const std::size_t comma = text.find(',', start);
        if (comma == std::string_view::npos) {
            return std::nullopt;
        }
        fields[field] = text.substr(start, comma - start);
        start = comma + 1;
    }
    fields[N - 1] = text.substr(start);
    if (fields[N - 1].find(',') != std::string_view::npos) {
        return std::nullopt;
    }
    return fields;
}

// Decimal digits only, within std::int32_t.
std::optional<std::int32_t> WholeNumber(std::string_view text);

enum class Sign { None, MinusAllowed };

// Digits with at most one point, after a minus where `sign` allows one;
// nothing for any other text or a number beyond a double.
std::optional<double> PlainDecimal(std::string_view text, Sign sign = Sign::None);

// N fields, each read by `read` (WholeNumber, PlainDecimal...); nothing
// when the count or any field is wrong.
template <typename T, std::size_t N, typename Read>
std::optional<std::array<T, N>> ParseNumberList(std::string_view text, Read read) {
    const auto fields = SplitFields<N>(text);
    if (!fields) {
        return std::nullopt;
    }
    std::array<T, N> values{};
    for (std::size_t field = 0; field < N; ++field) {
        const std::optional<T> value = read((*fields)[field]);
        if (!value) {
            return std::nullopt;
        }
        values[field] = *value;
    }
    return values;
}
