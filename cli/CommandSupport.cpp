// Shared steps of the commands.
#include "cli/CommandSupport.h"

#include "cli/Commands.h"
#include "cli/Messages.h"
#include "cli/TableSource.h"
#include "cli/Usage.h"

#include <ostream>

namespace {

constexpr std::string_view kStandardOutput = "standard output";
constexpr std::string_view kDefaultsName = "--defaults";

} // namespace

std::optional<TableLoad> TablesOrReport(const CliCommand& command, std::ostream& err) {
    TableLoad load = LoadTables(command);
    if (load.result != LoadResult::Ok) {
        const std::filesystem::path name =
            command.defaults ? std::filesystem::path(kDefaultsName) : command.params;
        err << FileError(name, load.why ? ReasonText(load.why) : ReasonOf(load.result));
        return std::nullopt;
    }
    return load;
}

void WarnNarrowNegative(bool negative, TableShape shape, std::ostream& err) {
    if (negative && shape.entries <= kWindowShape.entries) {
        err << PlainError(kNarrowNegativeWarning);
    }
}

int PrintAll(std::string_view text, std::ostream& out, std::ostream& err) {
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    out.flush();
    if (!out) {
        err << FileError(std::filesystem::path(kStandardOutput), kReasonCannotWrite);
        return kExitFailed;
    }
    return kExitOk;
}

int ReportUsage(const CliCommand& command, const std::string& message, std::ostream& err) {
    err << PlainError(std::string(CommandName(command.kind)) + ": " + message) << UsageHint();
    return kExitUsage;
}
