// Command-line grammar: COMMAND [options] (PARAMS | --defaults) operands...
// Options may stand anywhere after the command; "--" ends them.
#include "cli/CliArgs.h"

#include "cli/ApplyTargets.h"
#include "curve/CurveTable.h"
#include "image/SampleOutput.h"

#include <array>
#include <charconv>
#include <set>

namespace {

struct CommandSyntax {
    CommandKind kind;
    const char* name;
    std::size_t minOperands; // besides PARAMS
    std::size_t maxOperands;
    bool takesParams; // PARAMS or --defaults comes first
};

constexpr std::size_t kMany = static_cast<std::size_t>(-1);

constexpr std::array<CommandSyntax, 8> kCommands = {{
    {CommandKind::Export, "export", 1, 1, true},
    {CommandKind::Apply, "apply", 1, kMany, true},
    {CommandKind::Sane, "sane", 0, 0, true},
    {CommandKind::Cube, "cube", 1, 1, true},
    {CommandKind::Table, "table", 0, 0, true},
    {CommandKind::Devices, "devices", 0, 0, false},
    {CommandKind::Auto, "auto", 2, 2, true},
    {CommandKind::Scan, "scan", 1, 1, true},
}};

constexpr std::array<const char*, kChannelCount> kChannelNames = {"red", "green", "blue"};

const CommandSyntax* FindCommand(std::string_view name) {
    for (const CommandSyntax& syntax : kCommands) {
        if (name == syntax.name) {
            return &syntax;
        }
    }
    return nullptr;
}

bool IsHelp(std::string_view arg) {
    return arg == "--help" || arg == "-h";
}

ParsedArgs Bad(std::string message) {
    ParsedArgs parsed;
    parsed.message = std::move(message);
    return parsed;
}

// Options and operands as they stand, before their meaning is checked.
struct Sorted {
    std::vector<std::string_view> operands;
    bool help = false;
    bool defaults = false;
    bool force = false;
    bool png = false;
    bool compress = false;
    std::optional<std::string_view> compressMethod;
    std::optional<std::string_view> profile;
    std::optional<std::string_view> outputDir;
    std::optional<std::string_view> size;
    std::optional<std::string_view> maxLevel;
    std::optional<std::string_view> device;
    std::optional<std::string_view> channel;
    std::optional<std::string_view> clip;
    bool linear = false;
    std::optional<std::string_view> resolution;
    std::optional<std::string_view> mode;
    std::optional<std::string_view> depth;
    std::vector<std::string_view> deviceOptions;
    std::string error; // the first one found

    void Fail(std::string text) {
        if (error.empty()) {
            error = std::move(text);
        }
    }
};

// The word after an option that takes one; `what` names it in the error.
void TakeValue(std::string_view arg, const char* what, const std::vector<std::string_view>& args,
               std::size_t& i, std::optional<std::string_view>& value, Sorted& sorted) {
    if (i + 1 >= args.size() || args[i + 1].empty()) {
        sorted.Fail(std::string(arg) + " needs " + what);
        return;
    }
    if (value) {
        sorted.Fail(std::string(arg) + " given twice");
    }
    value = args[++i];
}

// Records the first error and goes on, so that --help anywhere still counts.
void TakeOption(std::string_view arg, const std::vector<std::string_view>& args, std::size_t& i,
                Sorted& sorted) {
    if (IsHelp(arg)) {
        sorted.help = true;
    } else if (arg == "--defaults") {
        sorted.defaults = true;
    } else if (arg == "--force") {
        sorted.force = true;
    } else if (arg == "--png") {
        sorted.png = true;
    } else if (arg == "--compress") {
        // The method is optional: taken only when the next word names one.
        sorted.compress = true;
        if (i + 1 < args.size() && (args[i + 1] == "deflate" || args[i + 1] == "lzw")) {
            sorted.compressMethod = args[++i];
        }
    } else if (arg.starts_with("--compress=")) {
        sorted.compress = true;
        sorted.compressMethod = arg.substr(std::string_view("--compress=").size());
    } else if (arg == "--profile") {
        TakeValue(arg, "an ICC profile", args, i, sorted.profile, sorted);
    } else if (arg == "-o" || arg == "--output-dir") {
        TakeValue(arg, "a folder", args, i, sorted.outputDir, sorted);
    } else if (arg == "--size") {
        TakeValue(arg, "a number of entries", args, i, sorted.size, sorted);
    } else if (arg == "--max") {
        TakeValue(arg, "a top level", args, i, sorted.maxLevel, sorted);
    } else if (arg == "--device") {
        TakeValue(arg, "a device name", args, i, sorted.device, sorted);
    } else if (arg == "--channel") {
        TakeValue(arg, "red, green or blue", args, i, sorted.channel, sorted);
    } else if (arg == "--clip") {
        TakeValue(arg, "a percentage", args, i, sorted.clip, sorted);
    } else if (arg == "--linear") {
        sorted.linear = true;
    } else if (arg == "--resolution") {
        TakeValue(arg, "dots per inch", args, i, sorted.resolution, sorted);
    } else if (arg == "--mode") {
        TakeValue(arg, "Color or Gray", args, i, sorted.mode, sorted);
    } else if (arg == "--depth") {
        TakeValue(arg, "8 or 16", args, i, sorted.depth, sorted);
    } else if (arg == "--option") {
        std::optional<std::string_view> option;
        TakeValue(arg, "NAME=VALUE", args, i, option, sorted);
        if (option) {
            sorted.deviceOptions.push_back(*option);
        }
    } else {
        sorted.Fail("unknown option " + std::string(arg));
    }
}

Sorted SortArgs(const std::vector<std::string_view>& args) {
    Sorted sorted;
    bool optionsEnded = false;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        if (!optionsEnded && arg == "--") {
            optionsEnded = true;
        } else if (!optionsEnded && arg.size() > 1 && arg.front() == '-') {
            TakeOption(arg, args, i, sorted);
        } else {
            sorted.operands.push_back(arg);
        }
    }
    return sorted;
}

