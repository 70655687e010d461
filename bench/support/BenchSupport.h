// What several benchmarks share: tables that change every level, and the
// process's resident size for peak-memory counters.
#pragma once

#include "curve/ChannelParams.h"

#include <cstddef>
#include <cstdint>
#include <fstream>
#include <string>

namespace benchsupport {

// Three different tables, none of them the identity.
inline GammaTableSet SomeTables() {
    GammaTableSet tables{};
    for (std::size_t c = 0; c < tables.size(); ++c) {
        for (int i = 0; i < 256; ++i) {
            tables[c][i] = static_cast<std::int16_t>((i * (c + 2)) / 3 & 0xFF);
        }
    }
    return tables;
}

// A field of /proc/self/status in bytes (it is given in kB).
inline double StatusBytes(const char* field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    const std::string prefix = std::string(field) + ":";
    while (std::getline(status, line)) {
        if (line.rfind(prefix, 0) == 0) {
            return std::stod(line.substr(prefix.size())) * 1024.0;
        }
    }
    return 0.0;
}

// Sets the peak resident size (VmHWM) back to the current one.
inline void ResetPeak() {
    std::ofstream("/proc/self/clear_refs") << "5";
}

} // namespace benchsupport
