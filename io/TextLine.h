// printf-style formatting of one line of an output file into a 128-byte buffer.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdio>
#include <string>

// Every written line is formatted into a buffer of this size, terminating zero
// included; the lines of both file formats are far shorter.
inline constexpr std::size_t kLineBufferSize = 128;

// Formats into the line buffer; text that would not fit is cut, never overrun.
template <typename... Args> std::string FormatLine(const char* format, Args... args) {
    std::array<char, kLineBufferSize> buffer{};
    const int length = std::snprintf(buffer.data(), buffer.size(), format, args...);
    if (length <= 0) {
        return {};
    }
    const auto kept = std::min(static_cast<std::size_t>(length), buffer.size() - 1);
    return std::string(buffer.data(), kept);
}
