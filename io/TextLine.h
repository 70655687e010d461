// printf-style formatting of one line of an output file into a 128-byte buffer.
#pragma once

#include "curve/ClassicFormat.h"

#include <cstddef>
#include <string>

// Every written line is formatted into a buffer of this size, terminating zero
// included; the lines of both file formats are far shorter.
inline constexpr std::size_t kLineBufferSize = 128;

// Formats into the line buffer; text that would not fit is cut, never overrun.
// Numbers are written the C way whatever the locale.
template <typename... Args> std::string FormatLine(const char* format, Args... args) {
    return FormatClassic<kLineBufferSize>(format, args...);
}
