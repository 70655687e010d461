// Output names by their extensions, through the formats image/ writes.
#include "cli/OutputChecks.h"

#include "cli/ApplyTargets.h"
#include "image/formats/FormatTable.h"

#include <set>

// The outputs of apply must be of a known format and must not collide.
std::string CheckApplyOutputs(const CliCommand& command) {
    if (!command.outputDir && !FormatOfName(command.output, NameUse::ColourOnly)) {
        return "the output must end in " + NameList(NameUse::ColourOnly) + ": " +
               command.output.string();
    }
    std::set<std::filesystem::path> seen;
    for (const std::filesystem::path& input : command.inputs) {
        if (command.outputDir && !input.has_filename()) {
            return "not a file name: " + input.string();
        }
    }
    for (const ApplyTarget& target : ApplyTargets(command)) {
        if (!seen.insert(target.output.lexically_normal()).second) {
            return "two inputs would be written to " + target.output.string();
        }
    }
    return {};
}

std::string CheckScanOutput(const CliCommand& command) {
    const std::filesystem::path first =
        command.batch ? std::filesystem::path(PageName(*command.batch, 1)) : command.output;
    const std::optional<ImageFormat> format = FormatOfName(first);
    if (!format) {
        return "the output must end in " + NameList(NameUse::AnySamples) + ": " +
               command.output.string();
    }
    if (!EntryOf(*format).HoldsWide && command.depth == 16) {
        return "a " + std::string(EntryOf(*format).Label) +
               " file holds 8-bit samples only; use .pnm, .png or .tif for --depth 16";
    }
    return {};
}
