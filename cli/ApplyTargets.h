// Where `apply` writes each image and in which format: chosen by the output's
// extension, or every input under its own name in the -o folder.
#pragma once

#include "cli/CliArgs.h"

#include <filesystem>
#include <optional>
#include <vector>

enum class ImageFormat { Bmp, Png };

// .bmp or .png, in any letter case; nullopt for anything else.
std::optional<ImageFormat> FormatFromExtension(const std::filesystem::path& path);

struct ApplyTarget {
    std::filesystem::path input;
    std::filesystem::path output;
    ImageFormat format;
};

// One target per input of an apply command that ParseArgs accepted. With -o
// the output keeps the input's file name (BMP), or its stem with ".png".
std::vector<ApplyTarget> ApplyTargets(const CliCommand& command);
