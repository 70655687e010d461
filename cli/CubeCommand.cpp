// cube: the curves as a 1D LUT file.
#include "cli/ChannelSource.h"
#include "cli/Commands.h"
#include "cli/CubeFile.h"
#include "cli/Messages.h"

#include <ostream>

int RunCube(const CliCommand& command, std::ostream& err) {
    const auto channels = ChannelsOrReport(command, err);
    if (!channels) {
        return kExitFailed;
    }
    const TableShape shape = CubeShapeOf(command.size.value_or(kWindowShape.entries));
    const WriteResult result =
        WriteCubeFile(command.output, CurvesOf(*channels, shape), shape.maxLevel);
    if (result != WriteResult::Ok) {
        err << FileError(command.output, ReasonOf(result));
        return kExitFailed;
    }
    return kExitOk;
}
