// --format takes an extension with or without its dot, in any letter case,
// of a format the tool writes in colour (a grey name such as pgm is not one).
#include "cli/RollArgs.h"

#include "cli/RollFormat.h"

#include "curve/FilmSettings.h"

namespace {

constexpr std::string_view kPickForm =
    " takes STRIP:LEFT,TOP,WIDTH,HEIGHT (a strip of the roll, then a rectangle of its pixels "
    "with the width and height above 0), not ";

std::optional<ImageFormat> FormatOfExtension(std::string_view extension) {
    if (!extension.empty() && extension.front() == '.') {
        extension.remove_prefix(1);
    }
    if (extension.empty()) {
        return std::nullopt;
    }
    return FormatOfName("frame." + std::string(extension), NameUse::ColourOnly);
}

std::string TakePicks(const GivenOptions& given, CliCommand& command) {
    if (given.base) {
        command.stripBase = ParseStripPick(*given.base);
        if (!command.stripBase) {
            return "--base" + std::string(kPickForm) + std::string(*given.base);
        }
    }
    for (const std::string_view text : given.neutrals) {
        const std::optional<StripPick> pick = ParseStripPick(text);
        if (!pick) {
            return "--neutral" + std::string(kPickForm) + std::string(text);
        }
        command.stripNeutrals.push_back(*pick);
    }
    if (command.stripNeutrals.size() > kMaxNeutralPicks) {
        return "--neutral is given at most twice: a light and a dark grey";
    }
    if (given.bw && !command.stripNeutrals.empty()) {
        return "--neutral goes without --bw: a black-and-white film has no colour to balance";
    }
    return {};
}

} // namespace

std::string TakeRollOptions(const GivenOptions& given, CliCommand& command) {
    command.blackAndWhite = given.bw;
    if (std::string error = TakePicks(given, command); !error.empty()) {
        return error;
    }
    if (given.format) {
        if (!FormatOfExtension(*given.format)) {
            return "--format takes one of " + NameList(NameUse::ColourOnly) + ", not " +
                   std::string(*given.format);
        }
        command.format = std::string(*given.format);
    }
    const FormatEntry& entry = EntryOf(RollFormat(command));
    if (given.compress && !entry.TakesCompression) {
        return "--compress is for TIFF frames (--format tif), not " + std::string(entry.Label);
    }
    if (given.quality && !entry.TakesQuality) {
        return "--quality is for " + NameList(NameUse::AnySamples, TakesQuality) + " frames, not " +
               std::string(entry.Label);
    }
    return {};
}

ImageFormat RollFormat(const CliCommand& command) {
    return command.format ? FormatOfExtension(*command.format).value_or(ImageFormat::Tiff)
                          : ImageFormat::Tiff;
}