// Which commands take the table options, and which go together.
std::string CheckTableOptions(const CommandSyntax& syntax, const Sorted& sorted) {
    const CommandKind kind = syntax.kind;
    if (sorted.size && kind != CommandKind::Table && kind != CommandKind::Cube &&
        kind != CommandKind::Sane) {
        return "--size is for table, cube and sane only";
    }
    if (sorted.maxLevel && kind != CommandKind::Table && kind != CommandKind::Sane) {
        return "--max is for table and sane only";
    }
    if (sorted.device && kind != CommandKind::Sane && kind != CommandKind::Scan) {
        return "--device is for sane and scan only";
    }
    if (sorted.channel && kind != CommandKind::Sane) {
        return "--channel is for sane only";
    }
    if (sorted.device && (sorted.size || sorted.maxLevel)) {
        return "--device reads the sizes from the device; --size and --max go without it";
    }
    if (sorted.channel && !sorted.device && kind == CommandKind::Sane) {
        return "--channel goes with --device";
    }
    return {};
}

// Options that only some commands take.
std::string CheckOptions(const CommandSyntax& syntax, const Sorted& sorted) {
    if (sorted.force && syntax.kind != CommandKind::Export) {
        return "--force is for export only";
    }
    if (sorted.outputDir && syntax.kind != CommandKind::Apply) {
        return "-o is for apply only";
    }
    if (sorted.compress && syntax.kind != CommandKind::Apply && syntax.kind != CommandKind::Scan) {
        return "--compress is for apply and scan only";
    }
    if (sorted.compressMethod && *sorted.compressMethod != "deflate" &&
        *sorted.compressMethod != "lzw") {
        return "--compress takes deflate or lzw, not " + std::string(*sorted.compressMethod);
    }
    if (sorted.profile && syntax.kind != CommandKind::Scan) {
        return "--profile is for scan only";
    }
    if (sorted.png && !sorted.outputDir) {
        return "--png goes with -o DIR";
    }
    if (sorted.clip && syntax.kind != CommandKind::Auto) {
        return "--clip is for auto only";
    }
    const bool scanOptions = sorted.linear || sorted.resolution || sorted.mode || sorted.depth ||
                             !sorted.deviceOptions.empty();
    if (scanOptions && syntax.kind != CommandKind::Scan) {
        return "--linear, --resolution, --mode, --depth and --option are for scan only";
    }
    if (sorted.linear && sorted.defaults) {
        return "--linear and --defaults exclude each other";
    }
    return CheckTableOptions(syntax, sorted);
}

