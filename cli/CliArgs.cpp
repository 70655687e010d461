// Command-line grammar: COMMAND [options] (PARAMS | --defaults) operands...
// Options may stand anywhere after the command; "--" ends them.
#include "cli/CliArgs.h"

#include "cli/AreaArgument.h"
#include "cli/CornersArgument.h"
#include "cli/NumberList.h"
#include "cli/OptionTable.h"
#include "cli/RectArgument.h"
#include "cli/RollArgs.h"
#include "curve/CurveTable.h"
#include "curve/FilmSettings.h"
#include "image/formats/FormatNames.h"
#include "image/formats/RowWriter.h"
#include "io/Letters.h"

#include <algorithm>
#include <array>
#include <charconv>

namespace {

struct CommandSyntax {
    CommandKind kind;
    const char* name;
    std::size_t minOperands; // besides PARAMS
    std::size_t maxOperands;
    bool takesParams; // PARAMS or --defaults comes first
};

constexpr std::size_t kMany = static_cast<std::size_t>(-1);

constexpr std::array<CommandSyntax, 12> kCommands = {{
    {CommandKind::Export, "export", 1, 1, true},
    {CommandKind::Apply, "apply", 1, kMany, true},
    {CommandKind::Sane, "sane", 0, 0, true},
    {CommandKind::Cube, "cube", 1, 1, true},
    {CommandKind::Table, "table", 0, 0, true},
    {CommandKind::Devices, "devices", 0, 0, false},
    {CommandKind::Auto, "auto", 2, 2, true},
    {CommandKind::Scan, "scan", 1, 1, true},
    {CommandKind::Calibrate, "calibrate", 2, 2, false},
    {CommandKind::Film, "film", 2, 2, true},
    {CommandKind::Assess, "assess", 1, 1, false},
    {CommandKind::Roll, "roll", 2, kMany, true},
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

const CommandSyntax& SyntaxOf(CommandKind kind) {
    return *std::ranges::find(kCommands, kind, &CommandSyntax::kind);
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
    GivenOptions given;
    std::string error; // the first one found

    void Fail(std::string text) {
        if (error.empty()) {
            error = std::move(text);
        }
    }
};

// A flag, with its optional value after '=' or as the next word where that
// is one of the flag's words.
void TakeFlag(const OptionSpec& option, bool GivenOptions::*flag, std::string_view arg,
              const std::vector<std::string_view>& args, std::size_t& i, GivenOptions& given) {
    given.*flag = true;
    const std::size_t equals = arg.find('=');
    if (equals != std::string_view::npos) {
        given.*(option.optionalValue) = arg.substr(equals + 1);
    } else if (!option.optionalWords.empty() && i + 1 < args.size() &&
               std::ranges::find(option.optionalWords, args[i + 1]) != option.optionalWords.end()) {
        given.*(option.optionalValue) = args[++i];
    }
}

// The word after an option that takes one, or the next word where it is one
// of a flag's optional values. Records the first error and goes on, so that
// --help anywhere still counts.
void TakeOption(std::string_view arg, const std::vector<std::string_view>& args, std::size_t& i,
                Sorted& sorted) {
    if (IsHelp(arg)) {
        sorted.help = true;
        return;
    }
    const OptionSpec* option = FindOption(arg);
    if (option == nullptr) {
        sorted.Fail("unknown option " + std::string(arg));
        return;
    }
    GivenOptions& given = sorted.given;
    if (const auto* flag = std::get_if<bool GivenOptions::*>(&option->target)) {
        TakeFlag(*option, *flag, arg, args, i, given);
        return;
    }
    if (i + 1 >= args.size() || args[i + 1].empty()) {
        sorted.Fail(std::string(arg) + " needs " + option->value);
        return;
    }
    const std::string_view value = args[++i];
    if (const auto* many =
            std::get_if<std::vector<std::string_view> GivenOptions::*>(&option->target)) {
        (given.*(*many)).push_back(value);
        return;
    }
    std::optional<std::string_view>& once =
        given.*std::get<std::optional<std::string_view> GivenOptions::*>(option->target);
    if (once) {
        sorted.Fail(std::string(arg) + " given twice");
    }
    once = value;
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

// Options on a command that does not take them, and options that must or
// must not go together.
std::string CheckOptions(const CommandSyntax& syntax, const GivenOptions& given) {
    for (const OptionSpec& option : AllOptions()) {
        if (WasGiven(option, given) && !TakesOption(option, syntax.name)) {
            return OnlyForText(option);
        }
    }
    if (given.png && !given.outputDir) {
        return "--png goes with -o DIR";
    }
    if (given.compressMethod && *given.compressMethod != "deflate" &&
        *given.compressMethod != "lzw") {
        return "--compress takes deflate or lzw, not " + std::string(*given.compressMethod);
    }
    if (given.linear && given.defaults) {
        return "--linear and --defaults exclude each other";
    }
    if (given.device && (given.size || given.maxLevel)) {
        return "--device reads the sizes from the device; --size and --max go without it";
    }
    if (given.channel && !given.device) {
        return "--channel goes with --device";
    }
    return {};
}

// What may stand for PARAMS on the command's line.
std::string ParamsNeeded(const CommandSyntax& syntax) {
    return syntax.kind == CommandKind::Scan ? "a parameter file, --defaults or --linear"
                                            : "a parameter file or --defaults";
}

bool NamesParamFile(std::string_view name) {
    constexpr std::string_view kParamExtension = ".tvp";
    return name.size() >= kParamExtension.size() &&
           SameLetters(name.substr(name.size() - kParamExtension.size()), kParamExtension);
}

// PARAMS off the front of the operands, unless --defaults (or --linear)
// stands for it; `least` is the count of the command's own operands.
std::string TakeParams(const CommandSyntax& syntax, const GivenOptions& given, std::size_t least,
                       std::vector<std::string_view>& rest, CliCommand& command) {
    if (!syntax.takesParams) {
        return given.defaults ? "takes no parameters" : "";
    }
    if (given.defaults || given.linear) {
        return {};
    }
    if (rest.empty()) {
        return ParamsNeeded(syntax) + " is needed";
    }
    // One name short, and that name no parameter file: the user left out
    // PARAMS rather than the output.
    if (rest.size() == least && !NamesParamFile(rest.front())) {
        return "too few file names: " + ParamsNeeded(syntax) + " is needed before " +
               std::string(rest.front());
    }
    command.params = rest.front();
    rest.erase(rest.begin());
    return {};
}

// PARAMS (unless --defaults) and the command's own operands.
std::string TakeOperands(const Sorted& sorted, CliCommand& command) {
    const CommandSyntax& syntax = SyntaxOf(command.kind);
    std::vector<std::string_view> rest = sorted.operands;
    // apply without -o takes IN... and OUT (several IN only for an output of
    // pages, which the output check judges); with -o, one or more IN.
    const bool pairForm = syntax.kind == CommandKind::Apply && !sorted.given.outputDir;
    const std::size_t min = pairForm ? 2 : syntax.minOperands;
    if (std::ranges::find(rest, std::string_view()) != rest.end()) {
        return "an empty file name";
    }
    if (std::string error = TakeParams(syntax, sorted.given, min, rest, command); !error.empty()) {
        return error;
    }
    if (rest.size() < min) {
        return "too few file names";
    }
    if (rest.size() > syntax.maxOperands) {
        return "too many file names";
    }
    // apply in pairs, auto, calibrate and film end with their output; apply -o has only inputs.
    const bool takesScan = syntax.kind == CommandKind::Auto || syntax.kind == CommandKind::Film ||
                           syntax.kind == CommandKind::Calibrate;
    const bool endsWithOutput = pairForm || takesScan;
    if (syntax.kind == CommandKind::Apply || takesScan || syntax.kind == CommandKind::Assess) {
        command.inputs.assign(rest.begin(), rest.end() - (endsWithOutput ? 1 : 0));
    }
    if (endsWithOutput || syntax.kind == CommandKind::Export || syntax.kind == CommandKind::Cube ||
        syntax.kind == CommandKind::Scan) {
        command.output = rest.back();
    }
    if (syntax.kind == CommandKind::Roll) { // OUTDIR STRIP...
        command.output = rest.front();
        command.inputs.assign(rest.begin() + 1, rest.end());
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
    const std::optional<double> value = PlainDecimal(text);
    if (!value || *value > kAllPixels) {
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
    if (sorted.given.size) {
        const auto size = NumberIn(*sorted.given.size, kMinCurveEntries, kMaxCurveEntries);
        if (!size) {
            return "--size takes 2..65536 entries, not " + std::string(*sorted.given.size);
        }
        command.size = static_cast<std::size_t>(*size);
    }
    if (sorted.given.maxLevel) {
        const auto max = NumberIn(*sorted.given.maxLevel, kMinCurveLevel, kMaxCurveLevel);
        if (!max) {
            return "--max takes a top level of 1..65535, not " +
                   std::string(*sorted.given.maxLevel);
        }
        command.maxLevel = static_cast<int>(*max);
    }
    if (sorted.given.channel) {
        command.channel = ChannelNamed(*sorted.given.channel);
        if (!command.channel) {
            return "--channel takes red, green or blue, not " + std::string(*sorted.given.channel);
        }
    }
    if (sorted.given.device) {
        command.device = std::string(*sorted.given.device);
    }
    if (sorted.given.clip) {
        command.clipPercent = PercentOf(*sorted.given.clip);
        if (!command.clipPercent) {
            return "--clip takes a percentage of 0..100, not " + std::string(*sorted.given.clip);
        }
    }
    return {};
}

// The values of --area, --source and --batch; the pattern is checked here.
std::string TakeFeederOptions(const Sorted& sorted, CliCommand& command) {
    if (sorted.given.area) {
        AreaParse parsed = ParseAreaArgument(*sorted.given.area);
        if (!parsed.area) {
            return "--area " + parsed.error;
        }
        command.area = parsed.area;
    }
    if (sorted.given.source) {
        command.source = std::string(*sorted.given.source);
    }
    if (sorted.given.optionsOf) {
        command.optionsOf = std::string(*sorted.given.optionsOf);
    }
    return {};
}

// The rectangles of film: --base is needed, --neutral at most twice, and
// none with --bw (a black-and-white film has no colour to balance).
std::string TakeFilmOptions(const Sorted& sorted, CliCommand& command) {
    if (command.kind == CommandKind::Roll) {
        return TakeRollOptions(sorted.given, command);
    }
    const auto rect = [](std::string_view name, std::string_view text, std::string& error) {
        const std::optional<PixelRect> parsed = ParseRectArgument(text);
        if (!parsed && error.empty()) {
            error = std::string(name) + " takes LEFT,TOP,WIDTH,HEIGHT in image pixels, the " +
                    "width and height above 0, not " + std::string(text);
        }
        return parsed;
    };
    std::string error;
    if (sorted.given.base) {
        command.filmBase = rect("--base", *sorted.given.base, error);
    }
    for (const std::string_view neutral : sorted.given.neutrals) {
        if (const auto parsed = rect("--neutral", neutral, error)) {
            command.neutrals.push_back(*parsed);
        }
    }
    command.blackAndWhite = sorted.given.bw;
    if (!error.empty() || command.kind != CommandKind::Film) {
        return error;
    }
    if (!sorted.given.base) {
        return "--base L,T,W,H is needed: the film's clearest part, its border or a gap";
    }
    if (command.neutrals.size() > kMaxNeutralPicks) {
        return "--neutral is given at most twice: a light and a dark grey";
    }
    if (command.blackAndWhite && !command.neutrals.empty()) {
        return "--neutral goes without --bw: a black-and-white film has no colour to balance";
    }
    return {};
}

// The values of the scan options; the device judges resolution and mode.
std::string TakeScanOptions(const Sorted& sorted, CliCommand& command) {
    command.linear = sorted.given.linear;
    if (sorted.given.resolution) {
        command.resolution = std::string(*sorted.given.resolution);
    }
    if (sorted.given.mode) {
        command.mode = std::string(*sorted.given.mode);
    }
    if (sorted.given.depth) {
        if (*sorted.given.depth != "8" && *sorted.given.depth != "16") {
            return "--depth takes 8 or 16, not " + std::string(*sorted.given.depth);
        }
        command.depth = *sorted.given.depth == "8" ? 8 : 16;
    }
    if (sorted.given.quality) {
        const auto quality = NumberIn(*sorted.given.quality, kLeastQuality, kMostQuality);
        if (!quality) {
            return "--quality takes 1..100, not " + std::string(*sorted.given.quality);
        }
        command.quality = static_cast<int>(*quality);
    }
    for (const std::string_view option : sorted.given.deviceOptions) {
        const std::size_t equals = option.find('=');
        if (equals == std::string_view::npos || equals == 0) {
            return "--option takes NAME=VALUE, not " + std::string(option);
        }
        command.deviceOptions.emplace_back(option.substr(0, equals), option.substr(equals + 1));
    }
    return {};
}

// A batch's pattern: one page number, checked here, as the names' syntax;
// or, for a name without '%' of a format that holds pages, that one file.
std::string TakeBatchPattern(const Sorted& sorted, CliCommand& command) {
    if (!sorted.given.batch) {
        return {};
    }
    const std::optional<ImageFormat> format = FormatOfName(command.output);
    if (format && HoldsPages(*format) && command.output.string().find('%') == std::string::npos) {
        command.batchIntoOne = true;
        return {};
    }
    PatternParse parse = ParsePagePattern(command.output.string());
    if (!parse.pattern) {
        return "--batch: " + parse.error + ": " + command.output.string();
    }
    command.batch = std::move(parse.pattern);
    return {};
}

// Two outputs of one name would keep only the one written last.
std::string CheckOutputsApart(const CliCommand& command) {
    std::vector<std::pair<std::string, std::filesystem::path>> outputs = {{"OUT", command.output}};
    const std::pair<const char*, const std::optional<std::filesystem::path>*> options[] = {
        {"--profile", &command.profile},
        {"--report", &command.report},
        {"--diagnostic", &command.diagnostic}};
    for (const auto& [name, path] : options) {
        if (*path) {
            outputs.emplace_back(name, **path);
        }
    }
    for (std::size_t i = 0; i < outputs.size(); ++i) {
        for (std::size_t j = i + 1; j < outputs.size(); ++j) {
            if (outputs[i].second.lexically_normal() == outputs[j].second.lexically_normal()) {
                return outputs[j].first + " and " + outputs[i].first + " name the same file";
            }
        }
    }
    return {};
}

// The chart, its reference and its corners (found in the scan when not
// given): --chart is needed, and --reference for any chart but the
// ColorChecker, whose values are built in.
std::string TakeChartOptions(const Sorted& sorted, CliCommand& command) {
    const GivenOptions& given = sorted.given;
    if (!given.chart) {
        return "--chart is needed";
    }
    command.chart = ChartNamed(*given.chart);
    if (!command.chart) {
        return "unknown chart " + std::string(*given.chart) + " (colorchecker or it8)";
    }
    if (given.corners) {
        command.corners = ParseCornersArgument(*given.corners);
        if (!command.corners) {
            return "--corners takes eight numbers X1,Y1,X2,Y2,X3,Y3,X4,Y4, not " +
                   std::string(*given.corners);
        }
    }
    if (given.reference) {
        command.reference = std::filesystem::path(*given.reference);
    } else if (*command.chart != ChartKind::ColorChecker24) {
        return "--chart " + std::string(*given.chart) + " needs --reference";
    }
    return {};
}

// The chart's options, and the outputs beside OUT: all of them named apart,
// and the picture in a format of colour.
std::string TakeCalibrateOptions(const Sorted& sorted, CliCommand& command) {
    const GivenOptions& given = sorted.given;
    if (std::string error = TakeChartOptions(sorted, command); !error.empty()) {
        return error;
    }
    if (given.report) {
        command.report = std::filesystem::path(*given.report);
    }
    if (given.iccVersion && *given.iccVersion != "2" && *given.iccVersion != "4") {
        return "--icc-version takes 2 or 4, not " + std::string(*given.iccVersion);
    }
    command.iccVersion = given.iccVersion == "4" ? 4 : 2;
    if (given.diagnostic) {
        command.diagnostic = std::filesystem::path(*given.diagnostic);
        if (!FormatOfName(*command.diagnostic, NameUse::ColourOnly)) {
            return "--diagnostic takes a name ending in " + NameList(NameUse::ColourOnly);
        }
    }
    return CheckOutputsApart(command);
}

// The chart's options; the tables the scan goes through come from --params.
std::string TakeAssessOptions(const Sorted& sorted, CliCommand& command) {
    if (sorted.given.params) {
        command.params = std::filesystem::path(*sorted.given.params);
    }
    return TakeChartOptions(sorted, command);
}

// The flags and the names that need no checking.
void TakePlainOptions(const GivenOptions& given, CliCommand& command) {
    command.defaults = given.defaults;
    command.force = given.force;
    command.png = given.png;
    if (given.compress) {
        command.compression =
            given.compressMethod == "lzw" ? Compression::Lzw : Compression::Deflate;
    }
    if (given.profile) {
        command.profile = std::filesystem::path(*given.profile);
    }
    if (given.outputDir) {
        command.outputDir = std::filesystem::path(*given.outputDir);
    }
}

std::string CheckExportOutput(const Sorted&, CliCommand& command) {
    return CheckExportName(command.output);
}

// The steps after the options were checked against the command, in order:
// each takes its part of the line or says what is wrong, and the first
// wrong one ends the parse. A step for one command alone names it.
struct ParseStep {
    std::optional<CommandKind> only;
    std::string (*take)(const Sorted& sorted, CliCommand& command);
};

constexpr std::array<ParseStep, 9> kParseSteps = {{
    {std::nullopt, TakeTableOptions},
    {std::nullopt, TakeScanOptions},
    {std::nullopt, TakeFeederOptions},
    {std::nullopt, TakeFilmOptions},
    {std::nullopt, TakeOperands},
    {CommandKind::Scan, TakeBatchPattern},
    {CommandKind::Export, CheckExportOutput},
    {CommandKind::Calibrate, TakeCalibrateOptions},
    {CommandKind::Assess, TakeAssessOptions},
}};

ParsedArgs Complete(const CommandSyntax& syntax, const Sorted& sorted) {
    ParsedArgs parsed;
    CliCommand& command = parsed.command;
    command.kind = syntax.kind;
    TakePlainOptions(sorted.given, command);
    std::string error = CheckOptions(syntax, sorted.given);
    for (const ParseStep& step : kParseSteps) {
        if (error.empty() && (!step.only || step.only == syntax.kind)) {
            error = step.take(sorted, command);
        }
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
    return SyntaxOf(kind).name;
}
