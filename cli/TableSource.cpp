// Tables from positions and film: the same store update a load in the window makes.
#include "cli/TableSource.h"

#include "curve/FilmSettings.h"
#include "io/ParamKeys.h"

namespace {

TableLoad TablesFrom(const ParamPositionSet& positions, const FilmSettings& film) {
    ChannelParamsSet channels{};
    GammaTableSet tables{};
    ApplyFilm(film, channels, tables);
    ApplyPositionSet(positions, channels, tables);
    return {LoadResult::Ok, tables, {}, film.IsNegative()};
}

} // namespace

TableLoad LoadTables(const CliCommand& command) {
    if (command.defaults) {
        return TablesFrom(ParamPositionSet{}, {});
    }
    const ParamLoad load = LoadParamFile(command.params);
    if (load.result != LoadResult::Ok) {
        return {load.result, {}, load.why};
    }
    return TablesFrom(load.positions, load.film);
}
