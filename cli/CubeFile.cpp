// 1D LUT: input level i of 0..255 maps to the line for i; output levels are
// normalised to 0..1 by dividing by the full level 255.
#include "cli/CubeFile.h"

#include <array>
#include <cstdio>

namespace {

constexpr const char* kTitleLine = "TITLE \"Gamma tables by Tamrel\"\n";
constexpr const char* kSizeFormat = "LUT_1D_SIZE %zu\n";
constexpr const char* kEntryFormat = "%.6f %.6f %.6f\n";
constexpr double kFullLevel = 255.0;
// "1.000000 1.000000 1.000000\n" and the size line fit with room to spare.
constexpr std::size_t kCubeLineBuffer = 64;

template <typename... Args> std::string Formatted(const char* format, Args... args) {
    std::array<char, kCubeLineBuffer> buffer{};
    const int length = std::snprintf(buffer.data(), buffer.size(), format, args...);
    return length > 0 ? std::string(buffer.data(), static_cast<std::size_t>(length)) : "";
}

double Normalised(std::int16_t entry) {
    return static_cast<double>(entry) / kFullLevel;
}

} // namespace

std::vector<std::string> FormatCubeFile(const GammaTableSet& tables) {
    std::vector<std::string> lines;
    lines.reserve(2 + kGammaTableSize);
    lines.emplace_back(kTitleLine);
    lines.push_back(Formatted(kSizeFormat, kGammaTableSize));
    for (std::size_t i = 0; i < kGammaTableSize; ++i) {
        lines.push_back(Formatted(kEntryFormat, Normalised(tables[kRed][i]),
                                  Normalised(tables[kGreen][i]), Normalised(tables[kBlue][i])));
    }
    return lines;
}

WriteResult WriteCubeFile(const std::filesystem::path& path, const GammaTableSet& tables) {
    return WriteFileAtomically(path, FormatCubeFile(tables));
}
