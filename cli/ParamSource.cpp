// The one place the tool reads a parameter file.
#include "cli/ParamSource.h"

#include "cli/Messages.h"
#include "io/ParamFileReader.h"

#include <ostream>

std::optional<ParamSet> ParamsOrReport(const CliCommand& command, std::ostream& err) {
    if (command.defaults) {
        return MakeParamSet(ParamPositionSet{}, FilmSettings{});
    }
    const ParamLoad load = LoadParamFile(command.params);
    if (load.result != LoadResult::Ok) {
        err << FileError(command.params, load.why ? ReasonText(load.why) : ReasonOf(load.result));
        return std::nullopt;
    }
    return MakeParamSet(load.positions, load.film);
}
