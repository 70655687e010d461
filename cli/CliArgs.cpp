// Command-line grammar: COMMAND [options] (PARAMS | --defaults) operands...
// Options may stand anywhere after the command; "--" ends them.
#include "cli/CliArgs.h"

#include "cli/ApplyTargets.h"

#include <array>
#include <set>

namespace {

struct CommandSyntax {
    CommandKind kind;
    const char* name;
    std::size_t minOperands; // besides PARAMS
    std::size_t maxOperands;
};

constexpr std::size_t kMany = static_cast<std::size_t>(-1);

constexpr std::array<CommandSyntax, 5> kCommands = {{
    {CommandKind::Export, "export", 1, 1},
    {CommandKind::Apply, "apply", 1, kMany},
    {CommandKind::Sane, "sane", 0, 0},
    {CommandKind::Cube, "cube", 1, 1},
    {CommandKind::Table, "table", 0, 0},
}};

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
    std::optional<std::string_view> outputDir;
    std::string error; // the first one found

    void Fail(std::string text) {
        if (error.empty()) {
            error = std::move(text);
        }
    }
};

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
    } else if (arg == "-o" || arg == "--output-dir") {
        if (i + 1 >= args.size() || args[i + 1].empty()) {
            sorted.Fail(std::string(arg) + " needs a folder");
            return;
        }
        if (sorted.outputDir) {
            sorted.Fail(std::string(arg) + " given twice");
        }
        sorted.outputDir = args[++i];
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

// Options that only some commands take.
std::string CheckOptions(const CommandSyntax& syntax, const Sorted& sorted) {
    if (sorted.force && syntax.kind != CommandKind::Export) {
        return "--force is for export only";
    }
    if (sorted.outputDir && syntax.kind != CommandKind::Apply) {
        return "-o is for apply only";
    }
    if (sorted.png && !sorted.outputDir) {
        return "--png goes with -o DIR";
    }
    return {};
}

// PARAMS (unless --defaults) and the command's own operands.
std::string TakeOperands(const CommandSyntax& syntax, const Sorted& sorted, CliCommand& command) {
    std::vector<std::string_view> rest = sorted.operands;
    for (const std::string_view operand : rest) {
        if (operand.empty()) {
            return "an empty file name";
        }
    }
    if (!sorted.defaults) {
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
    if (syntax.kind == CommandKind::Apply) {
        command.inputs.assign(rest.begin(), rest.end() - (pairForm ? 1 : 0));
    }
    if (pairForm || syntax.kind == CommandKind::Export || syntax.kind == CommandKind::Cube) {
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
        return "the output must end in .bmp or .png: " + command.output.string();
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

ParsedArgs Complete(const CommandSyntax& syntax, const Sorted& sorted) {
    ParsedArgs parsed;
    CliCommand& command = parsed.command;
    command.kind = syntax.kind;
    command.defaults = sorted.defaults;
    command.force = sorted.force;
    command.png = sorted.png;
    if (sorted.outputDir) {
        command.outputDir = std::filesystem::path(*sorted.outputDir);
    }
    std::string error = CheckOptions(syntax, sorted);
    if (error.empty()) {
        error = TakeOperands(syntax, sorted, command);
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
