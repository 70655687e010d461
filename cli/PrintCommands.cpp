// sane and table: the curves as text on standard output.
#include "curve/ChannelCurves.h"
#include "cli/CommandSupport.h"
#include "cli/Commands.h"
#include "cli/Messages.h"
#include "cli/ParamSource.h"
#include "cli/SaneTables.h"
#include "cli/TableListing.h"
#include "scan/SaneSession.h"

#include <algorithm>
#include <ostream>

namespace {

TableShape ShapeOf(const CliCommand& command) {
    return {command.size.value_or(kWindowShape.entries),
            command.maxLevel.value_or(kWindowShape.maxLevel)};
}

// The library's own words; a reason without them still says where it came from.
std::string DeviceReasonText(const Reason& reason) {
    return reason.Text.empty() ? "device error" : reason.Text;
}

// Opens the device and reads its tables; failures are reported on `err`.
std::optional<GammaOptions> DeviceTables(const std::string& name, std::ostream& err) {
    const SaneSession session;
    const DeviceOpen open = session.Open(name);
    const GammaOptionsRead read =
        open.reason ? GammaOptionsRead{open.reason, {}} : ReadGammaOptions(*open.device);
    if (read.reason) {
        err << FileError(name, DeviceReasonText(read.reason));
        return std::nullopt;
    }
    return read.options;
}

// The smallest table the plan prints.
TableShape SmallestShape(const SanePlan& plan) {
    TableShape smallest{kMaxCurveEntries, kMaxCurveLevel};
    for (const SaneTable& table : plan.line.tables) {
        smallest.entries = std::min(smallest.entries, table.entries.size());
    }
    return smallest;
}

int PrintPlan(const SanePlan& plan, const CliCommand& command, bool negative, std::ostream& out,
              std::ostream& err) {
    if (plan.problem == SaneTableProblem::None) {
        WarnNarrowNegative(negative, SmallestShape(plan), err);
        return PrintAll(FormatSaneOptions(plan.line), out, err);
    }
    err << (command.device ? FileError(*command.device, ProblemText(plan))
                           : PlainError(ProblemText(plan)));
    return kExitFailed;
}

} // namespace

int RunSane(const CliCommand& command, std::ostream& out, std::ostream& err) {
    const auto params = ParamsOrReport(command, err);
    if (!params) {
        return kExitFailed;
    }
    const bool negative = params->film.IsNegative();
    if (!command.device) {
        return PrintPlan(PlanForShape(params->channels, ShapeOf(command)), command, negative, out,
                         err);
    }
    const auto device = DeviceTables(*command.device, err);
    if (!device) {
        return kExitFailed;
    }
    return PrintPlan(PlanForDevice(*device, params->channels, command.channel), command, negative,
                     out, err);
}

int RunTable(const CliCommand& command, std::ostream& out, std::ostream& err) {
    const auto params = ParamsOrReport(command, err);
    if (!params) {
        return kExitFailed;
    }
    return PrintAll(FormatTableListing(CurvesOf(params->channels, ShapeOf(command))), out, err);
}
