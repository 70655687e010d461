// cube: the tables as a 1D LUT file.
#include "cli/CommandSupport.h"
#include "cli/Commands.h"
#include "cli/CubeFile.h"
#include "cli/Messages.h"

#include <ostream>

int RunCube(const CliCommand& command, std::ostream& err) {
    const auto tables = TablesOrReport(command, err);
    if (!tables) {
        return kExitFailed;
    }
    const WriteResult result = WriteCubeFile(command.output, *tables);
    if (result != WriteResult::Ok) {
        err << FileError(command.output, ReasonOf(result));
        return kExitFailed;
    }
    return kExitOk;
}
