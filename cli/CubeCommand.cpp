// cube: the curves as a 1D LUT file, never over the parameter file it is
// made from.
#include "curve/ChannelCurves.h"
#include "cli/Commands.h"
#include "cli/CubeFile.h"
#include "cli/Messages.h"
#include "cli/ParamSource.h"
#include "io/SameFile.h"

#include <ostream>

int RunCube(const CliCommand& command, std::ostream& err) {
    if (!command.defaults && IsSameFile(command.params, command.output)) {
        err << FileError(command.output, kReasonIsInput);
        return kExitFailed;
    }
    const auto params = ParamsOrReport(command, err);
    if (!params) {
        return kExitFailed;
    }
    const TableShape shape = CubeShapeOf(command.size.value_or(kWindowShape.entries));
    const WriteResult result =
        WriteCubeFile(command.output, CurvesOf(params->channels, shape), shape.maxLevel);
    if (result != WriteResult::Ok) {
        err << FileError(command.output, ReasonOf(result));
        return kExitFailed;
    }
    return kExitOk;
}
