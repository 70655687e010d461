// A scan of a chart as calibration reads it: every pixel's red, green and
// blue at full precision, 0..65535 whatever the file's depth and maxval.
#pragma once

#include "image/Outcome.h"
#include "image/rows/StoredRows.h"

#include <cstdint>
#include <filesystem>
#include <vector>

inline constexpr int kScanTop = 65535;
inline constexpr int kScanChannels = 3; // red, green, blue

struct ChartScan {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::vector<std::uint16_t> rgb; // upright rows, three samples per pixel

    const std::uint16_t* Pixel(std::int32_t x, std::int32_t y) const {
        return rgb.data() + (std::size_t(y) * std::size_t(width) + std::size_t(x)) * 3;
    }
};

// Any row source: grey, RGB, BGR or a colour table, 8 or 16 bits, either
// byte order, bottom-up or not. A sample v of maxval m becomes
// (min(v, m) * 65535 + m / 2) / m; grey gives the same value on all three.
// TooLarge when the pixels would not fit in memory, or the source's reason.
Outcome<ChartScan> ScanOfRows(const RowSource& source);

// A file of any format the program reads, chosen by its name as the window
// chooses. The reader's reason, CannotOpen (Value = errno), or ScanOfRows's.
// `warning`, when given, takes what the reader went past.
Outcome<ChartScan> ReadChartScan(const std::filesystem::path& path, Reason* warning = nullptr);
