// Output names by their extensions, through the formats image/ writes.
#include "cli/OutputChecks.h"

#include "cli/ApplyTargets.h"
#include "cli/Messages.h"
#include "image/formats/FormatTable.h"
#include "io/ExportNames.h"
#include "io/NumberedFiles.h"

#include <set>

namespace {

// --compress works on TIFF alone: asked for with no TIFF output it would
// change nothing, which the user must hear of.
std::string CompressWithoutTiff(const CliCommand& command,
                                const std::vector<std::filesystem::path>& outputs) {
    if (command.compression == Compression::None || outputs.empty()) {
        return {};
    }
    for (const std::filesystem::path& output : outputs) {
        if (FormatOfName(output) == ImageFormat::Tiff) {
            return {};
        }
    }
    return "--compress is for TIFF outputs (.tif, .tiff), not " + outputs.front().string();
}

// Pages looked for one by one where the page number names a folder.
constexpr int kPagesLooked = 999;

// The pages of a batch already there above page `above`: the names in the
// pattern's folder that its numbering gives, or, where the number names a
// folder, those of the first kPagesLooked pages.
NumberedFiles ExistingPages(const PagePattern& pattern, int above = 0) {
    if (pattern.suffix.find('/') != std::string::npos) {
        NumberedFiles found;
        for (int number = kPagesLooked; number > above; --number) {
            if (ExistsAsFile(PageName(pattern, number))) {
                found.first = PageName(pattern, number);
                found.highest = std::max(found.highest, number);
                ++found.count;
            }
        }
        return found;
    }
    const std::size_t slash = pattern.prefix.rfind('/');
    const std::size_t name = slash == std::string::npos ? 0 : slash + 1;
    const Numbering numbering{
        pattern.prefix.substr(name), pattern.suffix, [&](int number) {
            return number > above
                       ? std::filesystem::path(PageName(pattern, number)).filename().string()
                       : std::string();
        }};
    return FindNumberedFiles(pattern.prefix.substr(0, name), numbering);
}

std::string QualityRefusal() {
    return "--quality is for " + NameList(NameUse::AnySamples, TakesQuality) + " outputs";
}

} // namespace

// The outputs of apply must be of a known format, take several inputs only
// as pages of one file, and must not collide; --compress and --quality
// want an output that takes them.
std::string CheckApplyOutputs(const CliCommand& command) {
    if (!command.outputDir) {
        const std::optional<ImageFormat> format = FormatOfName(command.output);
        if (!format) {
            return "the output must end in " + NameList(NameUse::AnySamples) + ": " +
                   command.output.string();
        }
        if (command.inputs.size() > 1 && !HoldsPages(EntryOf(*format))) {
            return "several inputs go into one file only as its pages (" +
                   NameList(NameUse::AnySamples, HoldsPages) + "); -o DIR writes a file each";
        }
    }
    std::set<std::filesystem::path> seen;
    for (const std::filesystem::path& input : command.inputs) {
        if (command.outputDir && !input.has_filename()) {
            return "not a file name: " + input.string();
        }
    }
    std::vector<std::filesystem::path> outputs;
    bool takesQuality = false;
    for (const ApplyTarget& target : ApplyTargets(command)) {
        if (!seen.insert(target.output.lexically_normal()).second && command.outputDir) {
            return "two inputs would be written to " + target.output.string();
        }
        outputs.push_back(target.output);
        takesQuality = takesQuality || TakesQuality(EntryOf(target.format));
    }
    if (std::string bad = CompressWithoutTiff(command, outputs); !bad.empty()) {
        return bad;
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
    return CompressWithoutTiff(command, {first});
}

std::string ExistingScanOutput(const CliCommand& command) {
    if (!command.batch) {
        return ExistsAsFile(command.output) ? FileError(command.output, kReasonExists)
                                            : std::string();
    }
    const NumberedFiles pages = ExistingPages(*command.batch);
    if (pages.count == 0) {
        return {};
    }
    if (pages.count == 1) {
        return FileError(pages.first, kReasonExists);
    }
    return FileError(pages.first, "exists, and " + std::to_string(pages.count - 1) +
                                      " more of the batch's names (--force replaces them)");
}

std::string OlderPagesLeft(const CliCommand& command, int lastPage) {
    const NumberedFiles left = ExistingPages(*command.batch, lastPage);
    if (left.count == 0) {
        return {};
    }
    const std::string more =
        left.count == 1
            ? std::string()
            : " and " + std::to_string(left.count - 1) + " more up to " +
                  std::filesystem::path(PageName(*command.batch, left.highest)).filename().string();
    return FileError(left.first, "left from an earlier batch" + more + " (not replaced)");
}
