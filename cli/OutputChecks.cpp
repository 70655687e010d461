// Output names by their extensions, through the formats image/ writes.
#include "cli/OutputChecks.h"

#include "cli/ApplyTargets.h"
#include "image/formats/FormatTable.h"

#include <set>

namespace {

std::string QualityRefusal() {
    return "--quality is for " + NameList(NameUse::AnySamples, TakesQuality) + " outputs";
}

} // namespace

// The outputs of apply must be of a known format, take several inputs only
// as pages of one file, and must not collide; --quality wants an output
// that takes it.
std::string CheckApplyOutputs(const CliCommand& command) {
    if (!command.outputDir) {
        const std::optional<ImageFormat> format = FormatOfName(command.output, NameUse::ColourOnly);
        if (!format) {
            return "the output must end in " + NameList(NameUse::ColourOnly) + ": " +
                   command.output.string();
        }
        if (command.inputs.size() > 1 && !HoldsPages(EntryOf(*format))) {
            return "several inputs go into one file only as its pages (" +
                   NameList(NameUse::ColourOnly, HoldsPages) + "); -o DIR writes a file each";
        }
    }
    std::set<std::filesystem::path> seen;
    for (const std::filesystem::path& input : command.inputs) {
        if (command.outputDir && !input.has_filename()) {
            return "not a file name: " + input.string();
        }
    }
    bool takesQuality = false;
    for (const ApplyTarget& target : ApplyTargets(command)) {
        if (!seen.insert(target.output.lexically_normal()).second && command.outputDir) {
            return "two inputs would be written to " + target.output.string();
        }
        takesQuality = takesQuality || TakesQuality(EntryOf(target.format));
    }
    return command.quality && !takesQuality ? QualityRefusal() : std::string();
}

std::string CheckScanOutput(const CliCommand& command) {
    const std::filesystem::path first =
        command.batch ? std::filesystem::path(PageName(*command.batch, 1)) : command.output;
    const std::optional<ImageFormat> format = FormatOfName(first);
    if (!format) {
        return "the output must end in " + NameList(NameUse::AnySamples) + ": " +
               command.output.string();
    }
    if (!TakesWideRows(*format) && command.depth == 16) {
        return "a " + std::string(EntryOf(*format).Label) +
               " file holds 8-bit samples only; use .pnm, .png or .tif for --depth 16";
    }
    if (command.quality && !TakesQuality(EntryOf(*format))) {
        return QualityRefusal();
    }
    return {};
}