// PARAMS (unless --defaults) and the command's own operands.
std::string TakeOperands(const CommandSyntax& syntax, const Sorted& sorted, CliCommand& command) {
    std::vector<std::string_view> rest = sorted.operands;
    for (const std::string_view operand : rest) {
        if (operand.empty()) {
            return "an empty file name";
        }
    }
    if (!syntax.takesParams) {
        if (sorted.defaults) {
            return "takes no parameters";
        }
    } else if (!sorted.defaults && !sorted.linear) {
        if (rest.empty()) {
            return "a parameter file or --defaults is needed";
        }
        command.params = rest.front();
        rest.erase(rest.begin());
    }
    // apply without -o takes IN and OUT; with -o, one or more IN.
    const bool pairForm = syntax.kind == CommandKind::Apply && !sorted.outputDir;
    const std::size_t min = pairForm ? 2 : syntax.minOperands;
    const std::size_t max = pairForm ? 2 : syntax.maxOperands;
    if (rest.size() < min) {
        return "too few file names";
    }
    if (rest.size() > max) {
        return "too many file names";
    }
    // apply in pairs and auto end with their output; apply -o has only inputs.
    const bool endsWithOutput = pairForm || syntax.kind == CommandKind::Auto;
    if (syntax.kind == CommandKind::Apply || syntax.kind == CommandKind::Auto) {
        command.inputs.assign(rest.begin(), rest.end() - (endsWithOutput ? 1 : 0));
    }
    if (endsWithOutput || syntax.kind == CommandKind::Export || syntax.kind == CommandKind::Cube ||
        syntax.kind == CommandKind::Scan) {
        command.output = rest.back();
    }
    return {};
}

// The export name must have a file part for the three suffixes to follow:
// "curves/", "." or an existing folder would give files named "R.", "G.", "B.".
std::string CheckExportName(const std::filesystem::path& name) {
    const std::filesystem::path file = name.filename();
    std::error_code error;
    if (file.empty() || file == "." || file == ".." || std::filesystem::is_directory(name, error)) {
        return "not a file name: " + name.string();
    }
    return {};
}

