// Shared steps of the commands.
#include "cli/CommandSupport.h"

#include "cli/Commands.h"
#include "cli/Messages.h"
#include "cli/Usage.h"

#include <ostream>

namespace {

constexpr std::string_view kStandardOutput = "standard output";

} // namespace

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
