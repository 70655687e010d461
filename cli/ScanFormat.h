// The file formats a scan is written in, picked by the output's extension.
#pragma once

#include <filesystem>
#include <optional>

enum class ScanFormat { Pnm, Bmp };

// .pnm, .ppm and .pgm give PNM, .bmp BMP, in any letter case.
std::optional<ScanFormat> ScanFormatOf(const std::filesystem::path& output);
