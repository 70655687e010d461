// Output names and formats of `apply`.
#include "cli/ApplyTargets.h"

namespace fs = std::filesystem;

namespace {

// An output's format by its name; unknown names are written as BMP.
ImageFormat OutputFormatOf(const fs::path& path) {
    return FormatOfName(path).value_or(ImageFormat::Bmp);
}

} // namespace

std::vector<ApplyTarget> ApplyTargets(const CliCommand& command, bool keepsGrey) {
    std::vector<ApplyTarget> targets;
    if (!command.outputDir) {
        // Several inputs share one output only as its pages (the checks see to it).
        for (const fs::path& input : command.inputs) {
            targets.push_back({input, command.output, OutputFormatOf(command.output)});
        }
        return targets;
    }
    for (const fs::path& input : command.inputs) {
        if (command.png) {
            fs::path name = input.filename();
            name.replace_extension(".png");
            targets.push_back({input, *command.outputDir / name, ImageFormat::Png});
        } else {
            fs::path name = input.filename();
            if (!keepsGrey && HoldsGreyOnly(name)) {
                name.replace_extension(".ppm");
            }
            targets.push_back({input, *command.outputDir / name, OutputFormatOf(name)});
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