// The outputs of apply must be of a known format and must not collide.
std::string CheckApplyOutputs(const CliCommand& command) {
    if (!command.outputDir && !FormatFromExtension(command.output)) {
        return "the output must end in .bmp, .pnm, .ppm, .png, .tif or .tiff: " +
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

// A whole decimal number in min..max: no sign, no blanks, nothing after it.
std::optional<long> NumberIn(std::string_view text, long min, long max) {
    unsigned long value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (error != std::errc() || stop != end || value < static_cast<unsigned long>(min) ||
        value > static_cast<unsigned long>(max)) {
        return std::nullopt;
    }
    return static_cast<long>(value);
}

// A percentage 0..100 in plain decimals ("0.5", "2"): no sign, exponent or blanks.
std::optional<double> PercentOf(std::string_view text) {
    constexpr double kAllPixels = 100.0;
    if (text.empty() || text.find_first_not_of("0123456789.") != std::string_view::npos) {
        return std::nullopt;
    }
    double value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (error != std::errc() || stop != end || value > kAllPixels) {
        return std::nullopt;
    }
    return value;
}

std::optional<Channel> ChannelNamed(std::string_view name) {
    for (std::size_t c = 0; c < kChannelCount; ++c) {
        if (name == kChannelNames[c]) {
            return static_cast<Channel>(c);
        }
    }
    return std::nullopt;
}

// The values of --size, --max, --device and --channel.
std::string TakeTableOptions(const Sorted& sorted, CliCommand& command) {
    if (sorted.size) {
        const auto size = NumberIn(*sorted.size, kMinCurveEntries, kMaxCurveEntries);
        if (!size) {
            return "--size takes 2..65536 entries, not " + std::string(*sorted.size);
        }
        command.size = static_cast<std::size_t>(*size);
    }
    if (sorted.maxLevel) {
        const auto max = NumberIn(*sorted.maxLevel, kMinCurveLevel, kMaxCurveLevel);
        if (!max) {
            return "--max takes a top level of 1..65535, not " + std::string(*sorted.maxLevel);
        }
        command.maxLevel = static_cast<int>(*max);
    }
    if (sorted.channel) {
        command.channel = ChannelNamed(*sorted.channel);
        if (!command.channel) {
            return "--channel takes red, green or blue, not " + std::string(*sorted.channel);
        }
    }
    if (sorted.device) {
        command.device = std::string(*sorted.device);
    }
    if (sorted.clip) {
        command.clipPercent = PercentOf(*sorted.clip);
        if (!command.clipPercent) {
            return "--clip takes a percentage of 0..100, not " + std::string(*sorted.clip);
        }
    }
    return {};
}

// The values of the scan options; the device judges resolution and mode.
std::string TakeScanOptions(const Sorted& sorted, CliCommand& command) {
    command.linear = sorted.linear;
    if (sorted.resolution) {
        command.resolution = std::string(*sorted.resolution);
    }
    if (sorted.mode) {
        command.mode = std::string(*sorted.mode);
    }
    if (sorted.depth) {
        if (*sorted.depth != "8" && *sorted.depth != "16") {
            return "--depth takes 8 or 16, not " + std::string(*sorted.depth);
        }
        command.depth = *sorted.depth == "8" ? 8 : 16;
    }
    for (const std::string_view option : sorted.deviceOptions) {
        const std::size_t equals = option.find('=');
        if (equals == std::string_view::npos || equals == 0) {
            return "--option takes NAME=VALUE, not " + std::string(option);
        }
        command.deviceOptions.emplace_back(option.substr(0, equals), option.substr(equals + 1));
    }
    return {};
}

// The scan's output: a format the tool writes, BMP only for 8-bit samples.
std::string CheckScanOutput(const CliCommand& command) {
    const std::optional<OutputKind> format = SampleOutputOf(command.output);
    if (!format) {
        return "the output must end in .pnm, .ppm, .pgm, .png, .tif, .tiff or .bmp: " +
               command.output.string();
    }
    if (*format == OutputKind::Bmp && command.depth == 16) {
        return "a BMP file holds 8-bit samples only; use .pnm, .png or .tif for --depth 16";
    }
    return {};
}

ParsedArgs Complete(const CommandSyntax& syntax, const Sorted& sorted) {
    ParsedArgs parsed;
    CliCommand& command = parsed.command;
    command.kind = syntax.kind;
    command.defaults = sorted.defaults;
    command.force = sorted.force;
    command.png = sorted.png;
    if (sorted.compress) {
        command.compression =
            sorted.compressMethod == "lzw" ? TiffCompression::Lzw : TiffCompression::Deflate;
    }
    if (sorted.profile) {
        command.profile = std::filesystem::path(*sorted.profile);
    }
    if (sorted.outputDir) {
        command.outputDir = std::filesystem::path(*sorted.outputDir);
    }
    std::string error = CheckOptions(syntax, sorted);
    if (error.empty()) {
        error = TakeTableOptions(sorted, command);
    }
    if (error.empty()) {
        error = TakeScanOptions(sorted, command);
    }
    if (error.empty()) {
        error = TakeOperands(syntax, sorted, command);
    }
    if (error.empty() && syntax.kind == CommandKind::Scan) {
        error = CheckScanOutput(command);
    }
    if (error.empty() && syntax.kind == CommandKind::Apply) {
        error = CheckApplyOutputs(command);
    }
    if (error.empty() && syntax.kind == CommandKind::Export) {
        error = CheckExportName(command.output);
    }
    if (!error.empty()) {
        return Bad(std::string(syntax.name) + ": " + error);
    }
    parsed.status = ParseStatus::Run;
    return parsed;
}

} // namespace

ParsedArgs ParseArgs(const std::vector<std::string_view>& args) {
    if (args.empty()) {
        return Bad("no command given");
    }
    if (IsHelp(args.front())) {
        return ParsedArgs{ParseStatus::Help, {}, std::nullopt, {}};
    }
    const CommandSyntax* syntax = FindCommand(args.front());
    if (syntax == nullptr) {
        return Bad("unknown command " + std::string(args.front()));
    }
    const Sorted sorted = SortArgs(args);
    // Help wins over everything else on the line, as scripts and users expect.
    if (sorted.help) {
        return ParsedArgs{ParseStatus::Help, {}, syntax->kind, {}};
    }
    if (!sorted.error.empty()) {
        return Bad(std::string(syntax->name) + ": " + sorted.error);
    }
    return Complete(*syntax, sorted);
}

const char* CommandName(CommandKind kind) {
    for (const CommandSyntax& syntax : kCommands) {
        if (syntax.kind == kind) {
            return syntax.name;
        }
    }
    return "";
}
