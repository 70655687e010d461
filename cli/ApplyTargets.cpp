// Output names and formats of `apply`.
#include "cli/ApplyTargets.h"

#include <algorithm>
#include <cctype>
#include <string>

namespace fs = std::filesystem;

namespace {

std::string Lowered(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

} // namespace

std::optional<ImageFormat> FormatFromExtension(const fs::path& path) {
    const std::string extension = Lowered(path.extension().string());
    if (extension == ".bmp") {
        return ImageFormat::Bmp;
    }
    if (extension == ".pnm" || extension == ".ppm") {
        return ImageFormat::Pnm;
    }
    if (extension == ".png") {
        return ImageFormat::Png;
    }
    if (extension == ".tif" || extension == ".tiff") {
        return ImageFormat::Tiff;
    }
    return std::nullopt;
}

std::vector<ApplyTarget> ApplyTargets(const CliCommand& command) {
    std::vector<ApplyTarget> targets;
    if (!command.outputDir) {
        const auto format = FormatFromExtension(command.output);
        targets.push_back(
            {command.inputs.at(0), command.output, format.value_or(ImageFormat::Bmp)});
        return targets;
    }
    for (const fs::path& input : command.inputs) {
        if (command.png) {
            fs::path name = input.filename();
            name.replace_extension(".png");
            targets.push_back({input, *command.outputDir / name, ImageFormat::Png});
        } else {
            fs::path name = input.filename();
            if (Lowered(name.extension().string()) == ".pgm") {
                name.replace_extension(".ppm");
            }
            targets.push_back({input, *command.outputDir / name,
                               FormatFromExtension(name).value_or(ImageFormat::Bmp)});
        }
    }
    return targets;
}

TiffCompression TiffCompressionOf(Compression compression) {
    switch (compression) {
    case Compression::Deflate:
        return TiffCompression::Deflate;
    case Compression::Lzw:
        return TiffCompression::Lzw;
    case Compression::None:
        break;
    }
    return TiffCompression::None;
}
