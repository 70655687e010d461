// printf-style formatting that always writes numbers the C way (a decimal
// point, no grouping), whatever locale the process or another library set.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdio>
#include <string>

// Switches the calling thread to the "C" locale for its lifetime and back
// after; other threads and the process-wide locale are left alone.
class ClassicLocaleScope {
public:
    ClassicLocaleScope();
    ~ClassicLocaleScope();
    ClassicLocaleScope(const ClassicLocaleScope&) = delete;
    ClassicLocaleScope& operator=(const ClassicLocaleScope&) = delete;

private:
    void* previous_; // the thread's locale_t before
};

// Formats into a buffer of `BufferSize` bytes, terminating zero included;
// text that would not fit is cut, never overrun.
template <std::size_t BufferSize, typename... Args>
std::string FormatClassic(const char* format, Args... args) {
    std::array<char, BufferSize> buffer{};
    int length = 0;
    {
        const ClassicLocaleScope classic;
        length = std::snprintf(buffer.data(), buffer.size(), format, args...);
    }
    if (length <= 0) {
        return {};
    }
    const auto kept = std::min(static_cast<std::size_t>(length), buffer.size() - 1);
    return std::string(buffer.data(), kept);
}
