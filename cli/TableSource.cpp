// Tables from positions: the same store update a load in the window makes.
#include "cli/TableSource.h"

#include "io/ParamKeys.h"

namespace {

GammaTableSet TablesFrom(const ParamPositionSet& positions) {
    ChannelParamsSet channels{};
    GammaTableSet tables{};
    ApplyPositionSet(positions, channels, tables);
    return tables;
}

} // namespace

TableLoad LoadTables(const CliCommand& command) {
    if (command.defaults) {
        return {LoadResult::Ok, TablesFrom(ParamPositionSet{}), {}};
    }
    const ParamLoad load = LoadParamFile(command.params);
    if (load.result != LoadResult::Ok) {
        return {load.result, {}, load.why};
    }
    return {LoadResult::Ok, TablesFrom(load.positions), {}};
}
