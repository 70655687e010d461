// PNM's three usual extensions all name the binary format the writer picks
// by channel count (P6 colour, P5 grey).
#include "cli/ScanFormat.h"

#include <algorithm>
#include <cctype>
#include <string>

std::optional<ScanFormat> ScanFormatOf(const std::filesystem::path& output) {
    std::string extension = output.extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (extension == ".pnm" || extension == ".ppm" || extension == ".pgm") {
        return ScanFormat::Pnm;
    }
    if (extension == ".bmp") {
        return ScanFormat::Bmp;
    }
    return std::nullopt;
}
